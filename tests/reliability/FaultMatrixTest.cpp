#include "protocol/ExchangeEngine.h"
#include "tests/support/SearchRig.h"

#include <gtest/gtest.h>

// Every fault the simulated journal can inject, in the exchange engine and in
// a search: nothing hangs or crashes, the user is told, no journal line is
// lost or written twice, and afterwards the program works again.
namespace {

SearchRequest allDocuments()
{
    SearchRequest r;
    r.mode = SearchRequest::Mode::All;
    return r;
}

// Request 1 is the identity; with 12 documents the headers are requests 2 to
// 13, so request 20 is in the middle of the line requests.
const char *const SearchFaults[] = {
    "drop@20",       "error2@20",
    "error3@20",     "error4@20",
    "error5@20",     "error6@20",
    "error7@20",     "error8@20",
    "error9@20",     "error42@20",
    "badlen@20",     "garbage@20",
    "noise@20:10",   "noise@5:300",
    "shortwrite@20", "writefail@20",
    "readfail@20",   "unplug@20:2s",
    "unplug@20",     "slow@20:11s",
    "slow@20:5s",    "drop@20,drop@21,drop@22,drop@23",
};

TEST(FaultMatrix, SearchKeepsEveryLineReceivedOnceAndInOrder)
{
    SearchRig clean(12);
    ASSERT_EQ(clean.find(allDocuments()), JournalSearch::Outcome::Completed);
    const QByteArray reference = readAll(clean.journalPath());
    ASSERT_GT(reference.count("\r\n"), 200);

    for (const char *faults : SearchFaults) {
        SearchRig rig(12, QString::fromLatin1(faults));
        const auto outcome = rig.find(allDocuments());
        const QByteArray kept = readAll(rig.journalPath());
        const bool completed = outcome == JournalSearch::Outcome::Completed;
        if (completed) {
            EXPECT_EQ(kept, reference) << faults << ": a search that recovered holds every line";
        } else {
            EXPECT_EQ(outcome, JournalSearch::Outcome::EndedOnError) << faults;
            EXPECT_TRUE(reference.startsWith(kept)) << faults << ": what was kept is the lines received, each once";
            EXPECT_TRUE((rig.port.labelVisible && !rig.port.labelText.isEmpty())
                        || rig.port.events.contains(QStringLiteral("label hidden")))
                << faults << ": the user was told";
        }
        EXPECT_EQ(rig.searchState.journal.JournalLineCount, kept.count("\r\n")) << faults;
        EXPECT_TRUE(rig.readTimer.active) << faults << ": the tick runs again";
        EXPECT_TRUE(rig.port.findEnabled) << faults;
        EXPECT_TRUE(rig.port.boxes().contains(QStringLiteral("information box: Done"))) << faults;

        // The next search works, once the device is back.
        rig.usb->plugIn();
        if (rig.state.DevHandle == 0)
            FindConnectDevice(*rig.usb, rig.state.DevHandle, rig.port, rig.port);
        ASSERT_NE(rig.state.DevHandle, 0u) << faults;
        EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Completed) << faults;
        EXPECT_EQ(readAll(rig.journalPath()), reference) << faults;
    }
}

TEST(FaultMatrix, SearchRecoversFromWhatCanBeRetried)
{
    SearchRig clean(12);
    ASSERT_EQ(clean.find(allDocuments()), JournalSearch::Outcome::Completed);
    const QByteArray reference = readAll(clean.journalPath());
    // Stray bytes and garbage are the link's fault; a late answer that
    // outlives the reopen after a failed read must not pass for the next
    // stretch of the same document.
    for (const char *faults : {"drop@20", "shortwrite@20", "writefail@20", "readfail@20", "unplug@20:2s", "slow@20:11s",
                               "badlen@20", "noise@20:10", "noise@40:3", "noise@5:300", "garbage@20", "garbage@40",
                               "late@20:11s", "late@21:11s", "late@22:11s", "late@23:11s"}) {
        SearchRig rig(12, QString::fromLatin1(faults));
        EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Completed) << faults;
        EXPECT_EQ(readAll(rig.journalPath()), reference) << faults;
    }
}

// A cancelled read ends like a time-out: what came stays, each line once, the
// program is usable, and the next read reads everything.
TEST(FaultMatrix, CancelledReadKeepsWhatCameAndTheNextReadsEverything)
{
    SearchRig clean(12);
    ASSERT_EQ(clean.find(allDocuments()), JournalSearch::Outcome::Completed);
    const QByteArray reference = readAll(clean.journalPath());

    struct Case
    {
        const char *name;
        const char *faults;
        quint64 cancelAtRequest; // cancel once this many requests went out
    };
    const Case cases[] = {
        {"between two answers", "", 20},
        {"while an answer is late", "slow@20:5s", 20},
        {"while an answer never comes", "drop@20", 20},
        {"during the document headers", "", 5},
    };
    for (const Case &c : cases) {
        SearchRig rig(12, QString::fromLatin1(c.faults));
        rig.port.cancelWhen = [&] { return rig.usb->requestCount() >= c.cancelAtRequest; };
        EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Cancelled) << c.name;
        const QByteArray kept = readAll(rig.journalPath());
        EXPECT_TRUE(reference.startsWith(kept)) << c.name << ": the lines received, each once";
        EXPECT_LT(kept.size(), reference.size()) << c.name;
        EXPECT_EQ(rig.searchState.journal.JournalLineCount, kept.count("\r\n")) << c.name;
        EXPECT_LE(rig.usb->requestCount(), c.cancelAtRequest) << c.name << ": no request after the cancel";
        EXPECT_EQ(rig.view.summary, JournalSearch::CancelledText(rig.searchState.journal.JournalLineCount)) << c.name;
        EXPECT_TRUE(rig.port.findEnabled) << c.name;
        EXPECT_TRUE(rig.readTimer.active) << c.name;
        EXPECT_GT(rig.port.keepAlives, 0) << c.name;

        rig.port.cancelWhen = nullptr;
        EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Completed) << c.name;
        EXPECT_EQ(readAll(rig.journalPath()), reference) << c.name << ": the next read reads everything";
    }
}

struct EngineRig : SimRig
{
    ExchangeEngine engine{*usb, state, Commands, records, port, readTimer, engineClock()};
    using SimRig::SimRig;
    void tick(int n)
    {
        for (int i = 0; i < n; ++i) {
            clock->advanceMs(TickPeriodMs);
            if (readTimer.active)
                engine.ReadTimerTimer();
        }
    }
};

TEST(FaultMatrix, EngineEndsEveryWaitAndFindsTheDeviceAgain)
{
    const char *const faults[] = {
        "drop@1",    "error2@1",     "error3@1",    "error9@1",   "error77@1",   "badlen@1",      "garbage@1",
        "noise@1:7", "shortwrite@1", "writefail@1", "readfail@1", "unplug@1:2s", "latency=100ms", "slow@1:1s",
    };
    for (const char *f : faults) {
        EngineRig rig(QString::fromLatin1(f));
        rig.connect();
        get_info_initial(rig.Commands);
        rig.tick(5);
        // Two ticks and a second of real time.
        EXPECT_FALSE(rig.state.AwaitingAnswer && rig.state.WaitTicks > 1000 / TickPeriodMs + 1) << f;
        // Long enough for a rediscovery, a replug and a late answer.
        rig.tick(2000);
        EXPECT_FALSE(rig.state.AwaitingAnswer) << f << ": no wait is left open";
        EXPECT_TRUE(rig.readTimer.active) << f;
        ASSERT_NE(rig.state.DevHandle, 0u) << f << ": the device is open again";
        const int before = rig.port.identities;
        if (QByteArray(f).startsWith("latency"))
            rig.state.timeout = 20; // a slow device needs its time-out raised, not a new engine
        get_info_initial(rig.Commands);
        rig.tick(30);
        EXPECT_EQ(rig.port.identities, before + 1) << f << ": the next request is answered";
    }
}

TEST(FaultMatrix, UnpluggedForGoodTheEngineKeepsLookingQuietly)
{
    EngineRig rig(QStringLiteral("unplug@1"));
    rig.connect();
    get_info_initial(rig.Commands);
    rig.tick(601 * 5 + 3);
    EXPECT_EQ(rig.state.DevHandle, 0u);
    EXPECT_TRUE(rig.port.boxes().contains(QStringLiteral("error box: Error writing to USB. Wrote 0 of 5 bytes. ")));
    EXPECT_TRUE(rig.readTimer.active);
    rig.usb->plugIn();
    rig.tick(601);
    EXPECT_NE(rig.state.DevHandle, 0u);
}

TEST(FaultMatrix, DeviceDataCannotEscapeOrBreakTheProgram)
{
    // A fiscal memory number of slashes, dots and zero bytes.
    SearchRig rig(5);
    SimulatedJournal::Identity id = rig.usb->journal().identity();
    id.fiscalMemory = {'.', '/', 0x2E, 0x2F, 0x00};
    rig.usb->journal().setIdentity(id);
    ExchangeEngine engine(*rig.usb, rig.state, rig.Commands, rig.records, rig.port, rig.readTimer);
    get_info_initial(rig.Commands);
    engine.ReadTimerTimer();
    rig.fiscal = rig.port.lastTexts.fiscalMemory;
    EXPECT_EQ(rig.fiscal, QStringLiteral("./2E2F00"));
    EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Completed);
    EXPECT_TRUE(QFile::exists(rig.dir.filePath(QStringLiteral("Original___2E2F00.txt"))));
}

// A long run under random faults: every search ends, keeps only lines it
// received, in order, and the next one starts from a working link.
TEST(FaultMatrix, SoakOfOneHundredThousandExchanges)
{
    SearchRig clean(60);
    ASSERT_EQ(clean.find(allDocuments()), JournalSearch::Outcome::Completed);
    const QByteArray reference = readAll(clean.journalPath());

    SearchRig rig(60, QStringLiteral("random=0.01,seed=2024"));
    int completed = 0, ended = 0;
    while (rig.usb->requestCount() < 100'000) {
        rig.usb->plugIn();
        if (rig.state.DevHandle == 0)
            FindConnectDevice(*rig.usb, rig.state.DevHandle, rig.port, rig.port);
        if (rig.state.DevHandle == 0)
            continue;
        rig.port.events.clear();
        const auto outcome = rig.find(allDocuments());
        const QByteArray kept = readAll(rig.journalPath());
        ASSERT_TRUE(reference.startsWith(kept) || outcome == JournalSearch::Outcome::EndedOnError)
            << "search " << completed + ended;
        if (outcome == JournalSearch::Outcome::Completed) {
            ASSERT_EQ(kept, reference) << "search " << completed + ended;
            ++completed;
        } else {
            ++ended;
        }
        ASSERT_TRUE(rig.readTimer.active);
        ASSERT_TRUE(rig.port.findEnabled);
    }
    EXPECT_GT(completed, 10);
    EXPECT_GT(ended, 0) << "the faults did bite";
}

} // namespace
