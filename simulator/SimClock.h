#pragma once

#include <QtGlobal>

// Time as the simulated journal sees it, in microseconds. The steady clock
// really waits; the manual clock jumps, so tests of time-outs and latencies
// run in no time and always the same way.
class SimClock
{
public:
    virtual ~SimClock() = default;
    virtual qint64 nowUs() = 0;
    virtual void sleepUntilUs(qint64 t) = 0;
};

class SteadyClock final : public SimClock
{
public:
    qint64 nowUs() override;
    void sleepUntilUs(qint64 t) override;
};

class ManualClock final : public SimClock
{
public:
    qint64 nowUs() override { return m_now; }
    void sleepUntilUs(qint64 t) override { m_now = qMax(m_now, t); }
    void advanceUs(qint64 us) { m_now += us; }
    void advanceMs(qint64 ms) { m_now += ms * 1000; }

private:
    qint64 m_now = 0;
};
