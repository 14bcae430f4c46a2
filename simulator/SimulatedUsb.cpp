#include "SimulatedUsb.h"

#include "AnswerFaults.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr SI_HANDLE HandleBase = 0x5100;

} // namespace

SimulatedUsb::SimulatedUsb(const SimulatorOptions &options, std::shared_ptr<SimClock> clock)
    : m_options(options)
    , m_clock(clock ? std::move(clock) : std::make_shared<SteadyClock>())
    , m_journal(options.seed, options.deviceType, options.documents)
    , m_random(options.faults.randomSeed)
{
    m_journal.setEraseTimeUs(options.eraseTimeUs);
}

// ---- Presence -----------------------------------------------------------------

bool SimulatedUsb::plugged()
{
    if (m_unplugged && m_replugAt >= 0 && m_clock->nowUs() >= m_replugAt)
        plugIn();
    return !m_unplugged;
}

void SimulatedUsb::unplug(qint64 durationUs)
{
    m_unplugged = true;
    m_replugAt = durationUs < 0 ? -1 : m_clock->nowUs() + durationUs;
    m_rx.clear();
    m_openHandle = 0;
    ++m_generation;
}

void SimulatedUsb::plugIn()
{
    m_unplugged = false;
    m_replugAt = -1;
}

quint32 SimulatedUsb::listedCount()
{
    return quint32(m_options.otherDevices.size()) + (plugged() ? 1 : 0);
}

bool SimulatedUsb::validHandle(SI_HANDLE h)
{
    return plugged() && h != 0 && h == m_openHandle;
}

// ---- USBXpress ----------------------------------------------------------------

SI_STATUS SimulatedUsb::SI_GetNumDevices(quint32 *lpdwNumDevices)
{
    if (!lpdwNumDevices)
        return SI_INVALID_PARAMETER;
    *lpdwNumDevices = listedCount();
    return SI_SUCCESS;
}

SI_STATUS SimulatedUsb::SI_GetProductString(quint32 dwDeviceNum, char *deviceString, quint8 dwFlags)
{
    if (!deviceString || dwDeviceNum >= listedCount())
        return SI_DEVICE_NOT_FOUND;
    const bool journal = int(dwDeviceNum) == journalIndex();
    QByteArray text;
    switch (dwFlags) {
    case SI_RETURN_SERIAL_NUMBER:
        text = journal ? QByteArray(JournalDeviceString) : m_options.otherDevices[int(dwDeviceNum)].toLatin1();
        break;
    case SI_RETURN_DESCRIPTION:
        text = journal ? QByteArray("USBXpress Device") : QByteArray("Other USBXpress Device");
        break;
    case SI_RETURN_LINK_NAME:
        text = "sim:" + QByteArray::number(dwDeviceNum);
        break;
    case SI_RETURN_VID:
        text = "10C4";
        break;
    case SI_RETURN_PID:
        text = "EA61";
        break;
    default:
        return SI_INVALID_PARAMETER;
    }
    CopyDeviceString(text, deviceString);
    return SI_SUCCESS;
}

SI_STATUS SimulatedUsb::SI_Open(quint32 dwDevice, SI_HANDLE *cyHandle)
{
    if (!cyHandle)
        return SI_INVALID_PARAMETER;
    if (dwDevice >= listedCount())
        return SI_DEVICE_NOT_FOUND;
    if (int(dwDevice) != journalIndex()) {
        // Another program's device: it opens, but it will never answer the
        // journal's requests.
        *cyHandle = HandleBase - 1 - dwDevice;
        return SI_SUCCESS;
    }
    if (m_openFails || m_openHandle != 0)
        return SI_DEVICE_IO_FAILED;
    ++m_openCount;
    m_openHandle = HandleBase + m_generation;
    dropHostBytes();
    *cyHandle = m_openHandle;
    return SI_SUCCESS;
}

SI_STATUS SimulatedUsb::SI_Close(SI_HANDLE cyHandle)
{
    if (cyHandle == 0)
        return SI_INVALID_HANDLE;
    if (cyHandle == m_openHandle) {
        m_openHandle = 0;
        dropHostBytes();
    }
    ++m_closeCount;
    return SI_SUCCESS;
}

void SimulatedUsb::dropHostBytes()
{
    std::erase_if(m_rx, [](const Chunk &c) { return !c.survivesReopen; });
}

SI_STATUS SimulatedUsb::SI_SetTimeouts(quint32 dwReadTimeout, quint32 dwWriteTimeout)
{
    Q_UNUSED(dwWriteTimeout); // writes complete at once here
    m_readTimeoutMs = dwReadTimeout;
    return SI_SUCCESS;
}

SI_STATUS SimulatedUsb::SI_FlushBuffers(SI_HANDLE cyHandle, quint8 FlushTransmit, quint8 FlushReceive)
{
    Q_UNUSED(FlushTransmit);
    if (!validHandle(cyHandle))
        return SI_INVALID_HANDLE;
    ++m_flushCount;
    if (FlushReceive) {
        // Only what has already arrived is thrown away; an answer still on
        // its way comes in later, as it would on the wire.
        const qint64 now = m_clock->nowUs();
        std::erase_if(m_rx, [now](const Chunk &c) { return c.readyAt <= now; });
    }
    return SI_SUCCESS;
}

quint32 SimulatedUsb::readyBytes(qint64 now) const
{
    quint32 n = 0;
    for (const Chunk &c : m_rx) {
        if (c.readyAt > now)
            break;
        n += quint32(c.bytes.size());
    }
    return n;
}

SI_STATUS SimulatedUsb::SI_CheckRXQueue(SI_HANDLE cyHandle, quint32 *lpdwNumBytesInQueue, quint32 *lpdwQueueStatus)
{
    if (!lpdwNumBytesInQueue || !lpdwQueueStatus)
        return SI_INVALID_PARAMETER;
    if (!validHandle(cyHandle))
        return SI_INVALID_HANDLE;
    *lpdwNumBytesInQueue = readyBytes(m_clock->nowUs());
    *lpdwQueueStatus = *lpdwNumBytesInQueue > 0 ? SI_RX_READY : SI_RX_EMPTY;
    return SI_SUCCESS;
}

SI_STATUS SimulatedUsb::SI_Read(SI_HANDLE cyHandle, void *lpBuffer, quint32 dwBytesToRead, quint32 *lpdwBytesReturned)
{
    if (!lpBuffer || !lpdwBytesReturned)
        return SI_INVALID_PARAMETER;
    *lpdwBytesReturned = 0;
    if (!validHandle(cyHandle))
        return SI_INVALID_HANDLE;

    // Wait, up to the read time-out, for the bytes asked for.
    const qint64 deadline = m_clock->nowUs() + qint64(m_readTimeoutMs) * 1000;
    for (;;) {
        const qint64 now = m_clock->nowUs();
        if (readyBytes(now) >= dwBytesToRead || now >= deadline)
            break;
        qint64 next = deadline;
        for (const Chunk &c : m_rx) {
            if (c.readyAt > now) {
                next = std::min(next, c.readyAt);
                break;
            }
        }
        m_clock->sleepUntilUs(next);
        if (!plugged())
            return SI_DEVICE_NOT_FOUND;
    }

    auto *out = static_cast<char *>(lpBuffer);
    const qint64 now = m_clock->nowUs();
    quint32 got = 0;
    while (got < dwBytesToRead && !m_rx.empty() && m_rx.front().readyAt <= now) {
        Chunk &c = m_rx.front();
        if (c.readFails) {
            m_rx.pop_front();
            *lpdwBytesReturned = 0;
            return SI_READ_ERROR;
        }
        const quint32 take = std::min<quint32>(dwBytesToRead - got, quint32(c.bytes.size()));
        std::memcpy(out + got, c.bytes.constData(), take);
        got += take;
        c.bytes.remove(0, take);
        if (c.bytes.isEmpty())
            m_rx.pop_front();
    }
    *lpdwBytesReturned = got;
    return got == dwBytesToRead ? SI_SUCCESS : SI_READ_TIMED_OUT;
}

std::vector<FaultPlan::Fault> SimulatedUsb::faultsFor(quint64 request)
{
    std::vector<FaultPlan::Fault> faults = m_options.faults.scriptedFor(request);
    const double rate = m_options.faults.randomRate;
    if (rate > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < rate) {
        using K = FaultPlan::Kind;
        static constexpr K Kinds[] = {K::Drop,       K::ErrorFrame, K::BadLength, K::Garbage, K::Noise,
                                      K::ShortWrite, K::WriteFail,  K::ReadFail,  K::Unplug};
        FaultPlan::Fault f;
        f.request = request;
        f.kind = Kinds[m_random() % std::size(Kinds)];
        f.value = f.kind == K::ErrorFrame ? int(2 + m_random() % 9) : int(1 + m_random() % 32);
        f.durationUs = qint64(50'000 + m_random() % 500'000);
        faults.push_back(f);
    }
    return faults;
}

SI_STATUS SimulatedUsb::SI_Write(SI_HANDLE cyHandle, const void *lpBuffer, quint32 dwBytesToWrite,
                                 quint32 *lpdwBytesWritten)
{
    if (!lpBuffer || !lpdwBytesWritten)
        return SI_INVALID_PARAMETER;
    *lpdwBytesWritten = 0;
    if (cyHandle != 0 && cyHandle != m_openHandle && cyHandle < HandleBase) {
        // Another device takes the bytes and says nothing.
        *lpdwBytesWritten = dwBytesToWrite;
        return SI_SUCCESS;
    }
    if (!validHandle(cyHandle))
        return SI_DEVICE_NOT_FOUND;

    const quint64 number = ++m_requestCount;
    const QByteArray request(static_cast<const char *>(lpBuffer), qsizetype(dwBytesToWrite));
    if (m_options.recordRequests)
        m_requests.push_back(request);

    using K = FaultPlan::Kind;
    const std::vector<FaultPlan::Fault> faults = faultsFor(number);
    // The fault of a kind planned for this request, if any.
    auto fault = [&](K kind) -> const FaultPlan::Fault * {
        const auto it = std::find_if(faults.begin(), faults.end(), [kind](const auto &f) { return f.kind == kind; });
        return it == faults.end() ? nullptr : &*it;
    };

    if (const FaultPlan::Fault *f = fault(K::Unplug)) {
        unplug(f->durationUs);
        return SI_DEVICE_NOT_FOUND;
    }
    if (fault(K::WriteFail))
        return SI_WRITE_ERROR;
    if (fault(K::ShortWrite)) {
        *lpdwBytesWritten = dwBytesToWrite > 0 ? dwBytesToWrite - 1 : 0;
        return SI_SUCCESS;
    }
    *lpdwBytesWritten = dwBytesToWrite;

    const std::optional<WireAnswer> answer =
        AnswerOnTheWire(m_journal.handle(request), faults, m_options.faults.latencyUs, m_random);
    if (!answer)
        return SI_SUCCESS;
    Chunk c;
    c.readyAt = m_clock->nowUs() + answer->delayUs;
    c.bytes = answer->bytes;
    c.survivesReopen = answer->survivesReopen;
    c.readFails = fault(K::ReadFail);
    m_rx.push_back(std::move(c));
    return SI_SUCCESS;
}
