#include "platform/usbxpress/DeviceMatch.h"
#include "platform/usbxpress/LibusbUsbXpress.h"
#include "platform/usbxpress/ReceiveBuffer.h"

#include <libusb.h>

#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(UsbIds, BuiltInListExtendedFromTheEnvironment)
{
    QStringList warnings;
    const QList<UsbId> ids = KnownUsbIds(QStringLiteral("10c4:ea60, 1a86:7523,bogus,10C4:EA61,12345:1,:"), &warnings);
    EXPECT_EQ(ids, (QList<UsbId>{{0x10C4, 0xEA61}, {0x10C4, 0xEA60}, {0x1A86, 0x7523}}));
    EXPECT_EQ(warnings.size(), 3);
    EXPECT_TRUE(warnings[0].contains(QLatin1String("\"bogus\"")));
    EXPECT_EQ(KnownUsbIds(QString()), (QList<UsbId>{{0x10C4, 0xEA61}}));
}

TEST(UsbIds, OnlyAVendorInterfaceWithOneBulkPairIsTaken)
{
    const EndpointInfo bulkIn{0x81, 0x02, 64}, bulkOut{0x01, 0x02, 64}, interruptIn{0x82, 0x03, 8},
        bulkIn2{0x83, 0x02, 64};
    struct Case
    {
        const char *name;
        InterfaceInfo interface;
        bool taken;
    };
    const Case cases[] = {
        {"usbxpress", {0, 0xFF, {bulkIn, bulkOut}}, true},
        {"with an interrupt endpoint too", {1, 0xFF, {interruptIn, bulkOut, bulkIn}}, true},
        {"mass storage class", {0, 0x08, {bulkIn, bulkOut}}, false},
        {"no OUT", {0, 0xFF, {bulkIn}}, false},
        {"two IN", {0, 0xFF, {bulkIn, bulkIn2, bulkOut}}, false},
    };
    for (const auto &c : cases) {
        const auto pair = UsbXpressEndpoints(c.interface);
        EXPECT_EQ(pair.has_value(), c.taken) << c.name;
        if (pair) {
            EXPECT_EQ(pair->in, 0x81) << c.name;
            EXPECT_EQ(pair->out, 0x01) << c.name;
            EXPECT_EQ(pair->outMaxPacket, 64) << c.name;
            EXPECT_EQ(pair->interfaceNumber, c.interface.number) << c.name;
        }
    }
}

TEST(UsbXpressStatus, MapsLibusbErrorsToUsbXpressCodes)
{
    const std::tuple<int, UsbDirection, SI_STATUS> cases[] = {
        {LIBUSB_SUCCESS, UsbDirection::Write, SI_SUCCESS},
        {LIBUSB_ERROR_NO_DEVICE, UsbDirection::Read, SI_DEVICE_NOT_FOUND},
        {LIBUSB_ERROR_TIMEOUT, UsbDirection::Read, SI_READ_TIMED_OUT},
        {LIBUSB_ERROR_TIMEOUT, UsbDirection::Write, SI_WRITE_TIMED_OUT},
        {LIBUSB_ERROR_PIPE, UsbDirection::Write, SI_WRITE_ERROR},
        {LIBUSB_ERROR_IO, UsbDirection::Read, SI_READ_ERROR},
        {LIBUSB_ERROR_ACCESS, UsbDirection::Control, SI_DEVICE_IO_FAILED},
        {LIBUSB_ERROR_INVALID_PARAM, UsbDirection::Control, SI_INVALID_PARAMETER},
    };
    for (const auto &[code, direction, status] : cases)
        EXPECT_EQ(UsbXpressStatus(code, direction), status) << code;
}

TEST(ReceiveBuffer, ReadWaitsForTheWholeFrameArrivingInPieces)
{
    ReceiveBuffer buffer;
    std::thread usb([&] {
        const QByteArray frame(255, 'f');
        for (int at = 0; at < 255; at += 64) {
            std::this_thread::sleep_for(2ms);
            buffer.deliver(frame.constData() + at, qMin(64, 255 - at));
        }
        buffer.deliver("next", 4);
    });
    const QByteArray got = buffer.take(255, 5000ms);
    usb.join();
    EXPECT_EQ(got, QByteArray(255, 'f'));
    EXPECT_EQ(buffer.available(), 4) << "the bytes of the next frame stay";
}

TEST(ReceiveBuffer, TimeOutFlushOverrunAndClose)
{
    ReceiveBuffer buffer;
    buffer.deliver("abc", 3);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(buffer.take(255, 30ms), QByteArray("abc")) << "what came, after the time-out";
    EXPECT_GE(std::chrono::steady_clock::now() - before, 30ms);

    buffer.deliver("xyz", 3);
    buffer.clear();
    EXPECT_EQ(buffer.available(), 0);

    const QByteArray lots(ReceiveBuffer::Capacity + 100, 'L');
    buffer.deliver(lots.constData(), lots.size());
    EXPECT_EQ(buffer.available(), ReceiveBuffer::Capacity);
    EXPECT_TRUE(buffer.overrun());
    buffer.clear();
    EXPECT_FALSE(buffer.overrun());

    // A vanished device wakes a waiting reader at once.
    std::thread gone([&] {
        std::this_thread::sleep_for(10ms);
        buffer.close();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(buffer.take(255, 10s).isEmpty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    gone.join();
}

TEST(LibusbUsbXpress, ListsNothingWhereNoBridgeIsAttached)
{
    // The test machines have no journal attached (and may have no USB at all).
    LibusbUsbXpress usb(QList<UsbId>{{0x10C4, 0xEA61}});
    quint32 count = 99;
    EXPECT_EQ(usb.SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 0u);
    char text[SI_MAX_DEVICE_STRLEN];
    EXPECT_EQ(usb.SI_GetProductString(0, text, SI_RETURN_SERIAL_NUMBER), SI_DEVICE_NOT_FOUND);
    SI_HANDLE handle = 0;
    EXPECT_EQ(usb.SI_Open(0, &handle), SI_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    quint32 n = 0, s = 0;
    EXPECT_EQ(usb.SI_CheckRXQueue(7, &n, &s), SI_INVALID_HANDLE);
    EXPECT_EQ(usb.SI_Read(7, text, 255, &n), SI_INVALID_HANDLE);
    EXPECT_EQ(usb.SI_Write(7, text, 5, &n), SI_INVALID_HANDLE);
    EXPECT_EQ(usb.SI_Close(7), SI_INVALID_HANDLE);
    EXPECT_EQ(usb.SI_GetNumDevices(nullptr), SI_INVALID_PARAMETER);
    EXPECT_EQ(usb.SI_SetTimeouts(10000, 10000), SI_SUCCESS);
}

} // namespace
