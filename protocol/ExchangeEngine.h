#pragma once

#include "AnswerHandlers.h"
#include "ExchangeState.h"

#include <functional>

class SIUSBXP;

// Moves the packets queued on Commands to the journal, one at a time, one
// small non-blocking step a tick, and acts on their answers: identity (132),
// initialise (131), erase (254), generate (255). The tick never waits on the
// device for long: a write that the device does not take goes on at the next
// tick, up to the link's write time-out.
class ExchangeEngine
{
public:
    // A monotonic clock in milliseconds; the steady clock by default.
    using Clock = std::function<qint64()>;

    // How often one request goes out when its answer came garbled by the
    // link, and how often an identity request goes out when none came.
    static constexpr int MaxResends = 3;

    ExchangeEngine(SIUSBXP &usb, ExchangeState &state, CommandQueue &commands, AnswerRecords &records, UserPort port,
                   TickTimer &readTimer, Clock nowMs = {});

    // One tick of ReadTimer.
    void ReadTimerTimer();

    // Ticks since start; after 4294967295 the next tick makes it 1.
    quint32 tickCount() const { return m_tickCount; }

private:
    void takeNextPacket();
    bool writeCurrentPacket();
    void receive();
    void answerTimedOut();
    // The request written goes out again, first; false when it has gone too often.
    bool sendAgain();
    void deviceGone();
    void writeFailure(quint32 written, quint32 toWrite);
    void readFailure(quint32 read);

    ExchangeContext m_ctx;
    TickTimer &m_readTimer;
    Clock m_nowMs;
    Pusb_cmd m_CurPacket;
    Tusb_cmd m_written;        // the request whose answer is awaited
    quint32 m_writeOffset = 0; // bytes of CurPacket the device has taken
    qint64 m_writeStartMs = 0;
    qint64 m_writtenAtMs = 0;
    int m_resends = 0;        // of the request awaited
    bool m_resending = false; // the packet at the queue's head is a resend
    AnswerFrame m_buffer{};
    quint32 m_tickCount = 0;
    quint8 m_awaitedCommand = 0;
};
