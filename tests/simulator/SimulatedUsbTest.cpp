#include "protocol/DeviceLink.h"
#include "tests/support/FrameBuilder.h"
#include "tests/support/RecordingPort.h"
#include "simulator/SimulatedUsb.h"

#include <gtest/gtest.h>

namespace {

// A simulated journal on a manual clock, opened the way the program opens it.
struct Rig
{
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<SimulatedUsb> usb;
    SI_HANDLE handle = 0;
    RecordingPort port;

    explicit Rig(const QString &faults = {}, SimulatorOptions options = {})
    {
        QString error;
        options.faults = *FaultPlan::parse(faults, &error);
        usb = std::make_unique<SimulatedUsb>(options, clock);
        FindConnectDevice(*usb, handle, port, port);
    }

    SI_STATUS write(const QByteArray &request, quint32 *written = nullptr)
    {
        quint32 w = 0;
        const SI_STATUS s = usb->SI_Write(handle, request.constData(), quint32(request.size()), &w);
        if (written)
            *written = w;
        return s;
    }
    quint32 waiting()
    {
        quint32 n = 0, status = 0;
        return usb->SI_CheckRXQueue(handle, &n, &status) == SI_SUCCESS ? n : 0;
    }
    SI_STATUS read(AnswerFrame &f, quint32 *got = nullptr)
    {
        quint32 g = 0;
        const SI_STATUS s = usb->SI_Read(handle, f.data(), AnswerFrameSize, &g);
        if (got)
            *got = g;
        return s;
    }
};

const QByteArray Identity = RequestBytes(CmdIdentity, {});

TEST(SimulatedUsb, ListsTheJournalAfterOtherDevicesAndOpensIt)
{
    SimulatorOptions options;
    options.otherDevices = {QStringLiteral("CP2102 USB to UART")};
    Rig rig({}, options);
    quint32 count = 0;
    ASSERT_EQ(rig.usb->SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 2u);
    char text[SI_MAX_DEVICE_STRLEN];
    rig.usb->SI_GetProductString(1, text, SI_RETURN_SERIAL_NUMBER);
    EXPECT_STREQ(text, "e_journal_v01");
    rig.usb->SI_GetProductString(1, text, SI_RETURN_VID);
    EXPECT_STREQ(text, "10C4");
    EXPECT_NE(rig.handle, 0u);
    EXPECT_EQ(rig.usb->openCount(), 1);
    EXPECT_EQ(rig.usb->readTimeoutMs(), 10000u);
    EXPECT_TRUE(rig.port.events.isEmpty());
}

TEST(SimulatedUsb, AnswerWaitsInTheQueueUntilRead)
{
    Rig rig;
    EXPECT_EQ(rig.waiting(), 0u);
    ASSERT_EQ(rig.write(Identity), SI_SUCCESS);
    EXPECT_EQ(rig.waiting(), 255u);
    AnswerFrame f{};
    ASSERT_EQ(rig.read(f), SI_SUCCESS);
    EXPECT_EQ(FrameCommand(f), CmdIdentity);
    EXPECT_EQ(rig.waiting(), 0u);
    ASSERT_EQ(rig.usb->requests().size(), 1u);
    EXPECT_EQ(rig.usb->requests()[0], Identity);
}

TEST(SimulatedUsb, LatencyDelaysTheAnswerAndReadWaitsForIt)
{
    Rig rig(QStringLiteral("latency=5ms"));
    rig.write(Identity);
    EXPECT_EQ(rig.waiting(), 0u);
    rig.clock->advanceMs(4);
    EXPECT_EQ(rig.waiting(), 0u);
    rig.clock->advanceMs(1);
    EXPECT_EQ(rig.waiting(), 255u);

    rig.write(Identity);
    const qint64 before = rig.clock->nowUs();
    AnswerFrame f{};
    ASSERT_EQ(rig.read(f), SI_SUCCESS); // the frame already waiting
    ASSERT_EQ(rig.read(f), SI_SUCCESS); // waits the latency for the second
    EXPECT_EQ(rig.clock->nowUs() - before, 5000);
}

TEST(SimulatedUsb, DroppedAnswerMakesReadTimeOut)
{
    Rig rig(QStringLiteral("drop@1"));
    rig.write(Identity);
    AnswerFrame f{};
    quint32 got = 99;
    const qint64 before = rig.clock->nowUs();
    EXPECT_EQ(rig.read(f, &got), SI_READ_TIMED_OUT);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(rig.clock->nowUs() - before, 10'000'000) << "the whole read time-out";
    rig.write(Identity);
    EXPECT_EQ(rig.read(f), SI_SUCCESS) << "the next request is answered";
}

TEST(SimulatedUsb, FramesAreSpoiltAsPlanned)
{
    Rig rig(QStringLiteral("error5@1,badlen@2,garbage@3,noise@4:10"));
    AnswerFrame f{};
    rig.write(Identity);
    rig.read(f);
    EXPECT_NE(FrameStatus(f), 1);
    EXPECT_EQ(FrameErrorCode(f), 5);

    rig.write(Identity);
    rig.read(f);
    EXPECT_EQ(FrameLength(f), 0xFE);
    EXPECT_EQ(FrameStatus(f), 1);

    rig.write(Identity);
    rig.read(f);
    EXPECT_NE(FrameCommand(f) == CmdIdentity && FrameLength(f) == 255 && FrameStatus(f) == 1, true);

    rig.write(Identity);
    EXPECT_EQ(rig.waiting(), 265u);
}

TEST(SimulatedUsb, WriteFaultsLoseTheRequest)
{
    Rig rig(QStringLiteral("shortwrite@1,writefail@2"));
    quint32 written = 0;
    EXPECT_EQ(rig.write(Identity, &written), SI_SUCCESS);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(rig.waiting(), 0u);
    EXPECT_NE(rig.write(Identity, &written), SI_SUCCESS);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(rig.waiting(), 0u);
    EXPECT_EQ(rig.write(Identity, &written), SI_SUCCESS);
    EXPECT_EQ(rig.waiting(), 255u);
}

TEST(SimulatedUsb, ReadFailureDiscardsTheFrame)
{
    Rig rig(QStringLiteral("readfail@1"));
    rig.write(Identity);
    EXPECT_EQ(rig.waiting(), 255u);
    AnswerFrame f{};
    quint32 got = 0;
    EXPECT_EQ(rig.read(f, &got), SI_READ_ERROR);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(rig.waiting(), 0u);
}

TEST(SimulatedUsb, UnpluggedDeviceFailsUntilReplugAndReopen)
{
    Rig rig(QStringLiteral("unplug@2:2s"));
    AnswerFrame f{};
    rig.write(Identity);
    rig.read(f);
    EXPECT_NE(rig.write(Identity), SI_SUCCESS);
    quint32 count = 9;
    rig.usb->SI_GetNumDevices(&count);
    EXPECT_EQ(count, 0u);
    EXPECT_NE(rig.write(Identity), SI_SUCCESS);
    quint32 n = 0, s = 0;
    EXPECT_NE(rig.usb->SI_CheckRXQueue(rig.handle, &n, &s), SI_SUCCESS);
    EXPECT_NE(rig.read(f), SI_SUCCESS);

    rig.clock->advanceMs(2000);
    rig.usb->SI_GetNumDevices(&count);
    EXPECT_EQ(count, 1u);
    EXPECT_NE(rig.write(Identity), SI_SUCCESS) << "the old handle stays dead";
    rig.usb->SI_Close(rig.handle);
    rig.handle = 0;
    FindConnectDevice(*rig.usb, rig.handle, rig.port, rig.port);
    ASSERT_NE(rig.handle, 0u);
    EXPECT_EQ(rig.write(Identity), SI_SUCCESS);
    EXPECT_EQ(rig.read(f), SI_SUCCESS);
}

TEST(SimulatedUsb, FlushDropsOnlyWhatHasArrived)
{
    Rig rig(QStringLiteral("latency=5ms"));
    rig.write(Identity);
    rig.clock->advanceMs(5);
    rig.write(Identity);
    rig.usb->SI_FlushBuffers(rig.handle, 1, 1);
    EXPECT_EQ(rig.waiting(), 0u);
    rig.clock->advanceMs(5);
    EXPECT_EQ(rig.waiting(), 255u);
}

TEST(SimulatedUsb, OpenFailureIsReported)
{
    SimulatorOptions options;
    auto clock = std::make_shared<ManualClock>();
    SimulatedUsb usb(options, clock);
    usb.setOpenFails(true);
    RecordingPort port;
    SI_HANDLE handle = 0;
    FindConnectDevice(usb, handle, port, port);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(port.boxes(), QStringList{QStringLiteral(
                                "error box: Error opening device: e_journal_v01. Reset hardware and try again.")});
}

TEST(SimulatedUsb, RandomFaultsFollowTheSeed)
{
    auto run = [](quint64 seed) {
        Rig rig(QStringLiteral("random=0.3,seed=%1").arg(seed));
        QByteArray outcome;
        for (int i = 0; i < 200; ++i) {
            if (rig.handle == 0) {
                rig.clock->advanceMs(1000);
                FindConnectDevice(*rig.usb, rig.handle, rig.port, rig.port);
                outcome += 'R';
                continue;
            }
            quint32 w = 0;
            const SI_STATUS s = rig.write(Identity, &w);
            if (s != SI_SUCCESS) {
                rig.usb->SI_Close(rig.handle);
                rig.handle = 0;
            }
            outcome += char('0' + (s == SI_SUCCESS));
            outcome += char('0' + rig.waiting() / 255);
            rig.usb->SI_FlushBuffers(rig.handle, 1, 1);
        }
        return outcome;
    };
    const QByteArray a = run(4), b = run(4), c = run(5);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_TRUE(a.contains("10")) << "some answers went missing";
    EXPECT_TRUE(a.contains("11")) << "most were answered";
}

} // namespace
