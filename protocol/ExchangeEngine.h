#pragma once

#include "AnswerHandlers.h"
#include "ExchangeState.h"

class SIUSBXP;
class UserPort;

// Moves the packets queued on Commands to the journal, one at a time, one
// small non-blocking step a tick, and acts on their answers: identity (132),
// initialise (131), erase (254), generate (255). The tick never waits on the
// device; only a write can block, up to the write time-out.
class ExchangeEngine
{
public:
    ExchangeEngine(SIUSBXP &usb, ExchangeState &state, CommandQueue &commands, AnswerRecords &records,
                   UserPort &port, TickTimer &readTimer);

    // One tick of ReadTimer.
    void ReadTimerTimer();

    // Ticks since start; after 4294967295 the next tick makes it 1.
    quint32 tickCount() const { return m_tickCount; }

private:
    void takeNextPacket();
    bool writeCurrentPacket();
    void receive();
    void writeFailure(quint32 written, quint32 toWrite);
    void readFailure(quint32 read);

    ExchangeContext m_ctx;
    TickTimer &m_readTimer;
    Pusb_cmd m_CurPacket;
    AnswerFrame m_buffer{};
    quint32 m_tickCount = 0;
    quint8 m_awaitedCommand = 0;
};
