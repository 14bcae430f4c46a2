#include "RawPaneText.h"

#include <array>

namespace {

// The logo mark and the second graphic as two framed squares, and DEL as its
// key's symbol: shapes no journal text holds, in a face the program installs
// (DejaVu Sans Mono); the Unicode control pictures have none there.
constexpr char16_t GraphicMarkPictures[] = {0x25A3, 0x25A4}; // ▣ ▤
constexpr char16_t DeletePicture = 0x232B;                   // ⌫
// Code page 1251 leaves 0x98 unassigned. The replacement character would
// read as a decoding failure, so the pane shows a shade no journal text
// holds, and the byte can still be read back from it.
constexpr char16_t Unassigned = 0x2592; // ▒

// Code page 1251, bytes 0x80..0xBF; 0xC0..0xFF are А..я in order.
constexpr std::array<char16_t, 64> Cp1251High = {
    0x0402,     0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC,     0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    Unassigned, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0,     0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401,     0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0,     0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451,     0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
};

constexpr char16_t Shown(quint8 b)
{
    if (b == 0x12 || b == 0x13)
        return GraphicMarkPictures[b - 0x12];
    if (b == 0x7F)
        return DeletePicture;
    if (b < 0x80)
        return b;
    if (b < 0xC0)
        return Cp1251High[b - 0x80];
    return char16_t(0x0410 + (b - 0xC0));
}

constexpr std::array<char16_t, 256> Display = [] {
    std::array<char16_t, 256> d{};
    for (int b = 0; b < 256; ++b)
        d[std::size_t(b)] = Shown(quint8(b));
    return d;
}();

} // namespace

QString RawLineForDisplay(QByteArrayView line)
{
    QString text(line.size(), Qt::Uninitialized);
    QChar *to = text.data();
    for (char c : line)
        *to++ = QChar(Display[quint8(c)]);
    return text;
}

int DeviceByteShownBy(QChar c)
{
    const char16_t u = c.unicode();
    for (int b = 0; b < 256; ++b) {
        if (Display[std::size_t(b)] == u)
            return b;
    }
    return u;
}
