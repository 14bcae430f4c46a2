#pragma once

#include "DeviceModels.h"
#include "Packets.h"
#include "SIUSBXP.h"

#include <optional>

// The period of the exchange tick. The tick counts below (an answer time-out
// of 2 ticks, discovery every 601 ticks, 15000 ticks for an erase) were tuned
// where a timer asked for 1 ms really fires at the system timer's resolution,
// about 16 ms; run at a true 1 ms they would give a device 2 to 3 ms to answer.
constexpr int TickPeriodMs = 16;

constexpr quint16 DefaultAnswerTimeoutTicks = 2;
constexpr quint16 EraseAnswerTimeoutTicks = 15000;
constexpr quint32 TicksBeforeDiscovery = 600;
// The engine's answers are awaited at least this long in real time, whatever
// the tick count says: a tick count alone fails a fast device on a loaded host.
constexpr qint64 MinAnswerWaitMs = 1000;

// The link's flags, shared by the exchange engine and the search's request
// list exchange, which never run at the same time.
struct ExchangeState
{
    SI_HANDLE DevHandle = 0;
    bool SendReady = true;
    bool SendPending = false;
    bool AwaitingAnswer = false;
    quint16 WaitTicks = 0;
    quint32 ReconnectTicks = 0;
    quint16 timeout = DefaultAnswerTimeoutTicks; // answer time-out of the engine, in ticks
    // An identity answer came since the device was last opened. Every journal
    // calls itself "e_journal_v01", so after a reconnection the device may be
    // another journal: nothing else is sent until it has said which it is.
    bool identityConfirmed = false;
};

// The last answer of each kind.
struct AnswerRecords
{
    data_122 Data122;
    data_123 Data123;
    data_124 Data124;
    data_130 Data130;
    data_132 Data132;
    bool identityReceived = false;
    // Code of the last error frame, for whoever must say why a wait ended
    // when the code has no text of its own (0 is a code like any other).
    std::optional<quint8> lastErrorCode;
};

// The timer that drives the engine's tick (ReadTimer). The windows and the
// headless reader run it; a search stops it and starts it again.
class TickTimer
{
public:
    virtual ~TickTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The tick timer of a peer that gives the ticks itself (the headless reader,
// benchmarks): only whether ticking is on.
class ManualTickTimer final : public TickTimer
{
public:
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

private:
    bool m_active = true;
};
