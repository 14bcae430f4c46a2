#pragma once

#include "protocol/SIUSBXP.h"

#include <cstdio>

// Passes every call through to the real backend and writes each request and
// each answer frame to a stream, one line a frame: "> " and the request's
// bytes, "< " and the bytes read, as upper-case hex.
class TracingUsb final : public SIUSBXP
{
public:
    TracingUsb(SIUSBXP &inner, FILE *out) : m_inner(inner), m_out(out) {}

    SI_STATUS SI_GetNumDevices(quint32 *n) override { return m_inner.SI_GetNumDevices(n); }
    SI_STATUS SI_GetProductString(quint32 i, char *s, quint8 f) override
    {
        return m_inner.SI_GetProductString(i, s, f);
    }
    SI_STATUS SI_Open(quint32 i, SI_HANDLE *h) override { return m_inner.SI_Open(i, h); }
    SI_STATUS SI_Close(SI_HANDLE h) override { return m_inner.SI_Close(h); }
    SI_STATUS SI_Read(SI_HANDLE h, void *b, quint32 n, quint32 *got) override;
    SI_STATUS SI_Write(SI_HANDLE h, const void *b, quint32 n, quint32 *written) override;
    SI_STATUS SI_FlushBuffers(SI_HANDLE h, quint8 t, quint8 r) override { return m_inner.SI_FlushBuffers(h, t, r); }
    SI_STATUS SI_SetTimeouts(quint32 r, quint32 w) override { return m_inner.SI_SetTimeouts(r, w); }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE h, quint32 *n, quint32 *s) override { return m_inner.SI_CheckRXQueue(h, n, s); }

private:
    void line(char direction, const void *bytes, quint32 count);

    SIUSBXP &m_inner;
    FILE *m_out;
};
