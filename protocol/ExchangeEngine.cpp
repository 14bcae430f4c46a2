#include "ExchangeEngine.h"

#include "DeviceLink.h"
#include "UserPort.h"

ExchangeEngine::ExchangeEngine(SIUSBXP &usb, ExchangeState &state, CommandQueue &commands,
                               AnswerRecords &records, UserPort &port, TickTimer &readTimer)
    : m_ctx{usb, state, commands, records, port}
    , m_readTimer(readTimer)
{
}

void ExchangeEngine::ReadTimerTimer()
{
    ExchangeState &s = m_ctx.state;

    if (++m_tickCount == 0)
        m_tickCount = 1;
    m_ctx.port.diagnosticTick(m_tickCount);

    if (s.DevHandle == 0) {
        if (++s.ReconnectTicks > TicksBeforeDiscovery) {
            s.ReconnectTicks = 0;
            FindConnectDeviceDeferred(m_ctx);
        }
        return;
    }
    s.ReconnectTicks = 0;
    m_ctx.port.diagnosticQueue(m_ctx.Commands.size());

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
}

// False when the write failed and the tick must end.
bool ExchangeEngine::writeCurrentPacket()
{
    ExchangeState &s = m_ctx.state;
    if (!s.SendPending || s.AwaitingAnswer)
        return true;

    m_awaitedCommand = m_CurPacket->answer_required;
    const WriteResult w = WriteRequest(m_ctx, *m_CurPacket);
    m_CurPacket.reset();
    if (!w.ok) {
        writeFailure(w.written, w.toWrite);
        return false;
    }
    return true;
}

void ExchangeEngine::receive()
{
    ExchangeState &s = m_ctx.state;
    quint32 waiting = 0;
    quint32 queueStatus = 0;
    const SI_STATUS status = m_ctx.usb.SI_CheckRXQueue(s.DevHandle, &waiting, &queueStatus);

    if (status != SI_SUCCESS || waiting < quint32(AnswerFrameSize)) {
        if (s.AwaitingAnswer && ++s.WaitTicks > s.timeout)
            HandleAnswerTimeout(m_ctx);
        return;
    }

    const ReadResult r = ReadAnswerFrame(m_ctx, m_buffer);
    if (!r.ok) {
        readFailure(r.read);
        return;
    }

    if (FrameStatus(m_buffer) == AnswerStatusSuccess) {
        m_ctx.port.clearErrorLabel();
        // Only the answer to the request written is acted on: noise that
        // reads as "journal erased" must not say so.
        const quint8 command = FrameCommand(m_buffer) == m_awaitedCommand ? FrameCommand(m_buffer) : 0;
        switch (command) {
        case CmdInitialise:
        case CmdErase:
        case CmdGenerate:
            HandleServiceAnswer(m_ctx, FrameCommand(m_buffer));
            break;
        case CmdIdentity:
            HandleIdentityAnswer(m_ctx, m_buffer);
            break;
        default:
            break;
        }
    } else {
        HandleErrorFrame(m_ctx, m_buffer);
    }
    s.AwaitingAnswer = false;
}

void ExchangeEngine::writeFailure(quint32 written, quint32 toWrite)
{
    ExchangeState &s = m_ctx.state;
    m_readTimer.stop();
    CloseDevice(m_ctx.usb, s.DevHandle);
    // The request is lost with the device; waiting for its answer after the
    // device is found again would only end in a false time-out.
    s.AwaitingAnswer = false;

    UserPort &port = m_ctx.port;
    TickTimer &timer = m_readTimer;
    const QString text = QStringLiteral("Error writing to USB. Wrote %1 of %2 bytes. ").arg(written).arg(toWrite);
    port.deferred([&port, &timer, text] {
        port.messageBox(UserPort::Box::Error, text);
        ErrMsg(port, ErrWrite);
        port.progressAbort();
        // Ticking again is what finds the device again and sends what waits.
        timer.start();
    });
}

void ExchangeEngine::readFailure(quint32 read)
{
    ExchangeState &s = m_ctx.state;
    CloseDevice(m_ctx.usb, s.DevHandle);
    s.AwaitingAnswer = false;

    UserPort &port = m_ctx.port;
    const QString text = QStringLiteral("Error reading from  USB. Read %1 of %2 bytes").arg(read).arg(AnswerFrameSize);
    port.deferred([&port, text] {
        port.messageBox(UserPort::Box::Error, text);
        ErrMsg(port, ErrRead);
        port.progressAbort();
    });
}
