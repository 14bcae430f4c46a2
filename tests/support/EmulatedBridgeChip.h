#pragma once

#include "simulator/SimulatedUsb.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <vector>

// The journal's USB bridge chip as the kernel would show it, emulated with
// umockdev: a sysfs device (10C4:EA61, serial "e_journal_v01", one vendor
// interface with bulk IN 0x81 and bulk OUT 0x01 of 64-byte packets) and a
// /dev/bus/usb node whose usbdevfs ioctls are answered here. The real
// libusb, and so the real LibusbUsbXpress, talk to it unmodified: every
// request written to bulk OUT goes to a SimulatedJournal and its 255-byte
// frame comes back on the next bulk IN URB.
//
// Needs libumockdev-preload in the process (the tests run under
// umockdev-wrapper); child processes started from the test talk to the same
// emulated chip.
class EmulatedBridgeChip
{
public:
    // What reached the device, in order.
    struct Event
    {
        enum Kind { Vendor, BulkOut, ClearHalt, Claim, Release };
        Kind kind = Vendor;
        quint16 value = 0; // Vendor: wValue; ClearHalt: the endpoint
        QByteArray bytes;  // BulkOut: the packet (empty: a zero-length packet)
    };

    // options: the journal's content and the faults of the plan that a
    // device shows in its answers (AnswerOnTheWire: drop, error frames, bad
    // length, garbage, noise, slow, late, latency); the link faults of the
    // plan belong to the other simulator.
    explicit EmulatedBridgeChip(const SimulatorOptions &options);
    ~EmulatedBridgeChip();
    EmulatedBridgeChip(const EmulatedBridgeChip &) = delete;
    EmulatedBridgeChip &operator=(const EmulatedBridgeChip &) = delete;

    SimulatedJournal &journal();
    // The device node as programs see it, and the file behind it in the test bed.
    QString deviceNode() const;
    QString deviceNodeFile() const;

    // The chip leaves the bus: its URBs fail with ENODEV and it leaves sysfs.
    void unplug();
    void plugIn();
    // After unplug(): another chip, whose journal is made from options (another
    // identity), comes on the bus at the next port and address.
    void plugInAnother(const SimulatorOptions &options);
    // Bulk IN halts (every IN URB ends in a stall) until the host clears it.
    void stallIn();
    // Bulk OUT URBs are taken but never complete, as with a chip that stopped
    // draining its endpoint; discarding them still works.
    void holdWrites(bool hold);
    // Every answer from now on comes this late.
    void setLatency(std::chrono::microseconds latency);

    std::vector<Event> events() const;
    int requestCount() const;
    int inSubmitCount() const;
    bool inHalted() const;
    // Waits until the host has written at least n requests (or timeout).
    bool waitForRequests(int n, std::chrono::milliseconds timeout) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
