#include "LibusbUsbXpress.h"

#include "ReceiveBuffer.h"

#include <libusb.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcUsb, "ejournal.usb", QtWarningMsg)

namespace {

// USBXpress vendor requests.
constexpr quint8 RequestTypeVendorOut = 0x40;
constexpr quint8 RequestSetState = 0x02;
constexpr quint16 StateFlush = 0x0001;
constexpr quint16 StateEnable = 0x0002;
constexpr quint16 StateDisable = 0x0004;
constexpr unsigned ControlTimeoutMs = 1000;
constexpr int ReceiveChunk = 4096;
// A bulk IN that keeps failing for reasons other than a stall is a device
// that has gone bad; resubmitting it for ever would spin the event thread.
constexpr int MaxTransferErrors = 3;

// USBXpress reads a time-out of 0 as "do not wait"; libusb reads it as "wait
// for ever". A write asked not to wait gets the shortest wait libusb has.
unsigned LibusbTimeoutMs(quint32 usbXpressMs)
{
    return usbXpressMs == 0 ? 1u : unsigned(usbXpressMs);
}

// libusb's objects, each freed by its own function when it goes.
struct FreeDeviceList
{
    void operator()(libusb_device **list) const { libusb_free_device_list(list, 1); }
};
struct FreeConfigDescriptor
{
    void operator()(libusb_config_descriptor *config) const { libusb_free_config_descriptor(config); }
};
struct CloseHandle
{
    void operator()(libusb_device_handle *handle) const { libusb_close(handle); }
};
struct FreeTransfer
{
    void operator()(libusb_transfer *transfer) const { libusb_free_transfer(transfer); }
};
using DeviceList = std::unique_ptr<libusb_device *, FreeDeviceList>;
using Transfer = std::unique_ptr<libusb_transfer, FreeTransfer>;
using ConfigDescriptor = std::unique_ptr<libusb_config_descriptor, FreeConfigDescriptor>;
using ShortOpen = std::unique_ptr<libusb_device_handle, CloseHandle>;

QByteArray ReadAttribute(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed();
}

// The sysfs folder of a listed device. Linux names it after the bus and the
// port path ("1-4.2"); the scan by bus and device number covers the rest.
QString SysfsFolder(libusb_device *device)
{
    const QString devices = QStringLiteral("/sys/bus/usb/devices/");
    const int bus = libusb_get_bus_number(device);
    const int address = libusb_get_device_address(device);
    auto matches = [&](const QString &folder) {
        return ReadAttribute(folder + QLatin1String("/busnum")).toInt() == bus
               && ReadAttribute(folder + QLatin1String("/devnum")).toInt() == address;
    };
    quint8 ports[8];
    const int depth = libusb_get_port_numbers(device, ports, 8);
    if (depth > 0) {
        QString name = QString::number(bus);
        for (int i = 0; i < depth; ++i)
            name += (i == 0 ? QLatin1Char('-') : QLatin1Char('.')) + QString::number(ports[i]);
        if (matches(devices + name))
            return devices + name;
    }
    const QStringList entries = QDir(devices).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString &entry : entries) {
        if (matches(devices + entry))
            return devices + entry;
    }
    return {};
}

} // namespace

SI_STATUS UsbXpressStatus(int code, UsbDirection direction)
{
    switch (code) {
    case LIBUSB_SUCCESS:
        return SI_SUCCESS;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return SI_DEVICE_NOT_FOUND;
    case LIBUSB_ERROR_TIMEOUT:
        return direction == UsbDirection::Read    ? SI_READ_TIMED_OUT
               : direction == UsbDirection::Write ? SI_WRITE_TIMED_OUT
                                                  : SI_DEVICE_IO_FAILED;
    case LIBUSB_ERROR_INVALID_PARAM:
        return SI_INVALID_PARAMETER;
    default:
        return direction == UsbDirection::Read    ? SI_READ_ERROR
               : direction == UsbDirection::Write ? SI_WRITE_ERROR
                                                  : SI_DEVICE_IO_FAILED;
    }
}

struct LibusbUsbXpress::Listed
{
    libusb_device *device = nullptr; // referenced while listed
    BulkPair endpoints;
    UsbId id;
    QString sysfs; // empty where the system has none
};

// One open bridge chip: its claimed interface, its posted bulk IN transfer
// and the event thread that completes it.
//
// The transfer is resubmitted from its completion callback on the event
// thread and cancelled by close() on the caller's thread. Both steps hold
// m_lock, so close() either sees the transfer posted and cancels it, or the
// callback sees the stop and leaves it be: a resubmission can never slip in
// between a stop and its cancel and leave a transfer that nothing completes.
class LibusbUsbXpress::OpenDevice
{
public:
    OpenDevice(libusb_context *context, libusb_device_handle *handle, const BulkPair &endpoints,
               const LibusbObserver &observer)
        : m_observer(observer)
        , m_context(context)
        , m_handle(handle)
        , m_endpoints(endpoints)
        , m_transfer(libusb_alloc_transfer(0))
        , m_chunk(ReceiveChunk, 0)
    {}

    ~OpenDevice() { close(); }

    libusb_device_handle *handle() const { return m_handle; }
    const BulkPair &endpoints() const { return m_endpoints; }
    ReceiveBuffer &received() { return m_received; }
    bool gone() const { return m_gone.load(); }
    bool halted() const { return m_halted.load(); }
    void markGone()
    {
        if (!m_gone.exchange(true))
            qCInfo(lcUsb, "the bridge chip is gone");
        m_received.close();
    }

    // Posts the bulk IN transfer and starts the event thread.
    bool start()
    {
        if (!m_transfer)
            return false;
        libusb_fill_bulk_transfer(m_transfer.get(), m_handle, m_endpoints.in,
                                  reinterpret_cast<unsigned char *>(m_chunk.data()), ReceiveChunk,
                                  &OpenDevice::completed, this, 0);
        const int rc = libusb_submit_transfer(m_transfer.get());
        if (rc != LIBUSB_SUCCESS) {
            qCInfo(lcUsb, "cannot post the bulk IN transfer: %s", libusb_error_name(rc));
            return false;
        }
        m_posted = true;
        m_thread = std::thread([this] {
            for (;;) {
                timeval tv{0, 100'000};
                libusb_handle_events_timeout_completed(m_context, &tv, nullptr);
                const std::lock_guard lock(m_lock);
                if (m_stopping && !m_posted)
                    break;
            }
        });
        return true;
    }

    // A halted bulk IN is cleared here, on the thread that owns the calls:
    // libusb's synchronous calls may not run inside the event thread's
    // callbacks. Then the transfer is posted again.
    void recoverFromHalt()
    {
        if (!m_halted.load())
            return;
        const int rc = libusb_clear_halt(m_handle, m_endpoints.in);
        qCInfo(lcUsb, "bulk IN halted; clearing it: %s", libusb_error_name(rc));
        const std::lock_guard lock(m_lock);
        m_halted = false;
        if (m_stopping || m_gone.load())
            return;
        if (rc == LIBUSB_ERROR_NO_DEVICE || libusb_submit_transfer(m_transfer.get()) != LIBUSB_SUCCESS) {
            markGone();
            return;
        }
        m_posted = true;
    }

    void close()
    {
        if (m_closed)
            return;
        m_closed = true;
        {
            const std::lock_guard lock(m_lock);
            m_stopping = true;
            if (m_posted)
                libusb_cancel_transfer(m_transfer.get());
        }
        libusb_interrupt_event_handler(m_context);
        if (m_thread.joinable())
            m_thread.join();
        if (!m_gone.load())
            libusb_control_transfer(m_handle, RequestTypeVendorOut, RequestSetState, StateDisable, 0, nullptr, 0,
                                    ControlTimeoutMs);
        libusb_release_interface(m_handle, m_endpoints.interfaceNumber);
        libusb_close(m_handle);
        m_transfer.reset(); // only now: the event thread, which completes it, has ended
        m_received.close();
    }

private:
    static void LIBUSB_CALL completed(libusb_transfer *transfer)
    {
        static_cast<OpenDevice *>(transfer->user_data)->onCompleted(transfer);
    }

    void onCompleted(libusb_transfer *transfer)
    {
        switch (transfer->status) {
        case LIBUSB_TRANSFER_COMPLETED:
            m_errors = 0;
            m_received.deliver(m_chunk.constData(), transfer->actual_length);
            break;
        case LIBUSB_TRANSFER_NO_DEVICE:
            markGone();
            settle();
            return;
        case LIBUSB_TRANSFER_CANCELLED:
            settle();
            return;
        case LIBUSB_TRANSFER_STALL: {
            // Resubmitting into a halted endpoint only stalls again; the
            // owner's next call clears it, and a waiting read hears of it now.
            const std::lock_guard lock(m_lock);
            m_posted = false;
            m_halted = true;
            m_received.interrupt();
            return;
        }
        default:
            qCInfo(lcUsb, "bulk IN transfer failed: status %d", int(transfer->status));
            if (++m_errors >= MaxTransferErrors) {
                markGone();
                settle();
                return;
            }
            break;
        }
        const std::lock_guard lock(m_lock);
        if (m_stopping) {
            m_posted = false;
            return;
        }
        if (m_observer.beforeResubmit)
            m_observer.beforeResubmit();
        const int rc = libusb_submit_transfer(transfer);
        if (rc != LIBUSB_SUCCESS) {
            qCInfo(lcUsb, "cannot post the bulk IN transfer again: %s", libusb_error_name(rc));
            m_posted = false;
            markGone();
        }
    }

    void settle()
    {
        const std::lock_guard lock(m_lock);
        m_posted = false;
    }

    const LibusbObserver &m_observer; // the link's, which outlives its open devices
    libusb_context *m_context;
    libusb_device_handle *m_handle;
    BulkPair m_endpoints;
    Transfer m_transfer;
    QByteArray m_chunk;
    ReceiveBuffer m_received;
    std::thread m_thread;
    std::mutex m_lock; // m_posted and m_stopping change together with the transfer's fate
    bool m_posted = false;
    bool m_stopping = false;
    int m_errors = 0; // event thread only
    std::atomic<bool> m_halted{false};
    std::atomic<bool> m_gone{false};
    bool m_closed = false;
};

LibusbUsbXpress::LibusbUsbXpress(QList<UsbId> ids, LibusbObserver observer)
    : m_observer(std::move(observer))
    , m_ids(ids.isEmpty() ? KnownUsbIds(qEnvironmentVariable("EJOURNAL_USB_IDS"), &m_warnings) : std::move(ids))
{
    const int rc = libusb_init(&m_context);
    if (rc != LIBUSB_SUCCESS) {
        m_context = nullptr;
        m_startError = QString::fromLatin1(libusb_strerror(rc));
        qCInfo(lcUsb, "libusb_init: %s", libusb_error_name(rc));
    }
}

void ReportUsbStartProblems(const LibusbUsbXpress &usb, const char *program)
{
    for (const QString &warning : usb.warnings())
        std::fprintf(stderr, "%s: %s\n", program, warning.toLocal8Bit().constData());
    if (!usb.startError().isEmpty())
        std::fprintf(stderr, "%s: USB is not available here: %s\n", program,
                     usb.startError().toLocal8Bit().constData());
}

LibusbUsbXpress::~LibusbUsbXpress()
{
    m_open.clear();
    for (Listed &l : m_devices)
        libusb_unref_device(l.device);
    m_devices.clear();
    if (m_context)
        libusb_exit(m_context);
}

void LibusbUsbXpress::refreshList()
{
    for (Listed &l : m_devices)
        libusb_unref_device(l.device);
    m_devices.clear();
    if (!m_context)
        return;
    libusb_device **raw = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &raw);
    const DeviceList list(raw);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device *device = list.get()[i];
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(device, &desc) != LIBUSB_SUCCESS)
            continue;
        const UsbId id{desc.idVendor, desc.idProduct};
        if (!m_ids.contains(id))
            continue;
        libusb_config_descriptor *rawConfig = nullptr;
        if (libusb_get_active_config_descriptor(device, &rawConfig) != LIBUSB_SUCCESS)
            continue;
        const ConfigDescriptor config(rawConfig);
        std::optional<BulkPair> pair;
        for (int k = 0; k < config->bNumInterfaces && !pair; ++k) {
            if (config->interface[k].num_altsetting < 1)
                continue;
            const libusb_interface_descriptor &alt = config->interface[k].altsetting[0];
            InterfaceInfo info;
            info.number = alt.bInterfaceNumber;
            info.interfaceClass = alt.bInterfaceClass;
            for (int e = 0; e < alt.bNumEndpoints; ++e)
                info.endpoints << EndpointInfo{alt.endpoint[e].bEndpointAddress, alt.endpoint[e].bmAttributes,
                                               alt.endpoint[e].wMaxPacketSize};
            pair = UsbXpressEndpoints(info);
        }
        if (pair)
            m_devices.push_back(Listed{libusb_ref_device(device), *pair, id, SysfsFolder(device)});
    }
}

LibusbUsbXpress::OpenDevice *LibusbUsbXpress::find(SI_HANDLE handle)
{
    const auto it = m_open.find(handle);
    return it == m_open.end() ? nullptr : it->second.get();
}

LibusbUsbXpress::OpenDevice *LibusbUsbXpress::present(SI_HANDLE handle, SI_STATUS &status)
{
    OpenDevice *d = find(handle);
    status = !d ? SI_INVALID_HANDLE : d->gone() ? SI_DEVICE_NOT_FOUND : SI_SUCCESS;
    return status == SI_SUCCESS ? d : nullptr;
}

SI_STATUS LibusbUsbXpress::SI_GetNumDevices(quint32 *lpdwNumDevices)
{
    if (!lpdwNumDevices)
        return SI_INVALID_PARAMETER;
    refreshList();
    *lpdwNumDevices = quint32(m_devices.size());
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_GetProductString(quint32 dwDeviceNum, char *deviceString, quint8 dwFlags)
{
    if (!deviceString)
        return SI_INVALID_PARAMETER;
    if (dwDeviceNum >= m_devices.size())
        return SI_DEVICE_NOT_FOUND;
    const Listed &l = m_devices[dwDeviceNum];
    QByteArray text;
    switch (dwFlags) {
    case SI_RETURN_VID:
        text = QByteArray::number(l.id.vendor, 16).toUpper().rightJustified(4, '0');
        break;
    case SI_RETURN_PID:
        text = QByteArray::number(l.id.product, 16).toUpper().rightJustified(4, '0');
        break;
    case SI_RETURN_LINK_NAME: {
        quint8 ports[8];
        const int depth = libusb_get_port_numbers(l.device, ports, 8);
        text = QByteArray::number(libusb_get_bus_number(l.device));
        for (int i = 0; i < depth; ++i)
            text += (i == 0 ? '-' : '.') + QByteArray::number(ports[i]);
        break;
    }
    case SI_RETURN_SERIAL_NUMBER:
    case SI_RETURN_DESCRIPTION: {
        // sysfs is readable by everyone, so the string comes without opening
        // the device: a node the user may not open shows up as a failed
        // open, not as another device.
        const QLatin1String attribute(dwFlags == SI_RETURN_SERIAL_NUMBER ? "/serial" : "/product");
        if (!l.sysfs.isEmpty() && QFile::exists(l.sysfs + attribute)) {
            text = ReadAttribute(l.sysfs + attribute);
            break;
        }
        const SI_STATUS status = stringFromDevice(l, dwFlags, text);
        if (status != SI_SUCCESS)
            return status;
        break;
    }
    default:
        return SI_INVALID_PARAMETER;
    }
    CopyDeviceString(text, deviceString);
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::stringFromDevice(const Listed &l, quint8 flags, QByteArray &text)
{
    libusb_device_descriptor desc{};
    libusb_get_device_descriptor(l.device, &desc);
    const quint8 index = flags == SI_RETURN_SERIAL_NUMBER ? desc.iSerialNumber : desc.iProduct;
    libusb_device_handle *h = nullptr;
    // An open device answers through its handle; another needs a short open.
    for (const auto &[handle, open] : m_open) {
        Q_UNUSED(handle);
        if (libusb_get_device(open->handle()) == l.device)
            h = open->handle();
    }
    ShortOpen opened;
    if (!h) {
        const int rc = libusb_open(l.device, &h);
        if (rc != LIBUSB_SUCCESS) {
            qCInfo(lcUsb, "libusb_open for the device string: %s", libusb_error_name(rc));
            return UsbXpressStatus(rc, UsbDirection::Control);
        }
        opened.reset(h);
    }
    unsigned char buffer[SI_MAX_DEVICE_STRLEN] = {};
    const int n = index ? libusb_get_string_descriptor_ascii(h, index, buffer, sizeof buffer - 1) : 0;
    if (n < 0)
        return UsbXpressStatus(n, UsbDirection::Control);
    text = QByteArray(reinterpret_cast<const char *>(buffer), n);
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_SetTimeouts(quint32 dwReadTimeout, quint32 dwWriteTimeout)
{
    m_readTimeoutMs = dwReadTimeout;
    m_writeTimeoutMs = dwWriteTimeout;
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_Open(quint32 dwDevice, SI_HANDLE *cyHandle)
{
    if (!cyHandle)
        return SI_INVALID_PARAMETER;
    if (dwDevice >= m_devices.size())
        return SI_DEVICE_NOT_FOUND;
    const Listed &l = m_devices[dwDevice];
    libusb_device_handle *h = nullptr;
    int rc = libusb_open(l.device, &h);
    if (rc != LIBUSB_SUCCESS) {
        qCInfo(lcUsb, "libusb_open: %s", libusb_error_name(rc));
        return UsbXpressStatus(rc, UsbDirection::Control);
    }
    libusb_set_auto_detach_kernel_driver(h, 1);
    rc = libusb_claim_interface(h, l.endpoints.interfaceNumber);
    if (rc != LIBUSB_SUCCESS) {
        qCInfo(lcUsb, "libusb_claim_interface %d: %s", int(l.endpoints.interfaceNumber), libusb_error_name(rc));
        libusb_close(h);
        return UsbXpressStatus(rc, UsbDirection::Control);
    }
    libusb_clear_halt(h, l.endpoints.in);
    libusb_clear_halt(h, l.endpoints.out);
    rc =
        libusb_control_transfer(h, RequestTypeVendorOut, RequestSetState, StateEnable, 0, nullptr, 0, ControlTimeoutMs);
    auto device = std::make_unique<OpenDevice>(m_context, h, l.endpoints, m_observer);
    if (rc < 0) {
        qCInfo(lcUsb, "enable request: %s", libusb_error_name(rc));
        return UsbXpressStatus(rc, UsbDirection::Control); // the device closes itself
    }
    if (!device->start())
        return SI_DEVICE_IO_FAILED;
    qCDebug(lcUsb, "opened %04x:%04x, interface %d, IN 0x%02x, OUT 0x%02x", l.id.vendor, l.id.product,
            int(l.endpoints.interfaceNumber), l.endpoints.in, l.endpoints.out);
    const SI_HANDLE handle = m_nextHandle++;
    m_open[handle] = std::move(device);
    *cyHandle = handle;
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_Close(SI_HANDLE cyHandle)
{
    const auto it = m_open.find(cyHandle);
    if (it == m_open.end())
        return SI_INVALID_HANDLE;
    m_open.erase(it);
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_Write(SI_HANDLE cyHandle, const void *lpBuffer, quint32 dwBytesToWrite,
                                    quint32 *lpdwBytesWritten)
{
    if (!lpBuffer || !lpdwBytesWritten)
        return SI_INVALID_PARAMETER;
    *lpdwBytesWritten = 0;
    SI_STATUS status = SI_SUCCESS;
    OpenDevice *d = present(cyHandle, status);
    if (!d)
        return status;
    int transferred = 0;
    auto *bytes = static_cast<unsigned char *>(const_cast<void *>(lpBuffer));
    int rc = libusb_bulk_transfer(d->handle(), d->endpoints().out, bytes, int(dwBytesToWrite), &transferred,
                                  LibusbTimeoutMs(m_writeTimeoutMs));
    *lpdwBytesWritten = quint32(qMax(0, transferred));
    if (rc == LIBUSB_SUCCESS && dwBytesToWrite > 0 && dwBytesToWrite % d->endpoints().outMaxPacket == 0) {
        // A write that fills its last packet ends with a zero-length packet.
        int none = 0;
        rc =
            libusb_bulk_transfer(d->handle(), d->endpoints().out, nullptr, 0, &none, LibusbTimeoutMs(m_writeTimeoutMs));
    }
    if (rc != LIBUSB_SUCCESS)
        qCInfo(lcUsb, "bulk OUT of %u bytes: %s", unsigned(dwBytesToWrite), libusb_error_name(rc));
    if (rc == LIBUSB_ERROR_NO_DEVICE)
        d->markGone();
    return UsbXpressStatus(rc, UsbDirection::Write);
}

SI_STATUS LibusbUsbXpress::SI_CheckRXQueue(SI_HANDLE cyHandle, quint32 *lpdwNumBytesInQueue, quint32 *lpdwQueueStatus)
{
    if (!lpdwNumBytesInQueue || !lpdwQueueStatus)
        return SI_INVALID_PARAMETER;
    SI_STATUS status = SI_SUCCESS;
    OpenDevice *d = present(cyHandle, status);
    if (!d)
        return status;
    d->recoverFromHalt();
    *lpdwNumBytesInQueue = quint32(d->received().available());
    *lpdwQueueStatus =
        (*lpdwNumBytesInQueue ? SI_RX_READY : SI_RX_EMPTY) | (d->received().overrun() ? quint32(SI_RX_OVERRUN) : 0u);
    return SI_SUCCESS;
}

SI_STATUS LibusbUsbXpress::SI_Read(SI_HANDLE cyHandle, void *lpBuffer, quint32 dwBytesToRead,
                                   quint32 *lpdwBytesReturned)
{
    if (!lpBuffer || !lpdwBytesReturned)
        return SI_INVALID_PARAMETER;
    *lpdwBytesReturned = 0;
    OpenDevice *d = find(cyHandle);
    if (!d)
        return SI_INVALID_HANDLE;
    // A halted endpoint sends nothing until cleared: say so at once instead
    // of waiting out the time-out.
    if (d->halted()) {
        d->recoverFromHalt();
        return SI_READ_ERROR;
    }
    const QByteArray got = d->received().take(qsizetype(dwBytesToRead), std::chrono::milliseconds(m_readTimeoutMs));
    std::memcpy(lpBuffer, got.constData(), std::size_t(got.size()));
    *lpdwBytesReturned = quint32(got.size());
    if (got.size() == qsizetype(dwBytesToRead))
        return SI_SUCCESS;
    if (d->halted()) {
        d->recoverFromHalt();
        return SI_READ_ERROR;
    }
    return d->gone() ? SI_DEVICE_NOT_FOUND : SI_READ_TIMED_OUT;
}

SI_STATUS LibusbUsbXpress::SI_FlushBuffers(SI_HANDLE cyHandle, quint8 FlushTransmit, quint8 FlushReceive)
{
    SI_STATUS status = SI_SUCCESS;
    OpenDevice *d = present(cyHandle, status);
    if (!d)
        return status;
    int rc = LIBUSB_SUCCESS;
    if (FlushTransmit || FlushReceive)
        rc = libusb_control_transfer(d->handle(), RequestTypeVendorOut, RequestSetState, StateFlush, 0, nullptr, 0,
                                     ControlTimeoutMs);
    if (FlushReceive)
        d->received().clear();
    return rc < 0 ? UsbXpressStatus(rc, UsbDirection::Control) : SI_SUCCESS;
}
