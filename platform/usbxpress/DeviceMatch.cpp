#include "DeviceMatch.h"

#include <QStringList>

QList<UsbId> KnownUsbIds(const QString &environmentValue, QStringList *warnings)
{
    QList<UsbId> ids{{SiliconLabsVendorId, UsbXpressDefaultProductId}};
    for (const QString &raw : environmentValue.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString entry = raw.trimmed();
        const QStringList parts = entry.split(QLatin1Char(':'));
        bool okVendor = false, okProduct = false;
        const uint vendor = parts.size() == 2 ? parts[0].toUInt(&okVendor, 16) : 0;
        const uint product = parts.size() == 2 ? parts[1].toUInt(&okProduct, 16) : 0;
        if (!okVendor || !okProduct || vendor > 0xFFFF || product > 0xFFFF) {
            if (warnings)
                *warnings
                    << QStringLiteral("EJOURNAL_USB_IDS: \"%1\" is not vid:pid in hexadecimal, ignored").arg(entry);
            continue;
        }
        const UsbId id{quint16(vendor), quint16(product)};
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

std::optional<BulkPair> UsbXpressEndpoints(const InterfaceInfo &interface)
{
    if (interface.interfaceClass != 0xFF)
        return std::nullopt;
    BulkPair pair;
    pair.interfaceNumber = interface.number;
    int ins = 0, outs = 0;
    for (const EndpointInfo &e : interface.endpoints) {
        if ((e.attributes & 0x03) != 0x02)
            continue;
        if (e.address & 0x80) {
            pair.in = e.address;
            ++ins;
        } else {
            pair.out = e.address;
            pair.outMaxPacket = e.maxPacketSize ? e.maxPacketSize : 64;
            ++outs;
        }
    }
    if (ins != 1 || outs != 1)
        return std::nullopt;
    return pair;
}
