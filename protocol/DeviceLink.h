#pragma once

#include "SIUSBXP.h"

#include <QString>

class MessagePort;
class StatusPort;

inline constexpr const char *JournalDeviceString = "e_journal_v01";
constexpr quint32 LinkReadTimeoutMs = 10000;
constexpr quint32 LinkWriteTimeoutMs = 10000;

// Error codes shown on the error label; the device sends the same numbers in
// its error frames.
enum LinkError : int {
    ErrTimeout = 2,
    ErrDocumentOutOfRange = 3,
    ErrNoCommunication = 4,
    ErrOtherDevice = 5,
    ErrNoDevice = 6,
    ErrWrite = 7,
    ErrRead = 8,
    ErrPacketLength = 9,
};

// The label text of an error code; empty for codes without one.
QString ErrMsgText(int ErrType);

// Shows the code's text on the error label, or empties and hides the label.
void ErrMsg(StatusPort &status, int ErrType);

// Looks for the device that calls itself "e_journal_v01" and opens it into
// DevHandle; reports what it met in a box and on the error label.
void FindConnectDevice(SIUSBXP &usb, SI_HANDLE &DevHandle, MessagePort &messages, StatusPort &status);

// Closes the open device, if any, and forgets its handle.
void CloseDevice(SIUSBXP &usb, SI_HANDLE &DevHandle);
