#include "AnswerHandlers.h"

#include <QCoreApplication>

#include "SIUSBXP.h"

#include "CodecErrors.h"
#include "IdentityDisplay.h"
#include "UserPort.h"

namespace {

QString serviceAnswerText(quint8 command)
{
    switch (command) {
    case CmdInitialise:
        return QCoreApplication::translate("ejournal", "Electronic journal was initialized");
    case CmdErase:
        return QCoreApplication::translate("ejournal", "Electronic journal was erased.");
    default:
        return QCoreApplication::translate("ejournal", "Starting generation of data....");
    }
}

// Forwards everything to the real port but defers its boxes, as every box
// opened from a tick must be.
class DeferringPort final : public UserPort
{
public:
    explicit DeferringPort(UserPort &inner) : m_inner(inner) {}
    void showErrorLabel(const QString &text) override { m_inner.showErrorLabel(text); }
    void hideErrorLabel() override { m_inner.hideErrorLabel(); }
    void clearErrorLabel() override { m_inner.clearErrorLabel(); }
    void messageBox(Box kind, const QString &text) override
    {
        UserPort &inner = m_inner;
        m_inner.deferred([&inner, kind, text] { inner.messageBox(kind, text); });
    }
    bool askYesNo(const QString &text) override { return m_inner.askYesNo(text); }
    void progressOpen(int total) override { m_inner.progressOpen(total); }
    void progressListBuilt() override { m_inner.progressListBuilt(); }
    void progressTotalKnown(int total) override { m_inner.progressTotalKnown(total); }
    void progressOneMore(int done) override { m_inner.progressOneMore(done); }
    void progressRestart() override { m_inner.progressRestart(); }
    void progressFinish() override { m_inner.progressFinish(); }
    void progressAbort() override { m_inner.progressAbort(); }
    void showIdentity(const IdentityTexts &texts, const data_132 &identity) override
    {
        m_inner.showIdentity(texts, identity);
    }
    void deferred(std::function<void()> work) override { m_inner.deferred(std::move(work)); }
    void beep() override { m_inner.beep(); }
    void showBusyPointer() override { m_inner.showBusyPointer(); }
    void restoreBusyPointer() override { m_inner.restoreBusyPointer(); }
    void setFindEnabled(bool enabled) override { m_inner.setFindEnabled(enabled); }
    void processPendingMessages() override { m_inner.processPendingMessages(); }
    void pause(int milliseconds) override { m_inner.pause(milliseconds); }
    void keepAlive() override { m_inner.keepAlive(); }
    bool cancelRequested() override { return m_inner.cancelRequested(); }
    void diagnosticTick(quint32 tickCount) override { m_inner.diagnosticTick(tickCount); }
    void diagnosticQueue(int queuedPackets) override { m_inner.diagnosticQueue(queuedPackets); }

private:
    UserPort &m_inner;
};

} // namespace

void HandleServiceAnswer(ExchangeContext &ctx, quint8 command)
{
    ctx.state.timeout = DefaultAnswerTimeoutTicks;
    ctx.state.WaitTicks = 0;
    ctx.state.AwaitingAnswer = false;
    ctx.port.beep();
    UserPort &port = ctx.port;
    CommandQueue &commands = ctx.Commands;
    const QString text = serviceAnswerText(command);
    port.deferred([&port, &commands, text] {
        port.messageBox(UserPort::Box::Information, text);
        Gen132(commands);
    });
}

void HandleIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame)
{
    DecodeAnswer(frame, ctx.records.Data132);
    ctx.records.identityReceived = true;
    ctx.state.identityConfirmed = true;
    try {
        ctx.port.showIdentity(IdentityDisplay(ctx.records.Data132), ctx.records.Data132);
    } catch (const CodecError &e) {
        UserPort &port = ctx.port;
        const QString text = QString::fromLatin1(e.what());
        port.deferred([&port, text] { port.messageBox(UserPort::Box::Error, text); });
    }
}

void HandleAnswerTimeout(ExchangeContext &ctx)
{
    ctx.state.AwaitingAnswer = false;
    ctx.state.timeout = DefaultAnswerTimeoutTicks;
    ErrMsg(ctx.port, ErrTimeout);
    ctx.port.progressAbort();
    if (ctx.state.DevHandle != 0)
        ctx.usb.SI_FlushBuffers(ctx.state.DevHandle, 1, 1);
    ctx.port.restoreBusyPointer();
    ctx.port.setFindEnabled(true);
    ctx.port.beep();
    // The time-out handling closes the progress dialog twice, first and last;
    // the second close finds it closed and does nothing. It is kept so the
    // calls the user's side sees stay those of the design.
    ctx.port.progressAbort();
}

void CheckFrameLength(ExchangeContext &ctx, const AnswerFrame &frame, quint32 bytesRead)
{
    if (FrameLength(frame) != int(bytesRead)) {
        ErrMsg(ctx.port, ErrPacketLength);
        ctx.usb.SI_FlushBuffers(ctx.state.DevHandle, 1, 1);
    }
}

WriteResult WriteRequestInSlices(ExchangeContext &ctx, const Tusb_cmd &packet)
{
    ExchangeState &s = ctx.state;
    ctx.port.clearErrorLabel();
    s.SendPending = false;
    s.AwaitingAnswer = true;
    s.WaitTicks = 0;
    WriteResult r;
    r.toWrite = quint32(packet.size());
    ctx.usb.SI_SetTimeouts(LinkReadTimeoutMs, WriteSliceMs);
    quint32 slicesLeft = LinkWriteTimeoutMs / WriteSliceMs;
    SI_STATUS status = SI_WRITE_TIMED_OUT;
    while (r.written < r.toWrite) {
        quint32 got = 0;
        status = ctx.usb.SI_Write(s.DevHandle, packet.data.data() + r.written, r.toWrite - r.written, &got);
        r.written += got;
        // Only a slice that ran out goes on; a short write that the link
        // calls done is a failed write, as ever.
        if (status != SI_WRITE_TIMED_OUT || --slicesLeft == 0)
            break;
        ctx.port.keepAlive();
        if (ctx.port.cancelRequested()) {
            r.cancelled = true;
            break;
        }
    }
    ctx.usb.SI_SetTimeouts(LinkReadTimeoutMs, LinkWriteTimeoutMs);
    s.SendReady = true;
    r.ok = status == SI_SUCCESS && r.written == r.toWrite;
    return r;
}

namespace {

// What both reads do with a frame that came: its length is checked and the
// wait count ends.
ReadResult FrameCame(ExchangeContext &ctx, const AnswerFrame &frame, ReadResult r)
{
    if (!r.ok)
        return r;
    r.lengthAgrees = FrameLength(frame) == int(r.read);
    CheckFrameLength(ctx, frame, r.read);
    ctx.state.WaitTicks = 0;
    return r;
}

} // namespace

ReadResult ReadAnswerFrame(ExchangeContext &ctx, AnswerFrame &frame)
{
    ReadResult r;
    r.ok = ctx.usb.SI_Read(ctx.state.DevHandle, frame.data(), AnswerFrameSize, &r.read) == SI_SUCCESS;
    return FrameCame(ctx, frame, r);
}

ReadResult ReadAnswerFrameInSlices(ExchangeContext &ctx, AnswerFrame &frame)
{
    SIUSBXP &usb = ctx.usb;
    const SI_HANDLE h = ctx.state.DevHandle;
    ReadResult r;
    // Set for every read, not once a search: discovery after a reopen sets the
    // link's own time-outs again.
    usb.SI_SetTimeouts(ReadSliceMs, LinkWriteTimeoutMs);
    // A slice that times out has waited its full length, so counting them
    // measures the wait in the link's own time (a simulated clock in tests).
    quint32 slicesLeft = LinkReadTimeoutMs / ReadSliceMs;
    SI_STATUS status = SI_READ_TIMED_OUT;
    while (r.read < quint32(AnswerFrameSize)) {
        quint32 got = 0;
        status = usb.SI_Read(h, frame.data() + r.read, quint32(AnswerFrameSize) - r.read, &got);
        r.read += got;
        if (status != SI_READ_TIMED_OUT || --slicesLeft == 0)
            break;
        ctx.port.keepAlive();
        if (!r.cancelled && ctx.port.cancelRequested()) {
            r.cancelled = true;
            slicesLeft = qMin(slicesLeft, CancelGraceMs / ReadSliceMs);
        }
    }
    usb.SI_SetTimeouts(LinkReadTimeoutMs, LinkWriteTimeoutMs);
    r.ok = status == SI_SUCCESS && r.read == quint32(AnswerFrameSize);
    return FrameCame(ctx, frame, r);
}

void HandleErrorFrame(ExchangeContext &ctx, const AnswerFrame &frame)
{
    ctx.records.lastErrorCode = FrameErrorCode(frame);
    ErrMsg(ctx.port, FrameErrorCode(frame));
    ctx.port.progressAbort();
    ctx.port.setFindEnabled(true);
    ctx.state.AwaitingAnswer = false;
}

namespace {

bool Discover(ExchangeContext &ctx, UserPort &port)
{
    const bool wasOpen = ctx.state.DevHandle != 0;
    FindConnectDevice(ctx.usb, ctx.state.DevHandle, port);
    if (wasOpen || ctx.state.DevHandle == 0)
        return false;
    ctx.state.identityConfirmed = false;
    return true;
}

} // namespace

bool FindConnectDeviceDeferred(ExchangeContext &ctx)
{
    DeferringPort port(ctx.port);
    return Discover(ctx, port);
}

bool FindConnectDevice(ExchangeContext &ctx)
{
    return Discover(ctx, ctx.port);
}
