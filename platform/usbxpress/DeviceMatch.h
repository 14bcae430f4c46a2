#pragma once

#include <QList>
#include <QString>

#include <optional>

// Which USB devices the journal link takes for a USBXpress bridge chip.

constexpr quint16 SiliconLabsVendorId = 0x10C4;
constexpr quint16 UsbXpressDefaultProductId = 0xEA61;

struct UsbId
{
    quint16 vendor = 0;
    quint16 product = 0;
    bool operator==(const UsbId &) const = default;
};

// The built-in list, extended by EJOURNAL_USB_IDS ("vid:pid,vid:pid", hex).
// A malformed entry is skipped and named in warnings.
QList<UsbId> KnownUsbIds(const QString &environmentValue, QStringList *warnings = nullptr);

// One endpoint of an interface, as its descriptor gives it.
struct EndpointInfo
{
    quint8 address = 0;    // bit 7 set: IN
    quint8 attributes = 0; // bits 0..1: transfer type, 2 = bulk
    quint16 maxPacketSize = 0;
};

struct InterfaceInfo
{
    quint8 number = 0;
    quint8 interfaceClass = 0; // 0xFF: vendor-specific
    QList<EndpointInfo> endpoints;
};

// The bulk endpoints of a USBXpress interface.
struct BulkPair
{
    quint8 interfaceNumber = 0;
    quint8 in = 0;
    quint8 out = 0;
    quint16 outMaxPacket = 64;
};

// A vendor-specific interface with exactly one bulk IN and one bulk OUT
// endpoint; nothing for any other interface.
std::optional<BulkPair> UsbXpressEndpoints(const InterfaceInfo &interface);
