#include "protocol/Codecs.h"
#include "tests/support/FrameBuilder.h"
#include "simulator/JournalGenerator.h"
#include "simulator/SimulatedJournal.h"
#include "simulator/SimulatedUsb.h"

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

AnswerFrame ask(SimulatedJournal &j, const QByteArray &request)
{
    const auto reply = j.handle(request);
    EXPECT_TRUE(reply.has_value()) << request.toHex(' ').toStdString();
    return reply ? reply->frame : AnswerFrame{};
}

QByteArray be(quint32 v, int width)
{
    QByteArray out;
    for (int i = width - 1; i >= 0; --i)
        out.append(char(quint8(v >> (8 * i))));
    return out;
}

TEST(SimulatedJournal, AnswersEveryCommandWithAFullFrame)
{
    SimulatedJournal j(3, DeviceType::CashRegister, 40);
    const QByteArray requests[] = {
        RequestBytes(CmdIdentity, {}),
        RequestBytes(CmdDocumentInfo, be(0, 4)),
        RequestBytes(CmdDocumentLines, be(0, 4) + be(0, 2) + be(12, 1)),
        RequestBytes(CmdServiceLines, be(0, 4)),
        RequestBytes(CmdJournalRange, be(0, 2) + be(0, 2) + be(0xFF9F, 2) + be(2359, 2)),
        RequestBytes(CmdGenerate, {}),
        RequestBytes(CmdErase, {}),
    };
    for (const QByteArray &r : requests) {
        const AnswerFrame f = ask(j, r);
        EXPECT_EQ(FrameLength(f), 255);
        EXPECT_EQ(FrameStatus(f), 1);
        EXPECT_EQ(FrameCommand(f), quint8(r[3]));
    }
}

TEST(SimulatedJournal, IdentityAnswerDecodesToItsStore)
{
    SimulatedJournal j(7, DeviceType::CashRegister, 123);
    data_132 id;
    DecodeAnswer(ask(j, RequestBytes(CmdIdentity, {})), id);
    EXPECT_EQ(id.doc_count, 123u);
    EXPECT_EQ(SwpEndianW(id.init_date), j.identity().initDate);
    EXPECT_EQ(j.generator().firstDay().addDays(-3), DecodeDateVuze(SwpEndianW(id.init_date)));
    EXPECT_GT(SwpEndianDW(id.free_mem), 0u);
    EXPECT_TRUE(QChar(id.fisc_ser_num[0]).isUpper());
}

TEST(SimulatedJournal, DocumentsOutOfRangeGetErrorThree)
{
    SimulatedJournal j(1, DeviceType::CashRegister, 10);
    for (const QByteArray &r :
         {RequestBytes(CmdDocumentInfo, be(10, 4)), RequestBytes(CmdDocumentLines, be(10, 4) + be(0, 2) + be(12, 1)),
          RequestBytes(CmdServiceLines, be(0xFFFFFFFF, 4))}) {
        const AnswerFrame f = ask(j, r);
        EXPECT_NE(FrameStatus(f), 1);
        EXPECT_EQ(FrameErrorCode(f), 3);
    }
}

TEST(SimulatedJournal, LinesComeInTheDeviceWidthAndFitTheFrame)
{
    for (DeviceType type : {DeviceType::CashRegister, DeviceType::FiscalPrinter}) {
        SimulatedJournal j(5, type, 30);
        const int width = JournalLineWidth(type);
        for (quint32 doc = 0; doc < 30; ++doc) {
            data_123 info;
            DecodeAnswer(ask(j, RequestBytes(CmdDocumentInfo, be(doc, 4))), info);
            ASSERT_EQ(info.doc_num, doc);
            const SimDocument d = j.document(doc);
            ASSERT_EQ(info.row_count, d.lines.size());
            // Ask for far more rows than exist: the answer stops at the end
            // and at what one frame carries.
            data_124 lines;
            DecodeAnswer(ask(j, RequestBytes(CmdDocumentLines, be(doc, 4) + be(3, 2) + be(40, 1))), lines);
            const int expectRows = qMin(int(d.lines.size()) - 3, (250 - 7) / width);
            ASSERT_EQ(lines.row_count, expectRows);
            ASSERT_EQ(lines.content_len, expectRows * width);
            for (int k = 0; k < expectRows; ++k) {
                const QByteArray row(reinterpret_cast<const char *>(lines.content.data()) + k * width, width);
                ASSERT_EQ(row, d.lines[std::size_t(3 + k)]);
            }
        }
    }
}

TEST(SimulatedJournal, RangeAnswerFindsTheDocumentsOfTheTimes)
{
    SimulatedJournal j(9, DeviceType::CashRegister, 200);
    const JournalGenerator &g = j.generator();
    auto range = [&](quint16 d1, quint16 t1, quint16 d2, quint16 t2) {
        data_122 r;
        DecodeAnswer(ask(j, RequestBytes(CmdJournalRange, be(d1, 2) + be(t1, 2) + be(d2, 2) + be(t2, 2))), r);
        return std::pair<qint64, qint64>(qint32(r.first_doc), qint32(r.last_doc));
    };
    // Exactly the documents 50..60 by their own stamps.
    EXPECT_EQ(range(g.dateWord(50), g.timeWord(50), g.dateWord(60), g.timeWord(60)),
              std::make_pair(qint64(50), qint64(60)));
    // Everything.
    EXPECT_EQ(range(0, 0, 0xFFFF, 0xFFFF), std::make_pair(qint64(0), qint64(199)));
    // Before the first document: last below first.
    const auto empty = range(0x0021, 0, 0x0021, 2359);
    EXPECT_LT(empty.second, empty.first);
    // To before From: empty.
    const auto reversed = range(g.dateWord(60), 0, g.dateWord(50), 0);
    EXPECT_LT(reversed.second, reversed.first);
}

TEST(SimulatedJournal, InitialiseEraseAndGenerateChangeTheStore)
{
    SimulatedJournal j(2, DeviceType::CashRegister, 50);
    const QByteArray init = Hex("17 29 03 ED 41 42 12 34 56") + QByteArray("JN12345678901");
    ASSERT_EQ(FrameCommand(ask(j, RequestBytes(CmdInitialise, init))), CmdInitialise);
    data_132 id;
    DecodeAnswer(ask(j, RequestBytes(CmdIdentity, {})), id);
    EXPECT_EQ(SwpEndianW(id.init_date), 0x1729);
    EXPECT_EQ(id.fisc_ser_num[0], 'A');
    EXPECT_EQ(id.fisc_ser_num[4], 0x56);
    EXPECT_EQ(id.jour_ser_num[12], '1');

    const auto erase = j.handle(RequestBytes(CmdErase, {}));
    ASSERT_TRUE(erase);
    EXPECT_GT(erase->delayUs, 0) << "an erase takes its time";
    DecodeAnswer(ask(j, RequestBytes(CmdIdentity, {})), id);
    EXPECT_EQ(id.doc_count, 0u);
    EXPECT_EQ(id.init_date, 0xFFFF) << "an erased journal is not initialised";

    ask(j, RequestBytes(CmdGenerate, {}));
    DecodeAnswer(ask(j, RequestBytes(CmdIdentity, {})), id);
    EXPECT_EQ(id.doc_count, 50u);
}

TEST(SimulatedJournal, MalformedRequestsGetNoAnswer)
{
    SimulatedJournal j(2, DeviceType::CashRegister, 50);
    EXPECT_FALSE(j.handle(QByteArray()));
    EXPECT_FALSE(j.handle(Hex("05 00 01 84")));             // shorter than its header
    EXPECT_FALSE(j.handle(Hex("06 00 01 84 00")));          // byte 0 disagrees with the length
    EXPECT_FALSE(j.handle(Hex("09 00 01 7B 04 00 00 00"))); // payload cut
    EXPECT_FALSE(j.handle(RequestBytes(99, {})));           // unknown command
}

TEST(JournalGenerator, IsDeterministicAndRealistic)
{
    for (DeviceType type : {DeviceType::CashRegister, DeviceType::FiscalPrinter}) {
        const JournalGenerator a(11, type), b(11, type);
        const int width = JournalLineWidth(type);
        int receipts = 0, reports = 0, withService = 0, closing = 0, cyrillic = 0, latin = 0, odd = 0;
        quint32 prevKey = 0;
        for (quint32 i = 0; i < 400; ++i) {
            const SimDocument d = a.document(i);
            ASSERT_EQ(d.lines, b.document(i).lines) << "same seed, same journal";
            const quint32 key = quint32(d.dateWord) << 16 | d.timeWord;
            ASSERT_GE(key, prevKey) << "documents in time order";
            prevKey = key;
            ASSERT_NO_THROW(DecodeDateVuze(d.dateWord));
            receipts += d.type == 1;
            reports += d.type == 2;
            withService += !d.serviceText.isEmpty();
            ASSERT_EQ(d.lines.front(), QByteArray(1, '\x12') + QByteArray(width - 1, ' ')) << "starts with the logo";
            ASSERT_EQ(d.lines.back(), QByteArray(1, '\x13') + QByteArray(width - 1, ' '));
            for (const QByteArray &line : d.lines) {
                ASSERT_EQ(line.size(), width);
                closing += line.startsWith("H V A L A") && line.endsWith('#');
                for (char c : line) {
                    const quint8 u = quint8(c);
                    cyrillic += u >= 128 && u <= 191;
                    latin += u >= 91 && u <= 96;
                    odd += u == 0xFF || u == 0x07;
                }
            }
        }
        EXPECT_GT(receipts, 300);
        EXPECT_GT(reports, 5);
        EXPECT_GT(withService, 10);
        EXPECT_EQ(closing, receipts);
        EXPECT_GT(cyrillic, 0);
        EXPECT_GT(latin, 0);
        EXPECT_GT(odd, 0);
        EXPECT_NE(a.dateWord(0), a.dateWord(399)) << "spread over several days";
    }
    const SimDocument receipt = JournalGenerator(1, DeviceType::CashRegister).document(0);
    EXPECT_EQ(receipt.lines[receipt.lines.size() - 2], QByteArray("H V A L A        #"));
}

} // namespace
