#pragma once

#include "FaultPlan.h"
#include "protocol/DeviceLink.h"
#include "protocol/SIUSBXP.h"
#include "SimClock.h"
#include "SimulatedJournal.h"

#include <QByteArray>
#include <QStringList>

#include <deque>
#include <memory>
#include <random>
#include <vector>

struct SimulatorOptions
{
    quint64 seed = 1;
    quint32 documents = 500;
    DeviceType deviceType = DeviceType::CashRegister;
    // Strings of further USBXpress devices, listed before the journal.
    QStringList otherDevices;
    FaultPlan faults;
    qint64 eraseTimeUs = 1'500'000;
    bool recordRequests = true;
};

// The simulated journal behind the USBXpress interface: the journal device
// (and any other devices asked for) as a host sees them through the library,
// with answers that arrive after a latency, and the faults of a plan.
class SimulatedUsb final : public SIUSBXP
{
public:
    // clock: nullptr for the real steady clock.
    explicit SimulatedUsb(const SimulatorOptions &options, std::shared_ptr<SimClock> clock = nullptr);

    SI_STATUS SI_GetNumDevices(quint32 *lpdwNumDevices) override;
    SI_STATUS SI_GetProductString(quint32 dwDeviceNum, char *deviceString, quint8 dwFlags) override;
    SI_STATUS SI_Open(quint32 dwDevice, SI_HANDLE *cyHandle) override;
    SI_STATUS SI_Close(SI_HANDLE cyHandle) override;
    SI_STATUS SI_Read(SI_HANDLE cyHandle, void *lpBuffer, quint32 dwBytesToRead, quint32 *lpdwBytesReturned) override;
    SI_STATUS SI_Write(SI_HANDLE cyHandle, const void *lpBuffer, quint32 dwBytesToWrite,
                       quint32 *lpdwBytesWritten) override;
    SI_STATUS SI_FlushBuffers(SI_HANDLE cyHandle, quint8 FlushTransmit, quint8 FlushReceive) override;
    SI_STATUS SI_SetTimeouts(quint32 dwReadTimeout, quint32 dwWriteTimeout) override;
    SI_STATUS SI_CheckRXQueue(SI_HANDLE cyHandle, quint32 *lpdwNumBytesInQueue, quint32 *lpdwQueueStatus) override;

    SimulatedJournal &journal() { return m_journal; }

    // What the host did, for tests.
    const std::vector<QByteArray> &requests() const { return m_requests; }
    quint64 requestCount() const { return m_requestCount; }
    int openCount() const { return m_openCount; }
    int closeCount() const { return m_closeCount; }
    int flushCount() const { return m_flushCount; }
    quint32 readTimeoutMs() const { return m_readTimeoutMs; }
    bool isOpen() const { return m_openHandle != 0; }

    // Takes the device away now for durationUs (-1: until plugIn()).
    void unplug(qint64 durationUs = -1);
    void plugIn();
    bool plugged();
    // Makes opening the journal fail, as a device held by another program does.
    void setOpenFails(bool fails) { m_openFails = fails; }

private:
    struct Chunk
    {
        qint64 readyAt = 0;
        QByteArray bytes;
        bool readFails = false;
        bool survivesReopen = false; // still inside the bridge chip when the host reopens it
    };
    // What a close or an open throws away: what the host had, not what the chip still holds.
    void dropHostBytes();

    int journalIndex() const { return int(m_options.otherDevices.size()); }
    quint32 listedCount();
    bool validHandle(SI_HANDLE h);
    quint32 readyBytes(qint64 now) const;
    std::vector<FaultPlan::Fault> faultsFor(quint64 request);

    SimulatorOptions m_options;
    std::shared_ptr<SimClock> m_clock;
    SimulatedJournal m_journal;

    SI_HANDLE m_openHandle = 0;
    quint32 m_generation = 0; // a replug makes every earlier handle stale
    int m_openCount = 0;
    int m_closeCount = 0;
    int m_flushCount = 0;
    bool m_openFails = false;
    bool m_unplugged = false;
    qint64 m_replugAt = -1;

    // USBXpress waits without end until SI_SetTimeouts says otherwise; a
    // simulator that did so would hang a careless caller, so it starts finite.
    quint32 m_readTimeoutMs = 1000;
    std::deque<Chunk> m_rx;

    quint64 m_requestCount = 0;
    std::vector<QByteArray> m_requests;
    std::mt19937_64 m_random;
};
