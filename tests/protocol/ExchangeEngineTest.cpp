#include "protocol/Codecs.h"
#include "protocol/ExchangeEngine.h"
#include "tests/support/FrameBuilder.h"
#include "tests/support/ScriptedLink.h"
#include "tests/support/TestRig.h"

#include <gtest/gtest.h>

namespace {

struct EngineRig : SimRig
{
    ExchangeEngine engine{*usb, state, Commands, records, port, readTimer, engineClock()};

    using SimRig::SimRig;

    // One tick as ReadTimer gives it: 16 ms of simulated time, then the tick.
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            clock->advanceMs(TickPeriodMs);
            engine.ReadTimerTimer();
        }
    }
    bool labelShows(const char *text) const { return port.labelVisible && port.labelText == QLatin1String(text); }
};

TEST(ExchangeEngine, StartUpIdentityGoesOutAndFillsTheDialogOnTheFirstTick)
{
    EngineRig rig;
    rig.connect();
    get_info_initial(rig.Commands);
    rig.tick();
    ASSERT_EQ(rig.usb->requests().size(), 1u);
    EXPECT_EQ(rig.usb->requests()[0], Hex("05 00 01 84 00"));
    EXPECT_EQ(rig.port.identities, 1);
    EXPECT_EQ(rig.port.lastTexts.storedDocuments, QStringLiteral("500"));
    EXPECT_FALSE(rig.state.AwaitingAnswer);
    EXPECT_TRUE(rig.Commands.empty());
}

TEST(ExchangeEngine, WithoutDeviceDiscoveryRunsEvery601Ticks)
{
    EngineRig rig;
    rig.usb->unplug();
    get_info_initial(rig.Commands);
    rig.tick(601); // discovery on the 601st tick finds nothing
    EXPECT_EQ(rig.state.DevHandle, 0u);
    rig.usb->plugIn();
    rig.tick(600);
    EXPECT_EQ(rig.state.DevHandle, 0u) << "the next attempt is 601 ticks later";
    rig.tick(); // tick 1202
    EXPECT_NE(rig.state.DevHandle, 0u);
    EXPECT_TRUE(rig.usb->requests().empty()) << "the discovery tick ends there";
    rig.tick();
    EXPECT_EQ(rig.usb->requests().size(), 1u);
    EXPECT_EQ(rig.port.identities, 1);
    EXPECT_EQ(rig.Commands.size(), 0) << "one identity request, not one more for the reconnection";
}

// Written on tick 1 at 16 ms, an answer is awaited for more than two ticks
// and at least a second: tick 64, at 1024 ms, is the first past both.
constexpr int TimeoutTick = 64;

TEST(ExchangeEngine, SilentDeviceTimesOutAfterTwoTicksAndASecond)
{
    EngineRig rig(QStringLiteral("drop@1"));
    rig.connect();
    gen_flash(rig.Commands);
    get_info_initial(rig.Commands);
    rig.tick(TimeoutTick - 1);
    EXPECT_TRUE(rig.state.AwaitingAnswer) << "an answer up to a second late is never a time-out";
    EXPECT_FALSE(rig.labelShows("Communication timeout (no responce from device)"));
    rig.tick();
    EXPECT_TRUE(rig.labelShows("Communication timeout (no responce from device)"));
    EXPECT_EQ(rig.usb->requests().size(), 1u);
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("beep")));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("find enabled")));
    EXPECT_EQ(rig.usb->flushCount(), 1);
    rig.tick(); // the next request goes out on the tick after
    EXPECT_EQ(rig.usb->requests().size(), 2u);
    EXPECT_EQ(rig.port.identities, 1);
}

TEST(ExchangeEngine, AnIdentityThatDoesNotComeIsAskedAgainTwice)
{
    struct Case
    {
        const char *faults;
        int identities; // received in the end
        bool timedOut;  // the time-out is shown
        std::size_t requests;
    };
    const Case cases[] = {
        {"drop@1", 1, false, 2}, {"drop@1,drop@2", 1, false, 3}, {"drop@1,drop@2,drop@3", 0, true, 3}};
    for (const Case &c : cases) {
        EngineRig rig(QString::fromLatin1(c.faults));
        rig.connect();
        get_info_initial(rig.Commands);
        rig.tick(4 * TimeoutTick);
        EXPECT_EQ(rig.port.identities, c.identities) << c.faults;
        EXPECT_EQ(rig.labelShows("Communication timeout (no responce from device)"), c.timedOut) << c.faults;
        EXPECT_EQ(rig.usb->requests().size(), c.requests) << c.faults;
        EXPECT_FALSE(rig.state.AwaitingAnswer) << c.faults;
    }
}

TEST(ExchangeEngine, StrayBytesBeforeAnAnswerAreALinkFaultAndTheRequestGoesAgain)
{
    EngineRig rig(QStringLiteral("noise@1:1"));
    rig.connect();
    get_info_initial(rig.Commands);
    rig.tick(3);
    EXPECT_EQ(rig.port.identities, 1);
    EXPECT_EQ(rig.usb->requests().size(), 2u);
    EXPECT_GE(rig.usb->flushCount(), 1);
    EXPECT_TRUE(rig.port.labelText.isEmpty()) << rig.port.labelText.toStdString();
    EXPECT_TRUE(rig.port.boxes().isEmpty()) << rig.port.boxes().join(QLatin1Char('|')).toStdString();
}

TEST(ExchangeEngine, EraseIsAwaitedUpTo15000Ticks)
{
    SimulatorOptions options;
    options.eraseTimeUs = 200'000; // about 13 ticks
    EngineRig rig({}, options);
    rig.connect();
    // The engine gives the erase its long time-out as it sends it.
    erase_flash(rig.Commands);
    rig.tick(5);
    EXPECT_TRUE(rig.state.AwaitingAnswer);
    EXPECT_EQ(rig.state.timeout, EraseAnswerTimeoutTicks);
    rig.tick(10);
    EXPECT_FALSE(rig.state.AwaitingAnswer);
    EXPECT_EQ(rig.state.timeout, DefaultAnswerTimeoutTicks);
    EXPECT_TRUE(rig.port.boxes().contains(QStringLiteral("information box: Electronic journal was erased.")));
    rig.tick();
    EXPECT_EQ(rig.port.identities, 1) << "a fresh identity was asked for";
    EXPECT_EQ(rig.port.lastTexts.storedDocuments, QStringLiteral("0"));

    EngineRig silent(QStringLiteral("drop@1"));
    silent.connect();
    erase_flash(silent.Commands);
    silent.tick(15000); // the writing tick and 14999 more
    EXPECT_TRUE(silent.state.AwaitingAnswer);
    silent.tick(); // the 15000th tick after the write
    EXPECT_FALSE(silent.state.AwaitingAnswer);
    EXPECT_TRUE(silent.labelShows("Communication timeout (no responce from device)"));
    EXPECT_EQ(silent.state.timeout, DefaultAnswerTimeoutTicks);
}

TEST(ExchangeEngine, WrongLengthIsReportedButTheFrameIsUsed)
{
    EngineRig rig(QStringLiteral("badlen@1"));
    rig.connect();
    get_info_initial(rig.Commands);
    rig.tick();
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("label: Invalid packet length")));
    EXPECT_EQ(rig.usb->flushCount(), 1);
    EXPECT_EQ(rig.port.identities, 1) << "the success frame is still dispatched";
    EXPECT_TRUE(rig.port.labelText.isEmpty()) << "and it empties the label's text";
}

TEST(ExchangeEngine, ErrorFrameShowsTheCodeAndTheQueueGoesOn)
{
    EngineRig rig(QStringLiteral("error3@1"));
    rig.connect();
    get_info_initial(rig.Commands);
    get_info_initial(rig.Commands);
    rig.tick();
    EXPECT_TRUE(rig.labelShows("Document number is out of range"));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("progress abort")));
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("find enabled")));
    rig.tick();
    EXPECT_EQ(rig.usb->requests().size(), 2u);
    EXPECT_EQ(rig.port.identities, 1);
}

TEST(ExchangeEngine, WriteFailureStopsTicksUntilItsBoxIsClosed)
{
    EngineRig rig(QStringLiteral("writefail@1"));
    rig.connect();
    rig.port.deferWork = true;
    get_info_initial(rig.Commands);
    get_info_initial(rig.Commands);
    rig.tick();
    EXPECT_FALSE(rig.readTimer.active);
    EXPECT_EQ(rig.state.DevHandle, 0u);
    EXPECT_EQ(rig.usb->closeCount(), 1);
    EXPECT_TRUE(rig.port.boxes().isEmpty()) << "the box opens after the tick";
    rig.port.runDeferred();
    EXPECT_EQ(rig.port.boxes(), QStringList{QStringLiteral("error box: Error writing to USB. Wrote 0 of 5 bytes. ")});
    EXPECT_TRUE(rig.labelShows("Error writing to USB"));
    EXPECT_TRUE(rig.readTimer.active) << "ticking again once the box is closed";

    // Rediscovery and the waiting request, with no false time-out on the way.
    rig.tick(601);
    EXPECT_NE(rig.state.DevHandle, 0u);
    rig.tick();
    EXPECT_EQ(rig.port.identities, 1);
    EXPECT_FALSE(rig.port.events.contains(QStringLiteral("label: Communication timeout (no responce from device)")));
}

TEST(ExchangeEngine, ReadFailureClosesTheDeviceAndItIsFoundAgain)
{
    EngineRig rig(QStringLiteral("readfail@1"));
    rig.connect();
    get_info_initial(rig.Commands);
    rig.tick();
    EXPECT_EQ(rig.state.DevHandle, 0u);
    EXPECT_FALSE(rig.state.AwaitingAnswer);
    EXPECT_EQ(rig.port.boxes(), QStringList{QStringLiteral("error box: Error reading from  USB. Read 0 of 255 bytes")});
    EXPECT_TRUE(rig.labelShows("Error reading from USB"));
    EXPECT_TRUE(rig.readTimer.active);
    rig.tick(601);
    EXPECT_NE(rig.state.DevHandle, 0u);
    Gen132(rig.Commands);
    rig.tick();
    EXPECT_EQ(rig.port.identities, 1);
}

TEST(ExchangeEngine, ImpossibleIdentityDateIsShownAndEndsTheWait)
{
    EngineRig rig;
    rig.connect();
    SimulatedJournal::Identity id = rig.usb->journal().identity();
    id.initDate = quint16((11 << 9) | (2 << 5) | 30); // 30 February 2011
    rig.usb->journal().setIdentity(id);
    get_info_initial(rig.Commands);
    rig.tick();
    EXPECT_EQ(rig.port.boxes(), QStringList{QStringLiteral("error box: Invalid argument to date encode")});
    EXPECT_FALSE(rig.state.AwaitingAnswer);
    EXPECT_TRUE(rig.records.identityReceived);
    rig.tick(5);
    EXPECT_FALSE(rig.port.events.contains(QStringLiteral("label: Communication timeout (no responce from device)")));
}

TEST(ExchangeEngine, ServiceAnswersAskForTheIdentityOnceTheirBoxCloses)
{
    const std::pair<void (*)(CommandQueue &), const char *> cases[] = {
        {gen_flash, "information box: Starting generation of data...."},
        {erase_flash, "information box: Electronic journal was erased."},
    };
    for (const auto &[build, box] : cases) {
        SimulatorOptions options;
        options.eraseTimeUs = 0;
        EngineRig rig({}, options);
        rig.connect();
        rig.port.deferWork = true;
        build(rig.Commands);
        rig.tick();
        EXPECT_TRUE(rig.port.events.contains(QStringLiteral("beep")));
        EXPECT_TRUE(rig.Commands.empty()) << box;
        rig.port.runDeferred();
        EXPECT_EQ(rig.port.boxes(), QStringList{QLatin1String(box)});
        EXPECT_EQ(rig.Commands.size(), 1) << "Gen132 after the box";
    }

    EngineRig rig;
    rig.connect();
    const QDateTime when(QDate(2011, 9, 9), QTime(10, 5));
    ASSERT_TRUE(Gen131(when, when, QStringLiteral("KL123456"), QStringLiteral("CLIENT0000001"), rig.Commands));
    rig.tick(2);
    EXPECT_TRUE(rig.port.boxes().contains(QStringLiteral("information box: Electronic journal was initialized")));
    EXPECT_EQ(rig.port.lastTexts.fiscalMemory, QStringLiteral("KL123456"));
    EXPECT_EQ(rig.port.lastTexts.clientNumber, QStringLiteral("CLIENT0000001"));
}

TEST(ExchangeEngine, CountsEveryTickForTheDiagnosticWindow)
{
    EngineRig rig;
    rig.usb->unplug();
    rig.tick(3);
    EXPECT_EQ(rig.engine.tickCount(), 3u);
}

// The engine on a link whose answers the test writes.
struct ScriptedEngine
{
    ScriptedLink link;
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    RecordingPort port;
    FakeTimer timer;
    ExchangeEngine engine{link, state, commands, records, port, timer};

    ScriptedEngine() { FindConnectDevice(link, state.DevHandle, port, port); }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            engine.ReadTimerTimer();
    }
};

TEST(ExchangeEngine, TickNeverReadsBeforeAWholeFrameWaits)
{
    ScriptedEngine rig;
    rig.link.replies.push_back(std::nullopt);
    get_info_initial(rig.commands);
    rig.tick(10);
    EXPECT_EQ(rig.link.reads, 0);
}

// A whole, well-formed answer for another command than the one written (a
// stale frame, or noise that reads as one) must not say the journal was
// erased, nor fill the identity.
TEST(ExchangeEngine, OnlyTheAnswerToTheRequestWrittenIsActedOn)
{
    const struct
    {
        quint8 written;
        quint8 answered;
    } cases[] = {{CmdIdentity, CmdErase}, {CmdIdentity, CmdInitialise}, {CmdErase, CmdIdentity}};
    for (const auto &c : cases) {
        ScriptedEngine rig;
        rig.link.replies.push_back(MakeFrame(c.answered, {}));
        if (c.written == CmdIdentity)
            get_info_initial(rig.commands);
        else
            erase_flash(rig.commands);
        rig.tick(3);
        EXPECT_EQ(rig.link.requests.size(), 1u) << int(c.written);
        EXPECT_TRUE(rig.port.boxes().isEmpty())
            << int(c.written) << ": " << rig.port.boxes().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(rig.port.identities, 0) << int(c.written);
        EXPECT_FALSE(rig.records.identityReceived) << int(c.written);
    }
}

} // namespace
