#include "TracingUsb.h"

#include <string>

void TracingUsb::line(char direction, const void *bytes, quint32 count)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string text(1, direction);
    const auto *p = static_cast<const unsigned char *>(bytes);
    for (quint32 i = 0; i < count; ++i) {
        text += ' ';
        text += Hex[p[i] >> 4];
        text += Hex[p[i] & 0x0F];
    }
    text += '\n';
    std::fputs(text.c_str(), m_out);
}

SI_STATUS TracingUsb::SI_Read(SI_HANDLE h, void *b, quint32 n, quint32 *got)
{
    const SI_STATUS status = m_inner.SI_Read(h, b, n, got);
    if (got && *got > 0)
        line('<', b, *got);
    return status;
}

SI_STATUS TracingUsb::SI_Write(SI_HANDLE h, const void *b, quint32 n, quint32 *written)
{
    line('>', b, n);
    return m_inner.SI_Write(h, b, n, written);
}
