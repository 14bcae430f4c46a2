#pragma once

#include "DeviceMatch.h"
#include "protocol/SIUSBXP.h"

#include <QList>
#include <QString>

#include <map>
#include <functional>
#include <memory>

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcUsb)

struct libusb_context;
struct libusb_device;

// What a test may watch of the link's inner moments; the program hands none.
struct LibusbObserver
{
    // Called on the event thread between its look at the stop flag and the
    // bulk IN resubmission, so a test can hold that moment open.
    std::function<void()> beforeResubmit;
};

// The USBXpress call failed in libusb with code; what the library would say.
enum class UsbDirection { Control, Read, Write };
SI_STATUS UsbXpressStatus(int libusbCode, UsbDirection direction);

// The USBXpress interface over libusb-1.0, for the journal's bridge chip on
// Linux. Devices are Silicon Labs bridge chips of the known product IDs with
// a vendor-specific interface of one bulk IN and one bulk OUT endpoint. An
// open device keeps a bulk IN transfer posted by an event thread, whose
// bytes wait in a receive buffer for SI_CheckRXQueue and SI_Read. A device
// that goes away makes every call report a non-zero status.
class LibusbUsbXpress final : public SIUSBXP
{
public:
    // ids: the devices to take (KnownUsbIds of the environment by default).
    explicit LibusbUsbXpress(QList<UsbId> ids = {}, LibusbObserver observer = {});
    ~LibusbUsbXpress() override;

    // Why libusb could not start, if it could not (then no device is listed).
    QString startError() const { return m_startError; }
    // Entries of EJOURNAL_USB_IDS that were not taken, and why.
    QStringList warnings() const { return m_warnings; }

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

private:
    struct Listed;
    class OpenDevice;

    void refreshList();
    SI_STATUS stringFromDevice(const Listed &l, quint8 flags, QByteArray &text);
    OpenDevice *find(SI_HANDLE handle);
    // The open device of a handle, if it is still attached; else the status to report.
    OpenDevice *present(SI_HANDLE handle, SI_STATUS &status);

    LibusbObserver m_observer;
    QStringList m_warnings; // before m_ids, which fills it
    QList<UsbId> m_ids;
    libusb_context *m_context = nullptr;
    QString m_startError;
    std::vector<Listed> m_devices;
    std::map<SI_HANDLE, std::unique_ptr<OpenDevice>> m_open;
    SI_HANDLE m_nextHandle = 1;
    quint32 m_readTimeoutMs = 1000;
    quint32 m_writeTimeoutMs = 1000;
};

// Tells the person starting program, on standard error, why libusb could not
// start and which EJOURNAL_USB_IDS entries were not taken.
void ReportUsbStartProblems(const LibusbUsbXpress &usb, const char *program);
