#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtEndian>

// The journal keeps dates, times and numbers in compact fields:
//  - the Vuze date word: (year - 2000) << 9 | month << 5 | day,
//  - the Vuze time word: hour * 100 + minute,
//  - big-endian integers and packed BCD digits.
// The C++ codecs live in a namespace of their own: the Functions library
// exports C functions of the same names with other argument types.
// The days a date word can name: its year field has seven bits.
inline const QDate FirstJournalDate{2000, 1, 1};
inline const QDate LastJournalDate{2127, 12, 31};

namespace Codecs {

quint16 EncodeDateVuze(const QDate &D1);
inline quint16 EncodeDateVuze(const QDateTime &D1)
{
    return EncodeDateVuze(D1.date());
}

// Throws EConvertError for a day its month does not have (30 February).
QDate DecodeDateVuze(quint16 D1);

quint16 EncodeTimeVuze(const QTime &T1);
inline quint16 EncodeTimeVuze(const QDateTime &T1)
{
    return EncodeTimeVuze(T1.time());
}

QTime DecodeTimeVuze(quint16 T1);

constexpr quint16 SwpEndianW(quint16 AValue)
{
    return qbswap(AValue);
}

constexpr quint32 SwpEndianDW(quint32 AValue)
{
    return qbswap(AValue);
}

// Which unit's check numbers a BCD failure reports. The main window's packing
// and the diagnostic window's copy behave the same and differ only here.
struct BcdChecks
{
    const char *unitName;
    int secondCheck; // the pair's second character is not a digit
    int firstCheck;  // the pair's first character is not a digit
};

inline constexpr BcdChecks MainUnitChecks{"MainUnit", 440, 441};

// Packs a text of decimal digits two per byte (earlier digit high); an odd
// length gets a leading 0. Throws EAssertionFailed on a non-digit.
QByteArray NumStringToBCD(const QString &inStr, const BcdChecks &checks = MainUnitChecks);

// Note the argument order: the pair's second character comes first.
quint8 CharPairToBCD(QChar second, QChar first, const BcdChecks &checks = MainUnitChecks);

// Pads s with ch up to len characters: on the right when direction is true,
// on the left otherwise. Never cuts a longer text.
QString FillCh(QChar ch, const QString &s, quint8 len, bool direction);

void MemCpy(const void *Source, void *Dest, quint8 length);

} // namespace Codecs
