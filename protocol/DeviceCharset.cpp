#include "DeviceCharset.h"

#include <array>

namespace {

constexpr int FirstMappedCode = 91;
constexpr int LastMappedCode = 191;

// One run of codes a row; the formatter would put a code a line.
// clang-format off
// Codes 91..191; 97..122 are the small Latin letters themselves.
constexpr std::array<char16_t, LastMappedCode - FirstMappedCode + 1> Table = {
    0x0110, 0x20AC, 0x0106, 0x010C, 0x0160, 0x017D,                         // 91..96  Đ € Ć Č Š Ž
    u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h', u'i', u'j', u'k', u'l', u'm', // 97..109
    u'n', u'o', u'p', u'q', u'r', u's', u't', u'u', u'v', u'w', u'x', u'y', u'z', // 110..122
    0x0111, 0x0107, 0x010D, 0x0161, 0x017E,                                 // 123..127 đ ć č š ž
    // 128..159: capital Cyrillic in Russian order, Serbian letters in the
    // places of Й, Щ, Ъ, Ь, Ю, Я.
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0408, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0402, 0x0409, 0x042B, 0x040A, 0x042D, 0x040B, 0x040F,
    // 160..191: the small letters likewise.
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0458, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0452, 0x0459, 0x044B, 0x045A, 0x044D, 0x045B, 0x045F,
};
// clang-format on

// Every character below this has its device code in the reverse table; the
// euro sign is the one mapped character above it.
constexpr char16_t ReverseLimit = 0x0460;
constexpr char16_t Euro = 0x20AC;
constexpr int EuroCode = 92;

// Character to device code (-1: none), made from the table once, at compile
// time, so the simulated journal encodes its text without searching.
constexpr std::array<qint16, ReverseLimit> Reverse = [] {
    std::array<qint16, ReverseLimit> r{};
    for (std::size_t u = 0; u < r.size(); ++u) // codes outside the table stand for themselves
        r[u] = qint16(u < FirstMappedCode || (u > LastMappedCode && u <= 0xFF) ? int(u) : -1);
    for (std::size_t i = 0; i < Table.size(); ++i) {
        if (Table[i] < ReverseLimit)
            r[Table[i]] = qint16(FirstMappedCode + int(i));
    }
    return r;
}();

static_assert(Table[EuroCode - FirstMappedCode] == Euro);

} // namespace

QChar ConvertToBosnian(int index)
{
    if (index >= FirstMappedCode && index <= LastMappedCode)
        return QChar(Table[std::size_t(index - FirstMappedCode)]);
    return QChar(char16_t(index));
}

int DeviceCodeFor(QChar c)
{
    const char16_t u = c.unicode();
    if (u < ReverseLimit)
        return Reverse[u];
    return u == Euro ? EuroCode : -1;
}
