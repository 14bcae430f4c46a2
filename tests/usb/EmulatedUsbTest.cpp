#include "EmulatedBridgeChip.h"
#include "LibusbUsbXpress.h"

#include <gtest/gtest.h>

namespace {

TEST(EmulatedUsb, ListsAndOpens)
{
    EmulatedBridgeChip chip(SimulatorOptions{});
    LibusbUsbXpress usb;
    quint32 n = 0;
    ASSERT_EQ(usb.SI_GetNumDevices(&n), SI_SUCCESS);
    ASSERT_EQ(n, 1u);
    char text[SI_MAX_DEVICE_STRLEN];
    ASSERT_EQ(usb.SI_GetProductString(0, text, SI_RETURN_SERIAL_NUMBER), SI_SUCCESS);
    EXPECT_STREQ(text, "e_journal_v01");
    SI_HANDLE h = 0;
    ASSERT_EQ(usb.SI_Open(0, &h), SI_SUCCESS);
    const QByteArray req("\x05\x00\x01\x84\x00", 5);
    quint32 written = 0;
    ASSERT_EQ(usb.SI_Write(h, req.constData(), 5, &written), SI_SUCCESS);
    usb.SI_SetTimeouts(2000, 2000);
    char frame[255];
    quint32 got = 0;
    EXPECT_EQ(usb.SI_Read(h, frame, 255, &got), SI_SUCCESS);
    EXPECT_EQ(got, 255u);
    EXPECT_EQ(usb.SI_Close(h), SI_SUCCESS);
    for (auto &e : chip.events())
        printf("event %d %04x %s\n", e.kind, e.value, e.bytes.toHex().constData());
}

} // namespace
