#include "protocol/Codecs.h"
#include "tests/support/FrameBuilder.h"
#include "protocol/Packets.h"

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

QByteArray popBytes(CommandQueue &q)
{
    const Pusb_cmd p = q.pop();
    return p ? p->bytes() : QByteArray();
}

TEST(Builders, QueueTheirRequestsInOrder)
{
    CommandQueue q;
    get_info_initial(q);
    erase_flash(q);
    gen_flash(q);
    ASSERT_EQ(q.size(), 3);
    EXPECT_EQ(q.at(0).answer_required, CmdIdentity);
    EXPECT_TRUE(q.at(0).send_req);
    EXPECT_EQ(q.at(0).ack_received, 0);
    EXPECT_EQ(popBytes(q), Hex("05 00 01 84 00"));
    EXPECT_EQ(popBytes(q), Hex("05 00 01 FE 00"));
    EXPECT_EQ(popBytes(q), Hex("05 00 01 FF 00"));
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.pop(), nullptr);
}

TEST(Builders, Gen132AlwaysQueuesAnIdentityRequest)
{
    CommandQueue q;
    EXPECT_TRUE(Gen132(q));
    EXPECT_EQ(popBytes(q), Hex("05 00 01 84 00"));
}

struct RequestCase
{
    const char *name;
    TCmd cmd;
    const char *bytes;
};

TEST(SearchRequests, AreLaidOutMostSignificantFirst)
{
    auto lines = [](qint32 doc, quint16 first, quint8 count) {
        TCmd c;
        c.Cmd = CmdDocumentLines;
        c.DocNum = doc;
        c.NumLine = first;
        c.LineCount = count;
        return c;
    };
    auto byDoc = [](quint8 code, qint32 doc) {
        TCmd c;
        c.Cmd = code;
        c.DocNum = doc;
        return c;
    };
    TCmd range;
    range.Cmd = CmdJournalRange;
    range.BeginDate = 0x1621; // 1 January 2011
    range.BeginTime = 0;
    range.EndDate = 0x179F; // 31 December 2011
    range.EndTime = 2359;

    const RequestCase cases[] = {
        {"lines of document 1000 from 12", lines(1000, 12, 12), "0C 00 01 7C 07 00 00 03 E8 00 0C 0C"},
        {"document 5 header", byDoc(CmdDocumentInfo, 5), "09 00 01 7B 04 00 00 00 05"},
        {"service lines", byDoc(CmdServiceLines, 0x01020304), "09 00 01 82 04 01 02 03 04"},
        {"year 2011", range, "0D 00 01 7A 08 16 21 00 00 17 9F 09 37"},
    };
    for (const auto &c : cases) {
        Tusb_cmd packet;
        packet.data.fill(0xAA); // leftovers of an earlier request must not leak
        BuildCmdRequest(c.cmd, packet);
        EXPECT_EQ(packet.bytes(), Hex(c.bytes)) << c.name;
        EXPECT_EQ(packet.data[int(packet.size())], 0) << c.name;
        EXPECT_EQ(packet.answer_required, c.cmd.Cmd) << c.name;
    }
}

TEST(Gen131, QueuesTheInitialisationOfTheExample)
{
    CommandQueue q;
    const QDateTime when(QDate(2011, 9, 9), QTime(10, 5));
    ASSERT_TRUE(Gen131(when, when, QStringLiteral("AB123456"), QStringLiteral("JN12345678901"), q));
    ASSERT_EQ(q.size(), 1);
    const QByteArray bytes = popBytes(q);
    ASSERT_EQ(bytes.size(), 27);
    EXPECT_EQ(bytes.left(5), Hex("1B 00 01 83 16"));
    EXPECT_EQ(bytes.mid(5, 9), Hex("17 29 03 ED 41 42 12 34 56"));
    EXPECT_EQ(bytes.mid(14), QByteArray("JN12345678901"));
}

struct Gen131Case
{
    const char *memNum;
    const char *journal;
    bool queued;
    const char *payloadAfterTime; // hex, when queued
};

TEST(Gen131, HandlesShortAndBadFiscalNumbers)
{
    const Gen131Case cases[] = {
        {"", "X", false, ""},
        {"AB12X4", "X", false, ""},
        {"A", "", true, "41 00"}, // one character: second byte 0
        {"AB", "", true, "41 42"},
        {"AB123", "C", true, "41 42 01 23 43"}, // odd digits get a leading 0
        {"AB12", "JJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJJ", false, ""}, // would overrun a packet
    };
    const QDateTime when(QDate(2020, 2, 29), QTime(0, 0));
    for (const auto &c : cases) {
        CommandQueue q;
        const bool queued = Gen131(when, when, QString::fromLatin1(c.memNum), QString::fromLatin1(c.journal), q);
        EXPECT_EQ(queued, c.queued) << c.memNum;
        EXPECT_EQ(q.size(), c.queued ? 1 : 0) << c.memNum;
        if (c.queued) {
            EXPECT_EQ(popBytes(q).mid(9), Hex(c.payloadAfterTime)) << c.memNum;
        }
    }
}

TEST(Gen131, TakesTheLowByteOfWideCharacters)
{
    CommandQueue q;
    const QDateTime when(QDate(2020, 1, 1), QTime(0, 0));
    ASSERT_TRUE(Gen131(when, when, QStringLiteral("ЖA1"), QStringLiteral("Ж"), q));
    EXPECT_EQ(popBytes(q).mid(9), Hex("16 41 01 16")); // U+0416: low byte 16
}

TEST(Decoders, IdentityFieldsKeepTheirOrders)
{
    // payload: date, time, fiscal memory, 13 client bytes, doc_count, free_mem
    QByteArray payload =
        Hex("17 29 03 ED 4B 4C 12 34 56") + QByteArray("CLIENT0000001") + Hex("00 00 01 2C 00 00 10 00");
    data_132 r;
    DecodeAnswer(MakeFrame(CmdIdentity, payload), r);
    EXPECT_EQ(SwpEndianW(r.init_date), 0x1729);
    EXPECT_EQ(SwpEndianW(r.init_time), 1005);
    EXPECT_EQ(r.fisc_ser_num[0], 0x4B);
    EXPECT_EQ(r.fisc_ser_num[4], 0x56);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(r.jour_ser_num.data()), 13), QByteArray("CLIENT0000001"));
    EXPECT_EQ(r.doc_count, 300u);
    EXPECT_EQ(SwpEndianDW(r.free_mem), 4096u);
}

TEST(Decoders, DocumentInfoAndRangeBecomeNumbers)
{
    data_123 info;
    DecodeAnswer(MakeFrame(CmdDocumentInfo, {0, 0, 0x03, 0xE8, 0x17, 0x29, 0x05, 0x9B, 0x00, 0x1E, 2, 1}), info);
    EXPECT_EQ(info.doc_num, 1000u);
    EXPECT_EQ(SwpEndianW(info.date), 0x1729);
    EXPECT_EQ(info.row_count, 30);
    EXPECT_EQ(info.sys_count, 2);
    EXPECT_EQ(info.doc_type, 1);

    data_122 range;
    DecodeAnswer(
        MakeFrame(CmdJournalRange, {0x16, 0x21, 0, 0, 0x17, 0x9F, 0x09, 0x37, 0, 0, 0, 100, 0, 0, 0, 102, 0, 0, 1, 0}),
        range);
    EXPECT_EQ(range.first_doc, 100u);
    EXPECT_EQ(range.last_doc, 102u);
    EXPECT_EQ(SwpEndianW(range.start_date), 0x1621);
    EXPECT_EQ(SwpEndianDW(range.rows_num), 256u);
}

TEST(Decoders, ShortPayloadLeavesTheRestOfTheRecord)
{
    data_123 info;
    DecodeAnswer(MakeFrame(CmdDocumentInfo, {0, 0, 0, 7, 0x17, 0x29, 0x05, 0x9B, 0x00, 0x1E, 2, 1}), info);
    DecodeAnswer(MakeFrame(CmdDocumentInfo, {0, 0, 0, 8}), info);
    EXPECT_EQ(info.doc_num, 8u);
    EXPECT_EQ(info.row_count, 30) << "untouched fields keep their values";
    EXPECT_EQ(info.sys_count, 2);
}

TEST(Decoders, LinesAnswerKnowsHowMuchContentItCarried)
{
    data_124 lines;
    QByteArray full = Hex("00 00 00 05 00 00 0C") + QByteArray(216, 'A');
    DecodeAnswer(MakeFrame(CmdDocumentLines, full), lines);
    EXPECT_EQ(lines.doc_num, 5u);
    EXPECT_EQ(lines.row_count, 12);
    EXPECT_EQ(lines.content_len, 216);

    // A second, shorter answer: its stale tail is not counted as carried.
    QByteArray shorter = Hex("00 00 00 06 00 0C 01") + QByteArray(18, 'B');
    DecodeAnswer(MakeFrame(CmdDocumentLines, shorter), lines);
    EXPECT_EQ(lines.doc_num, 6u);
    EXPECT_EQ(lines.start_row, 12);
    EXPECT_EQ(lines.content_len, 18);
    EXPECT_EQ(lines.content[17], 'B');
    EXPECT_EQ(lines.content[18], 'A');
}

TEST(Decoders, PayloadLengthBeyondTheFrameIsCut)
{
    // L = 255 claims more than the 250 bytes a frame holds; decoding must
    // stay inside the frame (the sanitizer build watches this).
    for (int L : {0, 4, 7, 249, 250, 251, 255}) {
        AnswerFrame f = MakeFrame(CmdDocumentLines, QByteArray(250, 'x'), L);
        data_124 lines;
        DecodeAnswer(f, lines);
        EXPECT_EQ(lines.content_len, qMax(0, qMin(L, 250) - 7)) << L;
        data_130 service;
        f[3] = CmdServiceLines;
        DecodeAnswer(f, service);
        EXPECT_EQ(service.content_len, qBound(0, qMin(L, 250) - 4, 124)) << L;
        data_122 range;
        DecodeAnswer(f, range);
        data_132 id;
        DecodeAnswer(f, id);
    }
}

} // namespace
