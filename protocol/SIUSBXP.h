#pragma once

#include <QByteArray>

// The nine USBXpress functions the journal link uses, as an interface: the
// libusb backend drives real bridge chips behind it, the simulated journal
// answers behind it in tests and demos, and nothing above it can tell which.

using SI_STATUS = int;
using SI_HANDLE = quintptr; // 0: no device open

// USBXpress status codes.
enum : SI_STATUS {
    SI_SUCCESS = 0x00,
    SI_INVALID_HANDLE = 0x01,
    SI_READ_ERROR = 0x02,
    SI_RX_QUEUE_NOT_READY = 0x03,
    SI_WRITE_ERROR = 0x04,
    SI_RESET_ERROR = 0x05,
    SI_INVALID_PARAMETER = 0x06,
    SI_INVALID_REQUEST_LENGTH = 0x07,
    SI_DEVICE_IO_FAILED = 0x08,
    SI_INVALID_BAUDRATE = 0x09,
    SI_FUNCTION_NOT_SUPPORTED = 0x0A,
    SI_GLOBAL_DATA_ERROR = 0x0B,
    SI_SYSTEM_ERROR_CODE = 0x0C,
    SI_READ_TIMED_OUT = 0x0D,
    SI_WRITE_TIMED_OUT = 0x0E,
    SI_IO_PENDING = 0x0F,
    SI_DEVICE_NOT_FOUND = 0xFF,
};

// SI_GetProductString flags.
enum : quint8 {
    SI_RETURN_SERIAL_NUMBER = 0x00,
    SI_RETURN_DESCRIPTION = 0x01,
    SI_RETURN_LINK_NAME = 0x02,
    SI_RETURN_VID = 0x03,
    SI_RETURN_PID = 0x04,
};

// SI_CheckRXQueue queue status bits.
enum : quint32 {
    SI_RX_EMPTY = 0x00,
    SI_RX_OVERRUN = 0x01,
    SI_RX_READY = 0x02,
};

constexpr int SI_MAX_DEVICE_STRLEN = 256;

// Puts a device string into a caller's SI_MAX_DEVICE_STRLEN buffer, cut to
// fit and ended by a zero byte.
inline void CopyDeviceString(const QByteArray &text, char *buffer)
{
    // qstrncpy copies at most the size less one and always ends the text.
    qstrncpy(buffer, text.constData(), SI_MAX_DEVICE_STRLEN);
}

class SIUSBXP
{
public:
    virtual ~SIUSBXP() = default;

    virtual SI_STATUS SI_GetNumDevices(quint32 *lpdwNumDevices) = 0;
    // deviceString has room for SI_MAX_DEVICE_STRLEN bytes.
    virtual SI_STATUS SI_GetProductString(quint32 dwDeviceNum, char *deviceString, quint8 dwFlags) = 0;
    virtual SI_STATUS SI_Open(quint32 dwDevice, SI_HANDLE *cyHandle) = 0;
    virtual SI_STATUS SI_Close(SI_HANDLE cyHandle) = 0;
    // Waits up to the read time-out for the bytes asked for.
    virtual SI_STATUS SI_Read(SI_HANDLE cyHandle, void *lpBuffer, quint32 dwBytesToRead,
                              quint32 *lpdwBytesReturned) = 0;
    virtual SI_STATUS SI_Write(SI_HANDLE cyHandle, const void *lpBuffer, quint32 dwBytesToWrite,
                               quint32 *lpdwBytesWritten) = 0;
    virtual SI_STATUS SI_FlushBuffers(SI_HANDLE cyHandle, quint8 FlushTransmit, quint8 FlushReceive) = 0;
    virtual SI_STATUS SI_SetTimeouts(quint32 dwReadTimeout, quint32 dwWriteTimeout) = 0;
    virtual SI_STATUS SI_CheckRXQueue(SI_HANDLE cyHandle, quint32 *lpdwNumBytesInQueue, quint32 *lpdwQueueStatus) = 0;
};
