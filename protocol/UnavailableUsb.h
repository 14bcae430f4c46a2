#pragma once

#include "SIUSBXP.h"

// A USB link that lists no device: what a program sees where no backend can
// reach the bus.
class UnavailableUsb final : public SIUSBXP
{
public:
    SI_STATUS SI_GetNumDevices(quint32 *n) override
    {
        if (!n)
            return SI_INVALID_PARAMETER;
        *n = 0;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(quint32, char *, quint8) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS SI_Open(quint32, SI_HANDLE *) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS SI_Close(SI_HANDLE) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_Read(SI_HANDLE, void *, quint32, quint32 *) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_Write(SI_HANDLE, const void *, quint32, quint32 *) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, quint8, quint8) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_SetTimeouts(quint32, quint32) override { return SI_SUCCESS; }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, quint32 *, quint32 *) override { return SI_INVALID_HANDLE; }
};
