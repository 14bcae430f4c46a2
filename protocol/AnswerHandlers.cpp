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

// The peer's messages, but its boxes deferred, as every box opened from a
// tick must be.
class DeferringMessages final : public MessagePort
{
public:
    explicit DeferringMessages(MessagePort &inner) : m_inner(inner) {}
    void messageBox(Box kind, const QString &text) override
    {
        MessagePort &inner = m_inner;
        m_inner.deferred([&inner, kind, text] { inner.messageBox(kind, text); });
    }
    bool askYesNo(const QString &text) override { return m_inner.askYesNo(text); }
    void beep() override { m_inner.beep(); }
    void deferred(std::function<void()> work) override { m_inner.deferred(std::move(work)); }

private:
    MessagePort &m_inner;
};

} // namespace

void HandleServiceAnswer(ExchangeContext &ctx, quint8 command)
{
    ctx.state.timeout = DefaultAnswerTimeoutTicks;
    ctx.state.WaitTicks = 0;
    ctx.state.AwaitingAnswer = false;
    ctx.port.messages.beep();
    MessagePort &messages = ctx.port.messages;
    CommandQueue &commands = ctx.Commands;
    const QString text = serviceAnswerText(command);
    messages.deferred([&messages, &commands, text] {
        messages.messageBox(MessagePort::Box::Information, text);
        Gen132(commands);
    });
}

void HandleIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame)
{
    DecodeAnswer(frame, ctx.records.Data132);
    ctx.records.identityReceived = true;
    ctx.state.identityConfirmed = true;
    try {
        ctx.port.status.showIdentity(IdentityDisplay(ctx.records.Data132), ctx.records.Data132);
    } catch (const CodecError &e) {
        MessagePort &messages = ctx.port.messages;
        const QString text = QString::fromLatin1(e.what());
        messages.deferred([&messages, text] { messages.messageBox(MessagePort::Box::Error, text); });
    }
}

bool HandleServiceOrIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame)
{
    switch (FrameCommand(frame)) {
    case CmdInitialise:
    case CmdErase:
    case CmdGenerate:
        HandleServiceAnswer(ctx, FrameCommand(frame));
        return true;
    case CmdIdentity:
        HandleIdentityAnswer(ctx, frame);
        return true;
    default:
        return false;
    }
}

void HandleAnswerTimeout(ExchangeContext &ctx)
{
    ctx.state.AwaitingAnswer = false;
    ctx.state.timeout = DefaultAnswerTimeoutTicks;
    ErrMsg(ctx.port.status, ErrTimeout);
    ctx.port.progress.progressAbort();
    if (ctx.state.DevHandle != 0)
        ctx.usb.SI_FlushBuffers(ctx.state.DevHandle, 1, 1);
    ctx.port.controls.restoreBusyPointer();
    ctx.port.controls.setFindEnabled(true);
    ctx.port.messages.beep();
    // The time-out handling closes the progress dialog twice, first and last;
    // the second close finds it closed and does nothing. It is kept so the
    // calls the user's side sees stay those of the design.
    ctx.port.progress.progressAbort();
}

void CheckFrameLength(ExchangeContext &ctx, const AnswerFrame &frame, quint32 bytesRead)
{
    if (FrameLength(frame) != int(bytesRead)) {
        ErrMsg(ctx.port.status, ErrPacketLength);
        ctx.usb.SI_FlushBuffers(ctx.state.DevHandle, 1, 1);
    }
}

WriteResult WriteRequestInSlices(ExchangeContext &ctx, const Tusb_cmd &packet)
{
    ExchangeState &s = ctx.state;
    ctx.port.status.clearErrorLabel();
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
        ctx.port.progress.keepAlive();
        if (ctx.port.progress.cancelRequested()) {
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
        ctx.port.progress.keepAlive();
        if (!r.cancelled && ctx.port.progress.cancelRequested()) {
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
    ErrMsg(ctx.port.status, FrameErrorCode(frame));
    ctx.port.progress.progressAbort();
    ctx.port.controls.setFindEnabled(true);
    ctx.state.AwaitingAnswer = false;
}

namespace {

bool Discover(ExchangeContext &ctx, MessagePort &messages)
{
    const bool wasOpen = ctx.state.DevHandle != 0;
    FindConnectDevice(ctx.usb, ctx.state.DevHandle, messages, ctx.port.status);
    if (wasOpen || ctx.state.DevHandle == 0)
        return false;
    ctx.state.identityConfirmed = false;
    return true;
}

} // namespace

bool FindConnectDeviceDeferred(ExchangeContext &ctx)
{
    DeferringMessages messages(ctx.port.messages);
    return Discover(ctx, messages);
}

bool FindConnectDevice(ExchangeContext &ctx)
{
    return Discover(ctx, ctx.port.messages);
}
