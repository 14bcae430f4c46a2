#pragma once

#include "protocol/AnswerHandlers.h"
#include "protocol/DeviceLink.h"
#include "protocol/ExchangeState.h"
#include "RecordingPort.h"
#include "simulator/SimulatedUsb.h"

#include <memory>

class FakeTimer final : public TickTimer
{
public:
    bool active = true;
    int starts = 0;
    int stops = 0;
    void start() override
    {
        active = true;
        ++starts;
    }
    void stop() override
    {
        active = false;
        ++stops;
    }
    bool isActive() const override { return active; }
};

// A simulated journal on a manual clock with the program's exchange state
// around it: what the main window holds, without the window.
struct SimRig
{
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<SimulatedUsb> usb;
    ExchangeState state;
    CommandQueue Commands;
    AnswerRecords records;
    RecordingPort port;
    FakeTimer readTimer;

    explicit SimRig(const QString &faults = {}, SimulatorOptions options = {})
    {
        QString error;
        const auto plan = FaultPlan::parse(faults, &error);
        if (!plan)
            throw std::runtime_error(error.toStdString());
        options.faults = *plan;
        usb = std::make_unique<SimulatedUsb>(options, clock);
        // A pause lets simulated time pass, so a replug can come.
        port.onPause = [this](int ms) { clock->advanceMs(ms); };
    }

    void connect() { FindConnectDevice(*usb, state.DevHandle, port, port); }
    // The engine's clock on the simulated one, in milliseconds.
    std::function<qint64()> engineClock()
    {
        return [c = clock] { return c->nowUs() / 1000; };
    }
    ExchangeContext context() { return ExchangeContext{*usb, state, Commands, records, port}; }
};
