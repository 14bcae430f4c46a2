#pragma once

#include <QtGlobal>

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
