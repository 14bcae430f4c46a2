#include "Functions.h"

#include "protocol/CodecErrors.h"
#include "protocol/Codecs.h"

#include <string>

namespace {

thread_local std::string lastError;

} // namespace

extern "C" {

uint16_t SwpEndianW(int32_t value)
{
    return Codecs::SwpEndianW(quint16(value));
}

EjDate DecodeDateVuze(int32_t word)
{
    lastError.clear();
    try {
        const QDate d = Codecs::DecodeDateVuze(quint16(word));
        return EjDate{d.year(), d.month(), d.day(), 1};
    } catch (const CodecError &e) {
        lastError = e.what();
        return EjDate{0, 0, 0, 0};
    }
}

EjTime DecodeTimeVuze(int32_t word)
{
    lastError.clear();
    const QTime t = Codecs::DecodeTimeVuze(quint16(word));
    return EjTime{t.hour(), t.minute(), t.second()};
}

const char *FunctionsLastError(void)
{
    return lastError.c_str();
}

} // extern "C"
