#include "ExchangeEngine.h"

#include <QCoreApplication>

#include "DeviceLink.h"
#include "UserPort.h"

#include <chrono>

namespace {

qint64 SteadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ExchangeEngine::ExchangeEngine(SIUSBXP &usb, ExchangeState &state, CommandQueue &commands, AnswerRecords &records,
                               UserPort port, TickTimer &readTimer, Clock nowMs)
    : m_ctx{usb, state, commands, records, port}
    , m_readTimer(readTimer)
    , m_nowMs(nowMs ? std::move(nowMs) : Clock(&SteadyNowMs))
{}

void ExchangeEngine::ReadTimerTimer()
{
    ExchangeState &s = m_ctx.state;

    if (++m_tickCount == 0)
        m_tickCount = 1;
    m_ctx.port.status.diagnosticTick(m_tickCount);

    if (s.DevHandle == 0) {
        if (++s.ReconnectTicks > TicksBeforeDiscovery) {
            s.ReconnectTicks = 0;
            // Every journal has the same string: the one found may be
            // another, and says which before anything else goes to it.
            if (FindConnectDeviceDeferred(m_ctx)) {
                m_resending = false;
                if (m_ctx.Commands.empty() || m_ctx.Commands.at(0).answer_required != CmdIdentity)
                    get_info_first(m_ctx.Commands);
            }
        }
        return;
    }
    s.ReconnectTicks = 0;
    m_ctx.port.status.diagnosticQueue(m_ctx.Commands.size());

    takeNextPacket();
    if (!writeCurrentPacket())
        return;
    receive();
}

void ExchangeEngine::takeNextPacket()
{
    ExchangeState &s = m_ctx.state;
    if (s.SendPending || s.AwaitingAnswer || !s.SendReady || m_ctx.Commands.empty())
        return;
    s.SendReady = false;
    m_CurPacket = m_ctx.Commands.pop();
    s.SendPending = m_CurPacket->send_req;
    // The journal answers an erase only when it is done, minutes later; the
    // answer's handler sets the usual time-out back.
    if (m_CurPacket->command() == CmdErase)
        s.timeout = EraseAnswerTimeoutTicks;
    if (!m_resending)
        m_resends = 0;
    m_resending = false;
    m_writeOffset = 0;
    m_writeStartMs = m_nowMs();
}

// False when the tick must end: the write failed, or the device has not
// taken the whole request yet.
bool ExchangeEngine::writeCurrentPacket()
{
    ExchangeState &s = m_ctx.state;
    if (!s.SendPending || s.AwaitingAnswer)
        return true;

    if (m_writeOffset == 0)
        m_ctx.port.status.clearErrorLabel();
    // A short slice: a device that does not take the request must not hold
    // the window for the whole write time-out; the next tick tries again.
    const quint32 toWrite = quint32(m_CurPacket->size());
    quint32 written = 0;
    m_ctx.usb.SI_SetTimeouts(LinkReadTimeoutMs, WriteSliceMs);
    const SI_STATUS status =
        m_ctx.usb.SI_Write(s.DevHandle, m_CurPacket->data.data() + m_writeOffset, toWrite - m_writeOffset, &written);
    m_ctx.usb.SI_SetTimeouts(LinkReadTimeoutMs, LinkWriteTimeoutMs);
    m_writeOffset += written;
    if (status == SI_WRITE_TIMED_OUT && m_writeOffset < toWrite
        && m_nowMs() - m_writeStartMs < qint64(LinkWriteTimeoutMs))
        return false;

    s.SendPending = false;
    s.WaitTicks = 0;
    s.SendReady = true;
    m_awaitedCommand = m_CurPacket->answer_required;
    m_written = *m_CurPacket;
    m_CurPacket.reset();
    if (status != SI_SUCCESS || m_writeOffset != toWrite) {
        writeFailure(m_writeOffset, toWrite);
        return false;
    }
    s.AwaitingAnswer = true;
    m_writtenAtMs = m_nowMs();
    return true;
}

void ExchangeEngine::receive()
{
    ExchangeState &s = m_ctx.state;
    quint32 waiting = 0;
    quint32 queueStatus = 0;
    const SI_STATUS status = m_ctx.usb.SI_CheckRXQueue(s.DevHandle, &waiting, &queueStatus);

    if (status == SI_DEVICE_NOT_FOUND) {
        deviceGone();
        return;
    }
    if (status != SI_SUCCESS || waiting < quint32(AnswerFrameSize)) {
        if (!s.AwaitingAnswer)
            return;
        if (s.WaitTicks < 0xFFFF)
            ++s.WaitTicks;
        if (s.WaitTicks > s.timeout && m_nowMs() - m_writtenAtMs >= MinAnswerWaitMs)
            answerTimedOut();
        return;
    }

    const ReadResult r = ReadAnswerFrame(m_ctx, m_buffer);
    if (!r.ok) {
        readFailure(r.read);
        return;
    }
    if (!r.lengthAgrees && FrameStatus(m_buffer) != AnswerStatusSuccess) {
        // Stray bytes shifted the frame, so its status byte is whatever
        // landed there: the link's fault, not the device's answer (both
        // buffers were just flushed). The request goes again.
        s.AwaitingAnswer = false;
        if (!sendAgain())
            HandleAnswerTimeout(m_ctx);
        return;
    }

    if (FrameStatus(m_buffer) == AnswerStatusSuccess) {
        m_ctx.port.status.clearErrorLabel();
        // Only the answer to the request written is acted on: noise that
        // reads as "journal erased" must not say so.
        if (FrameCommand(m_buffer) == m_awaitedCommand)
            HandleServiceOrIdentityAnswer(m_ctx, m_buffer);
    } else {
        HandleErrorFrame(m_ctx, m_buffer);
    }
    s.AwaitingAnswer = false;
}

void ExchangeEngine::answerTimedOut()
{
    // Without its identity the window cannot name the journal's files: a
    // lost identity answer is asked for again before the wait is given up.
    if (m_awaitedCommand == CmdIdentity) {
        m_ctx.state.AwaitingAnswer = false;
        m_ctx.usb.SI_FlushBuffers(m_ctx.state.DevHandle, 1, 1);
        if (sendAgain())
            return;
    }
    HandleAnswerTimeout(m_ctx);
}

bool ExchangeEngine::sendAgain()
{
    if (++m_resends >= MaxResends)
        return false;
    m_ctx.Commands.pushFront(std::make_unique<Tusb_cmd>(m_written));
    m_resending = true;
    return true;
}

void ExchangeEngine::deviceGone()
{
    // The bridge chip left the bus. Looking for it again (and asking which
    // journal it is then) beats waiting on a handle that will never answer.
    ExchangeState &s = m_ctx.state;
    CloseDevice(m_ctx.usb, s.DevHandle);
    s.AwaitingAnswer = false;
    s.SendPending = false;
    s.SendReady = true;
    m_CurPacket.reset();
    ErrMsg(m_ctx.port.status, ErrNoDevice);
}

void ExchangeEngine::writeFailure(quint32 written, quint32 toWrite)
{
    ExchangeState &s = m_ctx.state;
    m_readTimer.stop();
    CloseDevice(m_ctx.usb, s.DevHandle);
    // The request is lost with the device; waiting for its answer after the
    // device is found again would only end in a false time-out.
    s.AwaitingAnswer = false;

    const UserPort port = m_ctx.port;
    TickTimer &timer = m_readTimer;
    const QString text = QCoreApplication::translate("ejournal", "Error writing to USB. Wrote %1 of %2 bytes. ")
                             .arg(written)
                             .arg(toWrite);
    port.messages.deferred([port, &timer, text] {
        port.messages.messageBox(MessagePort::Box::Error, text);
        ErrMsg(port.status, ErrWrite);
        port.progress.progressAbort();
        // Ticking again is what finds the device again and sends what waits.
        timer.start();
    });
}

void ExchangeEngine::readFailure(quint32 read)
{
    ExchangeState &s = m_ctx.state;
    CloseDevice(m_ctx.usb, s.DevHandle);
    s.AwaitingAnswer = false;

    const UserPort port = m_ctx.port;
    const QString text = QCoreApplication::translate("ejournal", "Error reading from  USB. Read %1 of %2 bytes")
                             .arg(read)
                             .arg(AnswerFrameSize);
    port.messages.deferred([port, text] {
        port.messages.messageBox(MessagePort::Box::Error, text);
        ErrMsg(port.status, ErrRead);
        port.progress.progressAbort();
    });
}
