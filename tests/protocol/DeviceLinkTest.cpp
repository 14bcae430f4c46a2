#include "protocol/DeviceLink.h"
#include "tests/support/RecordingPort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A USBXpress library with scripted devices.
class ScriptedUsb final : public SIUSBXP
{
public:
    SI_STATUS numStatus = SI_SUCCESS;
    std::vector<QByteArray> strings;
    bool openFails = false;
    std::vector<quint32> opened;
    int timeoutsSet = 0;
    int closes = 0;

    SI_STATUS SI_GetNumDevices(quint32 *n) override
    {
        *n = numStatus == SI_SUCCESS ? quint32(strings.size()) : 0;
        return numStatus;
    }
    SI_STATUS SI_GetProductString(quint32 i, char *s, quint8) override
    {
        const QByteArray &t = strings.at(i);
        // Fill the whole buffer when the string is that long: no terminator.
        std::memcpy(s, t.constData(), std::size_t(qMin<qsizetype>(t.size() + 1, SI_MAX_DEVICE_STRLEN)));
        return SI_SUCCESS;
    }
    SI_STATUS SI_Open(quint32 i, SI_HANDLE *h) override
    {
        opened.push_back(i);
        if (openFails)
            return SI_DEVICE_IO_FAILED;
        *h = 0x100 + i;
        return SI_SUCCESS;
    }
    SI_STATUS SI_Close(SI_HANDLE) override
    {
        ++closes;
        return SI_SUCCESS;
    }
    SI_STATUS SI_Read(SI_HANDLE, void *, quint32, quint32 *) override { return SI_READ_ERROR; }
    SI_STATUS SI_Write(SI_HANDLE, const void *, quint32, quint32 *) override { return SI_WRITE_ERROR; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, quint8, quint8) override { return SI_SUCCESS; }
    SI_STATUS SI_SetTimeouts(quint32 r, quint32 w) override
    {
        EXPECT_EQ(r, 10000u);
        EXPECT_EQ(w, 10000u);
        ++timeoutsSet;
        return SI_SUCCESS;
    }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, quint32 *, quint32 *) override { return SI_INVALID_HANDLE; }
};

struct DiscoveryCase
{
    const char *name;
    SI_STATUS numStatus;
    std::vector<QByteArray> strings;
    bool openFails;
    SI_HANDLE handle;   // after discovery
    QStringList events; // what the user saw
};

TEST(FindConnectDevice, ReportsWhatItMeets)
{
    const QByteArray journal("e_journal_v01");
    // One case a line.
    // clang-format off
    const DiscoveryCase cases[] = {
        {"nothing attached", SI_SUCCESS, {}, false, 0, {}},
        {"library fails", SI_DEVICE_NOT_FOUND, {journal}, false, 0, {"label: No device found"}},
        {"journal attached", SI_SUCCESS, {journal}, false, 0x100, {}},
        {"last character differs", SI_SUCCESS, {"e_journal_v02"}, false, 0,
         {"error box: Found other device", "label: Find other device"}},
        {"case differs", SI_SUCCESS, {"E_journal_v01"}, false, 0,
         {"error box: Found other device", "label: Find other device"}},
        {"longer string", SI_SUCCESS, {"e_journal_v012"}, false, 0,
         {"error box: Found other device", "label: Find other device"}},
        {"open fails", SI_SUCCESS, {journal}, true, 0,
         {"error box: Error opening device: e_journal_v01. Reset hardware and try again.",
          "label: No communication with device"}},
        // Another device listed first: the journal's own index is opened.
        {"journal second", SI_SUCCESS, {"CP2102 bridge", journal}, false, 0x101, {}},
        {"string fills the buffer", SI_SUCCESS, {QByteArray(256, 'e')}, false, 0,
         {"error box: Found other device", "label: Find other device"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        ScriptedUsb usb;
        usb.numStatus = c.numStatus;
        usb.strings = c.strings;
        usb.openFails = c.openFails;
        RecordingPort port;
        SI_HANDLE handle = 0;
        FindConnectDevice(usb, handle, port, port);
        EXPECT_EQ(handle, c.handle) << c.name;
        EXPECT_EQ(port.events, c.events) << c.name;
        EXPECT_EQ(usb.timeoutsSet, int(usb.opened.size())) << c.name << ": time-outs before every open";
    }
}

TEST(FindConnectDevice, SuccessfulOpenEmptiesTheLabel)
{
    ScriptedUsb usb;
    usb.strings = {"e_journal_v01"};
    RecordingPort port;
    port.showErrorLabel(QStringLiteral("No device found"));
    SI_HANDLE handle = 0;
    FindConnectDevice(usb, handle, port, port);
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(port.labelText.isEmpty());
    EXPECT_TRUE(port.labelVisible) << "emptied, not hidden";
}

TEST(ErrMsg, ShowsTheTableTextOrHidesTheLabel)
{
    const std::pair<int, const char *> shown[] = {
        {2, "Communication timeout (no responce from device)"},
        {3, "Document number is out of range"},
        {4, "No communication with device"},
        {5, "Find other device"},
        {6, "No device found"},
        {7, "Error writing to USB"},
        {8, "Error reading from USB"},
        {9, "Invalid packet length"},
    };
    for (const auto &[code, text] : shown) {
        RecordingPort port;
        ErrMsg(port, code);
        EXPECT_TRUE(port.labelVisible) << code;
        EXPECT_EQ(port.labelText, QString::fromLatin1(text)) << code;
    }
    for (int code : {-1, 0, 1, 10, 255}) {
        RecordingPort port;
        port.showErrorLabel(QStringLiteral("old"));
        ErrMsg(port, code);
        EXPECT_FALSE(port.labelVisible) << code;
        EXPECT_TRUE(port.labelText.isEmpty()) << code;
    }
}

TEST(CloseDevice, ClosesOnceAndForgetsTheHandle)
{
    ScriptedUsb usb;
    SI_HANDLE handle = 0x100;
    CloseDevice(usb, handle);
    CloseDevice(usb, handle);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(usb.closes, 1);
}

} // namespace
