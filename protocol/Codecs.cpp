#include "Codecs.h"

#include "CodecErrors.h"

#include <cstring>

namespace {

std::string assertionText(const char *unitName, int checkNumber)
{
    return QString::asprintf("%s (%s, line %d)", "Assertion failure", unitName, checkNumber).toStdString();
}

bool isDecimalDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

} // namespace

EAssertionFailed::EAssertionFailed(const char *unitName, int checkNumber)
    : CodecError(assertionText(unitName, checkNumber))
    , m_checkNumber(checkNumber)
{}

EConvertError::EConvertError() : CodecError(InvalidDateText)
{}

namespace Codecs {

quint16 EncodeDateVuze(const QDate &D1)
{
    // Only seven bits of the year offset fit: years outside 2000..2127 wrap.
    const unsigned offset = unsigned(D1.year() - 2000) & 0x7Fu;
    return quint16((offset << 9) | (unsigned(D1.month()) << 5) | unsigned(D1.day()));
}

QDate DecodeDateVuze(quint16 D1)
{
    int day = D1 & 0x1F;
    int month = (D1 >> 5) & 0x0F;
    const int year = 2000 + (D1 >> 9);
    if (day == 0)
        day = 1;
    if (month == 0)
        month = 1;
    if (month > 12)
        month = 12;
    const QDate date(year, month, day);
    if (!date.isValid())
        throw EConvertError();
    return date;
}

quint16 EncodeTimeVuze(const QTime &T1)
{
    return quint16(T1.hour() * 100 + T1.minute());
}

QTime DecodeTimeVuze(quint16 T1)
{
    int hour = T1 / 100;
    if (hour > 23)
        hour = 23;
    int minute = T1 - hour * 100;
    if (minute > 59)
        minute = 59;
    return QTime(hour, minute, 0, 0);
}

quint8 CharPairToBCD(QChar second, QChar first, const BcdChecks &checks)
{
    if (!isDecimalDigit(second))
        throw EAssertionFailed(checks.unitName, checks.secondCheck);
    if (!isDecimalDigit(first))
        throw EAssertionFailed(checks.unitName, checks.firstCheck);
    return quint8(((first.unicode() & 0x0F) << 4) | (second.unicode() & 0x0F));
}

QByteArray NumStringToBCD(const QString &inStr, const BcdChecks &checks)
{
    const QString digits = (inStr.size() % 2 == 1) ? QLatin1Char('0') + inStr : inStr;
    QByteArray result;
    result.reserve(digits.size() / 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        result.append(char(CharPairToBCD(digits[i + 1], digits[i], checks)));
    return result;
}

QString FillCh(QChar ch, const QString &s, quint8 len, bool direction)
{
    // Qt's justification, without its truncation: a longer text is never cut.
    return direction ? s.leftJustified(len, ch) : s.rightJustified(len, ch);
}

void MemCpy(const void *Source, void *Dest, quint8 length)
{
    if (length > 0)
        std::memcpy(Dest, Source, length);
}

} // namespace Codecs
