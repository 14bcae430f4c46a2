#include "DeviceLink.h"

#include <QCoreApplication>

#include "UserPort.h"

#include <array>
#include <optional>

QString ErrMsgText(int ErrType)
{
    switch (ErrType) {
    case ErrTimeout:
        return QCoreApplication::translate("ejournal", "Communication timeout (no responce from device)");
    case ErrDocumentOutOfRange:
        return QCoreApplication::translate("ejournal", "Document number is out of range");
    case ErrNoCommunication:
        return QCoreApplication::translate("ejournal", "No communication with device");
    case ErrOtherDevice:
        return QCoreApplication::translate("ejournal", "Find other device");
    case ErrNoDevice:
        return QCoreApplication::translate("ejournal", "No device found");
    case ErrWrite:
        return QCoreApplication::translate("ejournal", "Error writing to USB");
    case ErrRead:
        return QCoreApplication::translate("ejournal", "Error reading from USB");
    case ErrPacketLength:
        return QCoreApplication::translate("ejournal", "Invalid packet length");
    default:
        return {};
    }
}

void ErrMsg(StatusPort &status, int ErrType)
{
    const QString text = ErrMsgText(ErrType);
    if (text.isEmpty()) {
        status.clearErrorLabel();
        status.hideErrorLabel();
    } else {
        status.showErrorLabel(text);
    }
}

namespace {

// The device's string, one character per byte, up to the first zero byte or
// the whole buffer.
QString productString(SIUSBXP &usb, quint32 index)
{
    std::array<char, SI_MAX_DEVICE_STRLEN> buffer{};
    usb.SI_GetProductString(index, buffer.data(), SI_RETURN_SERIAL_NUMBER);
    return QString::fromLatin1(buffer.data(), qsizetype(qstrnlen(buffer.data(), uint(buffer.size()))));
}

} // namespace

void FindConnectDevice(SIUSBXP &usb, SI_HANDLE &DevHandle, MessagePort &messages, StatusPort &status)
{
    quint32 count = 0;
    if (usb.SI_GetNumDevices(&count) != SI_SUCCESS) {
        ErrMsg(status, ErrNoDevice);
        return;
    }

    // Open the device that answered with the journal's string, not simply the
    // first one: with other USBXpress devices attached they differ.
    std::optional<quint32> journalIndex;
    QString deviceText;
    for (quint32 i = 0; i < count && !journalIndex; ++i) {
        deviceText = productString(usb, i);
        if (deviceText == QLatin1String(JournalDeviceString))
            journalIndex = i;
    }

    if (journalIndex) {
        usb.SI_SetTimeouts(LinkReadTimeoutMs, LinkWriteTimeoutMs);
        SI_HANDLE handle = 0;
        if (usb.SI_Open(*journalIndex, &handle) != SI_SUCCESS || handle == 0) {
            messages.messageBox(MessagePort::Box::Error,
                                QCoreApplication::translate("ejournal", "Error opening device: ") + deviceText
                                    + QCoreApplication::translate("ejournal", ". Reset hardware and try again."));
            ErrMsg(status, ErrNoCommunication);
            return;
        }
        DevHandle = handle;
        status.clearErrorLabel();
    } else if (count > 0) {
        messages.messageBox(MessagePort::Box::Error, QCoreApplication::translate("ejournal", "Found other device"));
        ErrMsg(status, ErrOtherDevice);
    }
}

void CloseDevice(SIUSBXP &usb, SI_HANDLE &DevHandle)
{
    if (DevHandle != 0)
        usb.SI_Close(DevHandle);
    DevHandle = 0;
}
