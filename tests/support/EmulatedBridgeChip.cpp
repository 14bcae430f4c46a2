// GLib first: Qt's keyword macros (signals) would rewrite its headers.
#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include "EmulatedBridgeChip.h"

#include "simulator/AnswerFaults.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

// Where the chip sits on the bus; plugging another chip in takes the next
// port and address, as the kernel gives them.
struct BusAddress
{
    QByteArray sysPath;
    QByteArray devNode;
    int devnum;
};

BusAddress AddressAt(int port)
{
    const int devnum = port + 1;
    return {QByteArray("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-") + QByteArray::number(port),
            QByteArray("/dev/bus/usb/001/") + QByteArray::number(devnum).rightJustified(3, '0'), devnum};
}
constexpr quint8 BulkIn = 0x81;
constexpr quint8 BulkOut = 0x01;
constexpr int PacketSize = 64;

constexpr const char *Manufacturer = "Silicon Labs";
constexpr const char *Product = "USBXpress Device";

// The descriptors as the kernel keeps them in sysfs: device, then the
// configuration with one vendor interface and its two bulk endpoints; one
// descriptor a line, its fields apart.
// clang-format off
constexpr const char *Descriptors =
    "12010002000000" "40" "c410" "61ea" "0001" "010203" "01"
    "09022000010100" "8032"
    "090400000" "2ff000000"
    "07058102" "4000" "00"
    "07050102" "4000" "00";
// clang-format on

QByteArray StringDescriptor(const QByteArray &ascii)
{
    QByteArray d;
    d.append(char(2 + 2 * ascii.size()));
    d.append(char(3));
    for (char c : ascii) {
        d.append(c);
        d.append('\0');
    }
    return d;
}

} // namespace

struct EmulatedBridgeChip::State
{
    // One URB the host has submitted and not yet reaped.
    struct Urb
    {
        UMockdevIoctlClient *client = nullptr; // referenced
        UMockdevIoctlData *data = nullptr;     // referenced: the client's usbdevfs_urb
        quint8 type = 0;
        quint8 endpoint = 0;
        int length = 0;
        bool done = false; // completed by the device, waiting to be reaped
        bool discarded = false;
        int status = 0;
        int actual = 0;
    };

    // Bytes the chip has to send, one transmission a chunk.
    struct Chunk
    {
        Clock::time_point readyAt;
        QByteArray bytes;
    };

    explicit State(const SimulatorOptions &o) : options(o), random(o.faults.randomSeed), latency(o.faults.latencyUs)
    {
        makeJournal();
    }
    void makeJournal()
    {
        journalPtr = std::make_unique<SimulatedJournal>(options.seed, options.deviceType, options.documents);
        journalPtr->setEraseTimeUs(options.eraseTimeUs);
    }

    SimulatorOptions options;
    std::unique_ptr<SimulatedJournal> journalPtr;
    SimulatedJournal &journal() { return *journalPtr; }
    BusAddress bus = AddressAt(1);
    std::mt19937_64 random;
    std::chrono::microseconds latency;

    UMockdevTestbed *testbed = nullptr;
    UMockdevIoctlBase *handler = nullptr;
    QString rootDir;

    mutable std::mutex mutex;
    mutable std::condition_variable requestWritten;
    std::deque<Urb> urbs;
    std::deque<Chunk> transmit;
    QByteArray received; // bulk OUT bytes not yet a whole request
    std::vector<Event> events;
    int requests = 0;
    int inSubmits = 0;
    bool gone = false;
    bool halted = false;
    bool holdWrites = false;

    void addDevice();
    bool handle(UMockdevIoctlClient *client);
    void submit(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void reap(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void discard(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void control(Urb &urb, UMockdevIoctlData *buffer);
    void bulkOut(const QByteArray &packet);
    void answer(const QByteArray &request);
    bool fillIn(Urb &urb);
    static void release(Urb &urb);
    static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer state)
    {
        return static_cast<State *>(state)->handle(client);
    }
};

void EmulatedBridgeChip::State::addDevice()
{
    // The handler is in place before the node exists, so the device answers
    // as soon as libusb hears of it.
    GError *error = nullptr;
    const char *DevNode = bus.devNode.constData();
    const char *SysPath = bus.sysPath.constData();
    const QByteArray devnum = QByteArray::number(bus.devnum);
    if (!umockdev_testbed_attach_ioctl(testbed, DevNode, handler, &error)) {
        const QString why = QString::fromUtf8(error ? error->message : "unknown");
        g_clear_error(&error);
        throw std::runtime_error("umockdev: cannot attach the ioctl handler: " + why.toStdString());
    }
    const QByteArray record = QByteArray("P: ") + (SysPath + 4)
                              + "\n"
                                "N: "
                              + (DevNode + 5)
                              + "\n"
                                "E: SUBSYSTEM=usb\n"
                                "E: DEVTYPE=usb_device\n"
                                "E: DRIVER=usb\n"
                                "E: BUSNUM=001\n"
                                "E: DEVNUM="
                              + devnum.rightJustified(3, '0')
                              + "\n"
                                "E: DEVNAME="
                              + DevNode
                              + "\n"
                                "E: ID_VENDOR_ID=10c4\n"
                                "E: ID_MODEL_ID=ea61\n"
                                "A: busnum=1\\n\n"
                                "A: devnum="
                              + devnum
                              + "\\n\n"
                                "A: bConfigurationValue=1\\n\n"
                                "A: speed=12\\n\n"
                                "A: idVendor=10c4\\n\n"
                                "A: idProduct=ea61\\n\n"
                                "A: manufacturer="
                              + Manufacturer
                              + "\\n\n"
                                "A: product="
                              + Product
                              + "\\n\n"
                                "A: serial="
                              + JournalDeviceString
                              + "\\n\n"
                                "H: descriptors="
                              + Descriptors + "\n";
    if (!umockdev_testbed_add_from_string(testbed, record.constData(), &error)) {
        const QString why = QString::fromUtf8(error ? error->message : "unknown");
        g_clear_error(&error);
        throw std::runtime_error("umockdev: cannot add the bridge chip: " + why.toStdString());
    }
}

void EmulatedBridgeChip::State::release(Urb &urb)
{
    if (urb.data)
        umockdev_ioctl_data_unref(urb.data);
    if (urb.client)
        g_object_unref(urb.client);
    urb.data = nullptr;
    urb.client = nullptr;
}

bool EmulatedBridgeChip::State::handle(UMockdevIoctlClient *client)
{
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    std::unique_lock lock(mutex);

    if (gone) {
        // As the kernel does after a disconnect: URBs still in flight are
        // handed back with ESHUTDOWN, everything else fails with ENODEV.
        if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY)
            reap(client, arg);
        else
            umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *d = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
        *reinterpret_cast<guint32 *>(d->data) = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION
                                                | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        UMockdevIoctlData *d = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
        const auto number = quint16(*reinterpret_cast<unsigned int *>(d->data));
        events.push_back({request == USBDEVFS_CLAIMINTERFACE ? Event::Claim : Event::Release, number, {}});
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_DISCONNECT_CLAIM:
        events.push_back({Event::Claim, 0, {}});
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    case USBDEVFS_CLEAR_HALT: {
        UMockdevIoctlData *d = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
        const auto endpoint = quint16(*reinterpret_cast<unsigned int *>(d->data));
        events.push_back({Event::ClearHalt, endpoint, {}});
        if (endpoint == BulkIn)
            halted = false;
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_GETDRIVER:
        umockdev_ioctl_client_complete(client, -1, ENODATA); // no kernel driver bound
        return true;
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_SETCONFIGURATION:
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    case USBDEVFS_SUBMITURB:
        submit(client, arg);
        return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reap(client, arg);
        return true;
    case USBDEVFS_DISCARDURB:
        discard(client, arg);
        return true;
    default:
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return true;
    }
}

void EmulatedBridgeChip::State::submit(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    UMockdevIoctlData *data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    auto *u = reinterpret_cast<usbdevfs_urb *>(data->data);
    Urb urb;
    urb.client = static_cast<UMockdevIoctlClient *>(g_object_ref(client));
    urb.data = umockdev_ioctl_data_ref(data);
    urb.type = u->type;
    urb.endpoint = u->endpoint;
    urb.length = u->buffer_length;
    UMockdevIoctlData *buffer =
        urb.length > 0 ? umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer), gsize(urb.length), nullptr)
                       : nullptr;
    if (u->type == USBDEVFS_URB_TYPE_CONTROL) {
        control(urb, buffer);
    } else if (u->type == USBDEVFS_URB_TYPE_BULK && u->endpoint == BulkOut) {
        const QByteArray packet =
            buffer ? QByteArray(reinterpret_cast<const char *>(buffer->data), urb.length) : QByteArray();
        events.push_back({Event::BulkOut, 0, packet});
        if (!holdWrites) {
            bulkOut(packet);
            urb.done = true;
            urb.actual = urb.length;
        }
    } else if (u->type == USBDEVFS_URB_TYPE_BULK && u->endpoint == BulkIn) {
        ++inSubmits;
    } else {
        release(urb);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    urbs.push_back(urb);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedBridgeChip::State::control(Urb &urb, UMockdevIoctlData *buffer)
{
    urb.done = true;
    if (!buffer || urb.length < 8) {
        urb.status = -EPIPE;
        return;
    }
    auto *setup = reinterpret_cast<quint8 *>(buffer->data);
    const quint8 requestType = setup[0];
    const quint8 request = setup[1];
    const quint16 value = quint16(setup[2] | setup[3] << 8);
    const quint16 wanted = quint16(setup[6] | setup[7] << 8);
    if (requestType == 0x40 && request == 0x02) {
        events.push_back({Event::Vendor, value, {}});
        if (value == 0x0001) // flush: what the chip had to send is gone
            transmit.clear();
        return;
    }
    if (requestType == 0x80 && request == 0x06 && (value >> 8) == 0x03) {
        const int index = value & 0xFF;
        const QByteArray d = index == 0   ? QByteArray("\x04\x03\x09\x04", 4)
                             : index == 1 ? StringDescriptor(Manufacturer)
                             : index == 2 ? StringDescriptor(Product)
                             : index == 3 ? StringDescriptor(JournalDeviceString)
                                          : QByteArray();
        if (d.isEmpty()) {
            urb.status = -EPIPE;
            return;
        }
        const int n = std::min<int>({int(d.size()), int(wanted), urb.length - 8});
        std::memcpy(setup + 8, d.constData(), std::size_t(n));
        urb.actual = n;
        return;
    }
    urb.status = -EPIPE; // what a chip does with a request it does not know
}

void EmulatedBridgeChip::State::bulkOut(const QByteArray &packet)
{
    received.append(packet);
    // A request says its own length in its first byte.
    while (!received.isEmpty() && received.size() >= quint8(received[0])) {
        const int n = quint8(received[0]);
        if (n == 0) {
            received.clear();
            break;
        }
        answer(received.left(n));
        received.remove(0, n);
    }
}

void EmulatedBridgeChip::State::answer(const QByteArray &request)
{
    ++requests;
    requestWritten.notify_all();
    const std::optional<WireAnswer> answer = AnswerOnTheWire(
        journal().handle(request), options.faults.scriptedFor(quint64(requests)), latency.count(), random);
    if (!answer)
        return;
    transmit.push_back(Chunk{Clock::now() + std::chrono::microseconds(answer->delayUs), answer->bytes});
}

bool EmulatedBridgeChip::State::fillIn(Urb &urb)
{
    if (halted) {
        urb.status = -EPIPE;
        return true;
    }
    if (transmit.empty() || transmit.front().readyAt > Clock::now())
        return false;
    // The chip sends its transmission in 64-byte packets; the short last one
    // ends the URB, as does a full buffer.
    Chunk &c = transmit.front();
    const int room = urb.length - urb.length % PacketSize;
    const int n = std::min<int>(int(c.bytes.size()), room > 0 ? room : urb.length);
    UMockdevIoctlData *buffer =
        umockdev_ioctl_data_resolve(urb.data, offsetof(usbdevfs_urb, buffer), gsize(urb.length), nullptr);
    std::memcpy(buffer->data, c.bytes.constData(), std::size_t(n));
    c.bytes.remove(0, n);
    if (c.bytes.isEmpty())
        transmit.pop_front();
    urb.actual = n;
    urb.status = 0;
    return true;
}

void EmulatedBridgeChip::State::reap(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    for (auto it = urbs.begin(); it != urbs.end(); ++it) {
        if (it->client != client)
            continue;
        Urb &urb = *it;
        if (gone && !urb.discarded) {
            urb.status = -ESHUTDOWN;
            urb.actual = 0;
            urb.done = true;
        }
        const bool ready =
            urb.discarded || urb.done || (urb.type == USBDEVFS_URB_TYPE_BULK && urb.endpoint == BulkIn && fillIn(urb));
        if (!ready)
            continue;
        auto *u = reinterpret_cast<usbdevfs_urb *>(urb.data->data);
        u->status = urb.discarded ? -ENOENT : urb.status;
        u->actual_length = urb.discarded ? 0 : urb.actual;
        UMockdevIoctlData *pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
        umockdev_ioctl_data_set_ptr(pointer, 0, urb.data);
        Urb taken = urb;
        urbs.erase(it);
        umockdev_ioctl_client_complete(client, 0, 0);
        release(taken);
        return;
    }
    umockdev_ioctl_client_complete(client, -1, gone ? ENODEV : EAGAIN);
}

void EmulatedBridgeChip::State::discard(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    const gulong address = *reinterpret_cast<gulong *>(arg->data);
    for (Urb &urb : urbs) {
        if (urb.client == client && urb.data->client_addr == address && !urb.done) {
            urb.discarded = true;
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

EmulatedBridgeChip::EmulatedBridgeChip(const SimulatorOptions &options) : m_state(std::make_unique<State>(options))
{
    if (!qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("libumockdev-preload")))
        throw std::runtime_error("the emulated bridge chip needs libumockdev-preload (run under umockdev-wrapper)");
    m_state->testbed = umockdev_testbed_new();
    gchar *root = umockdev_testbed_get_root_dir(m_state->testbed);
    m_state->rootDir = QString::fromUtf8(root);
    g_free(root);
    m_state->handler = umockdev_ioctl_base_new();
    g_signal_connect(m_state->handler, "handle-ioctl", G_CALLBACK(State::onIoctl), m_state.get());
    m_state->addDevice();
}

EmulatedBridgeChip::~EmulatedBridgeChip()
{
    {
        const std::lock_guard lock(m_state->mutex);
        for (State::Urb &urb : m_state->urbs)
            State::release(urb);
        m_state->urbs.clear();
    }
    g_clear_object(&m_state->testbed);
    g_clear_object(&m_state->handler);
}

SimulatedJournal &EmulatedBridgeChip::journal()
{
    return m_state->journal();
}

QString EmulatedBridgeChip::deviceNode() const
{
    return QString::fromLatin1(m_state->bus.devNode);
}

QString EmulatedBridgeChip::deviceNodeFile() const
{
    return m_state->rootDir + QString::fromLatin1(m_state->bus.devNode);
}

void EmulatedBridgeChip::unplug()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->gone = true;
        m_state->transmit.clear();
        m_state->received.clear();
    }
    umockdev_testbed_remove_device(m_state->testbed, m_state->bus.sysPath.constData());
}

void EmulatedBridgeChip::plugIn()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->gone = false;
        m_state->halted = false;
    }
    umockdev_testbed_detach_ioctl(m_state->testbed, m_state->bus.devNode.constData(), nullptr);
    m_state->addDevice();
}

void EmulatedBridgeChip::plugInAnother(const SimulatorOptions &options)
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->gone = false;
        m_state->halted = false;
        m_state->options = options;
        m_state->requests = 0;
        m_state->makeJournal();
    }
    umockdev_testbed_detach_ioctl(m_state->testbed, m_state->bus.devNode.constData(), nullptr);
    m_state->bus = AddressAt(m_state->bus.devnum);
    m_state->addDevice();
}

void EmulatedBridgeChip::stallIn()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->halted = true;
}

void EmulatedBridgeChip::holdWrites(bool hold)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->holdWrites = hold;
}

void EmulatedBridgeChip::setLatency(std::chrono::microseconds latency)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->latency = latency;
}

std::vector<EmulatedBridgeChip::Event> EmulatedBridgeChip::events() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->events;
}

int EmulatedBridgeChip::requestCount() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

int EmulatedBridgeChip::inSubmitCount() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->inSubmits;
}

bool EmulatedBridgeChip::inHalted() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->halted;
}

bool EmulatedBridgeChip::waitForRequests(int n, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->requestWritten.wait_for(lock, timeout, [&] { return m_state->requests >= n; });
}
