#include "tests/support/FrameBuilder.h"
#include "journal/LineDecoding.h"
#include "protocol/RequestListExchange.h"
#include "tests/support/ScriptedLink.h"
#include "tests/support/TestRig.h"

#include <gtest/gtest.h>

namespace {

// Keeps every journal line the exchange hands over, as the journal file would.
class MemorySink final : public JournalLineSink
{
public:
    explicit MemorySink(int width) : m_width(width) {}
    void documentLines(const data_124 &answer) override
    {
        lines += SplitJournalRecord(answer, m_width);
        ++answers;
    }
    QList<QByteArray> lines;
    int answers = 0;

private:
    int m_width;
};

QByteArray be(quint32 v, int width)
{
    QByteArray out;
    for (int i = width - 1; i >= 0; --i)
        out.append(char(quint8(v >> (8 * i))));
    return out;
}

AnswerFrame info(quint32 doc, quint16 rows, quint8 sys)
{
    return MakeFrame(CmdDocumentInfo, be(doc, 4) + be(0x1729, 2) + be(1005, 2) + be(rows, 2) + char(sys) + char(1));
}

AnswerFrame lines(quint32 doc, quint16 first, quint8 rows, char fill = 'A', int width = 18)
{
    return MakeFrame(CmdDocumentLines, be(doc, 4) + be(first, 2) + char(rows) + QByteArray(rows * width, fill));
}

struct ScriptRig
{
    ScriptedLink link;
    ExchangeState state;
    CommandQueue Commands;
    AnswerRecords records;
    RecordingPort port;
    RequestListState search;
    JournalSettings settings;
    MemorySink sink{18};

    // A journal whose identity the program already has, as after start-up.
    ScriptRig()
    {
        FindConnectDevice(link, state.DevHandle, port, port);
        state.identityConfirmed = true;
    }
    RequestListExchange::End run()
    {
        RequestListExchange x(ExchangeContext{link, state, Commands, records, port}, search, settings, sink);
        return x.Run();
    }
    QList<QByteArray> requestPayloads() const
    {
        QList<QByteArray> out;
        for (const QByteArray &r : link.requests)
            out << r.mid(3).toHex(' ').toUpper();
        return out;
    }
};

TEST(RequestListExchange, DateRangeGrowsIntoDocumentRequests)
{
    ScriptRig rig;
    TCmd range;
    range.Cmd = CmdJournalRange;
    rig.search.CmdList.append(range);
    rig.link.replies = {MakeFrame(CmdJournalRange, QByteArray(8, 0) + be(100, 4) + be(102, 4) + be(0, 4)),
                        info(100, 0, 0), info(101, 0, 0), info(102, 0, 0)};
    EXPECT_EQ(rig.run(), RequestListExchange::End::Completed);
    EXPECT_EQ(rig.search.CmdList.size(), 4);
    EXPECT_EQ(rig.search.FromDoc, 100u);
    EXPECT_EQ(rig.search.ToDoc, 102u);
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("progress total 3")));
    EXPECT_EQ(rig.requestPayloads(), (QList<QByteArray>{"7A 08 00 00 00 00 00 00 00 00", "7B 04 00 00 00 64",
                                                        "7B 04 00 00 00 65", "7B 04 00 00 00 66"}));
    // Each header counts one document; the last one restarts the count.
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("progress 3")));
    EXPECT_EQ(rig.port.events.last(), QStringLiteral("progress restart"));
}

TEST(RequestListExchange, EmptyRangeEndsTheList)
{
    ScriptRig rig;
    TCmd range;
    range.Cmd = CmdJournalRange;
    rig.search.CmdList.append(range);
    rig.link.replies = {MakeFrame(CmdJournalRange, QByteArray(8, 0) + be(7, 4) + be(6, 4) + be(0, 4))};
    EXPECT_EQ(rig.run(), RequestListExchange::End::Completed);
    EXPECT_EQ(rig.link.requests.size(), 1u);
    // A frame that names four billion documents costs nothing until they are asked for.
    ScriptRig huge;
    huge.search.CmdList.append(range);
    huge.link.replies = {MakeFrame(CmdJournalRange, QByteArray(8, 0) + be(0, 4) + be(0x7FFFFFFE, 4) + be(0, 4)),
                         ErrorFrame(CmdDocumentInfo, 3)};
    EXPECT_EQ(huge.run(), RequestListExchange::End::ErrorAnswer);
    EXPECT_EQ(huge.search.CmdList.size(), 1 + 0x7FFFFFFFll);
    EXPECT_EQ(huge.port.labelText, QStringLiteral("Document number is out of range"));
}

struct LinePlanCase
{
    int rows;
    int perRequest;
    quint8 sys;
    QList<QByteArray> requests; // after the header request
};

TEST(RequestListExchange, DocumentHeaderPlansItsLineRequests)
{
    const LinePlanCase cases[] = {
        {30, 12, 0, {"7C 07 00 00 00 05 00 00 0C", "7C 07 00 00 00 05 00 0C 0C", "7C 07 00 00 00 05 00 18 06"}},
        {24, 12, 0, {"7C 07 00 00 00 05 00 00 0C", "7C 07 00 00 00 05 00 0C 0C"}},
        {0, 12, 0, {}},
        {0, 12, 2, {"82 04 00 00 00 05"}},
        {7, 7, 1, {"7C 07 00 00 00 05 00 00 07", "82 04 00 00 00 05"}},
        {13, 7, 0, {"7C 07 00 00 00 05 00 00 07", "7C 07 00 00 00 05 00 07 06"}},
    };
    for (const auto &c : cases) {
        ScriptRig rig;
        rig.settings.LinesPerRequest = quint8(c.perRequest);
        rig.search.CmdList.appendDocumentRange(CmdDocumentInfo, 5, 5);
        rig.search.ToDoc = 5;
        rig.link.replies.push_back(info(5, quint16(c.rows), c.sys));
        // Each line request is answered with the stretch it asked for.
        for (const QByteArray &r : c.requests) {
            if (!r.startsWith("7C")) {
                rig.link.replies.push_back(MakeFrame(CmdServiceLines, be(5, 4)));
                continue;
            }
            const QByteArray wire = QByteArray::fromHex(r);
            rig.link.replies.push_back(lines(5, quint8(wire.at(6)) << 8 | quint8(wire.at(7)), 0));
        }
        rig.run();
        EXPECT_EQ(rig.requestPayloads().mid(1), c.requests) << c.rows << "/" << c.perRequest;
    }
}

TEST(RequestListExchange, LinesGoToTheSinkAndCountOneDocumentOnce)
{
    ScriptRig rig;
    rig.search.CmdList.appendDocumentRange(CmdDocumentInfo, 5, 5);
    rig.search.ToDoc = 5;
    rig.link.replies = {info(5, 24, 0), lines(5, 0, 12, 'A'), lines(5, 12, 12, 'B')};
    EXPECT_EQ(rig.run(), RequestListExchange::End::Completed);
    ASSERT_EQ(rig.sink.lines.size(), 24);
    EXPECT_EQ(rig.sink.lines[0], QByteArray(18, 'A'));
    EXPECT_EQ(rig.sink.lines[23], QByteArray(18, 'B'));
    // header: progress 1 then restart; lines of document 5: one more step only.
    EXPECT_EQ(rig.port.events.filter(QStringLiteral("progress 1")).size(), 2);
    EXPECT_EQ(rig.search.PrevNum, 5u);
}

TEST(RequestListExchange, ServiceTextIsCutIntoLinesOfTheWidth)
{
    const std::pair<int, QList<int>> cases[] = {{40, {18, 18, 4}}, {18, {18, 0}}, {5, {5}}, {0, {}}};
    for (const auto &[length, expected] : cases) {
        ScriptRig rig;
        TCmd service;
        service.Cmd = CmdServiceLines;
        service.DocNum = 9;
        rig.search.CmdList.append(service);
        QByteArray text;
        for (int i = 0; i < length; ++i)
            text.append(char('a' + i % 26));
        rig.link.replies = {MakeFrame(CmdServiceLines, be(9, 4) + text)};
        rig.run();
        QList<int> sizes;
        for (const QByteArray &l : rig.search.StrList)
            sizes << int(l.size());
        EXPECT_EQ(sizes, expected) << length;
        EXPECT_EQ(rig.search.StrList.join(), text) << length;
        EXPECT_TRUE(rig.sink.lines.isEmpty());
    }
}

TEST(RequestListExchange, ErrorFrameEndsTheSearchKeepingWhatArrived)
{
    ScriptRig rig;
    rig.search.CmdList.appendDocumentRange(CmdDocumentInfo, 5, 7);
    rig.search.ToDoc = 7;
    rig.link.replies = {info(5, 12, 0), info(6, 12, 0), ErrorFrame(CmdDocumentInfo, 3)};
    EXPECT_EQ(rig.run(), RequestListExchange::End::ErrorAnswer);
    EXPECT_TRUE(rig.port.labelVisible);
    EXPECT_EQ(rig.port.labelText, QStringLiteral("Document number is out of range"));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("find enabled")));
    EXPECT_EQ(rig.link.requests.size(), 3u) << "nothing more is sent";
    EXPECT_FALSE(rig.state.AwaitingAnswer);
}

TEST(RequestListExchange, RefusedQueueQueriesTimeOutAfter5000Passes)
{
    ScriptRig rig;
    rig.link.refuseQueueQuery = true;
    rig.search.CmdList.appendDocumentRange(CmdDocumentInfo, 0, 3);
    EXPECT_EQ(rig.run(), RequestListExchange::End::TimedOut);
    EXPECT_EQ(rig.link.requests.size(), 1u);
    EXPECT_EQ(rig.port.labelText, QStringLiteral("Communication timeout (no responce from device)"));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("beep")));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("pointer restored")));
    EXPECT_EQ(rig.link.reads, 0);
}

// A search over the simulated journal, with a fault plan.
struct SimSearch
{
    SimRig rig;
    RequestListState search;
    JournalSettings settings;
    MemorySink sink{18};
    RequestListExchange::End end = RequestListExchange::End::Completed;

    explicit SimSearch(const QString &faults, quint32 documents = 20)
        : rig(faults, [documents] {
            SimulatorOptions o;
            o.documents = documents;
            return o;
        }())
    {
        rig.connect();
        search.CmdList.appendDocumentRange(CmdDocumentInfo, 0, documents - 1);
        search.ToDoc = documents - 1;
        RequestListExchange x(rig.context(), search, settings, sink);
        end = x.Run();
    }
};

TEST(RequestListExchange, RecoversFromFailedReadsAndWritesWithNoLineLostOrTwice)
{
    const SimSearch clean({});
    ASSERT_EQ(clean.end, RequestListExchange::End::Completed);
    ASSERT_GT(clean.sink.lines.size(), 200);
    for (const char *faults : {"readfail@3", "writefail@4", "shortwrite@25", "drop@30", "readfail@40,readfail@41",
                               "unplug@35:2s", "latency=3ms", "badlen@33"}) {
        const SimSearch faulty{QString::fromLatin1(faults)};
        EXPECT_EQ(faulty.end, RequestListExchange::End::Completed) << faults;
        EXPECT_TRUE(faulty.sink.lines == clean.sink.lines) << faults;
        EXPECT_EQ(faulty.sink.answers, clean.sink.answers) << faults;
    }
}

TEST(RequestListExchange, SpoiltFrameEndsTheSearchWithWhatArrivedBefore)
{
    const SimSearch clean({});
    for (const char *faults : {"error5@30", "noise@30:10", "garbage@30"}) {
        const SimSearch faulty{QString::fromLatin1(faults)};
        ASSERT_LE(faulty.sink.lines.size(), clean.sink.lines.size()) << faults;
        EXPECT_TRUE(faulty.sink.lines == clean.sink.lines.mid(0, faulty.sink.lines.size())) << faults;
        if (faulty.end != RequestListExchange::End::Completed) {
            EXPECT_TRUE(faulty.rig.port.findEnabled) << faults;
        }
    }
}

TEST(RequestListExchange, AnswerToAnotherRequestIsNotTaken)
{
    // Document 5's header answered with document 6's, then with a frame of
    // another command: each time the request goes out again.
    ScriptRig rig;
    rig.search.CmdList.appendDocumentRange(CmdDocumentInfo, 5, 5);
    rig.search.ToDoc = 5;
    rig.link.replies = {info(6, 12, 0), MakeFrame(CmdIdentity, QByteArray(30, 0)), info(5, 0, 0)};
    EXPECT_EQ(rig.run(), RequestListExchange::End::Completed);
    EXPECT_EQ(rig.requestPayloads(),
              (QList<QByteArray>{"7B 04 00 00 00 05", "7B 04 00 00 00 05", "7B 04 00 00 00 05"}));
    EXPECT_EQ(rig.records.Data123.doc_num, 5u);
    EXPECT_EQ(rig.port.identities, 0);
}

TEST(RequestListExchange, ResendsAreBounded)
{
    const SimSearch stubborn(QStringLiteral("readfail@3,readfail@4,readfail@5,readfail@6"));
    EXPECT_EQ(stubborn.end, RequestListExchange::End::DeviceLost);
    EXPECT_EQ(stubborn.rig.usb->requestCount(), 6u) << "the request went out four times in all";
    EXPECT_EQ(stubborn.rig.port.labelText, QStringLiteral("Communication timeout (no responce from device)"));
    EXPECT_EQ(stubborn.rig.state.DevHandle != 0, true) << "the device was found again";
}

TEST(RequestListExchange, GivesUpOnAnAbsentDeviceAfterAboutTenSeconds)
{
    const SimSearch gone(QStringLiteral("unplug@10"));
    EXPECT_EQ(gone.end, RequestListExchange::End::DeviceLost);
    EXPECT_EQ(gone.rig.port.pauses, RequestListExchange::MaxDiscoveryAttempts + 1);
    EXPECT_GE(gone.rig.clock->nowUs(), 10'000'000);
    EXPECT_GT(gone.rig.port.messagePumps, 90) << "the window stays alive while it waits";
    EXPECT_TRUE(gone.rig.port.events.contains(QStringLiteral("find enabled")));
}

} // namespace
