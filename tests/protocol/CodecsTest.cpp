#include "protocol/CodecErrors.h"
#include "protocol/Codecs.h"
#include "protocol/FunctionUnit.h"

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

struct DateCase
{
    QDate date;
    quint16 word;
};

TEST(VuzeDate, EncodesExamples)
{
    const DateCase cases[] = {
        {QDate(2011, 9, 9), 0x1729},
        {QDate(2127, 12, 31), 0xFF9F},
        {QDate(2000, 1, 1), 0x0021},
        {QDate(2011, 1, 1), 0x1621},
        {QDate(2011, 12, 31), 0x179F},
        // Years outside 2000..2127 wrap in the seven year bits.
        {QDate(1999, 1, 1), quint16(0xFE00 | 0x0021)},
        {QDate(2128, 3, 4), quint16((3 << 5) | 4)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EncodeDateVuze(c.date), c.word) << c.date.toString().toStdString();
    EXPECT_EQ(EncodeDateVuze(QDateTime(QDate(2011, 9, 9), QTime(23, 59))), 0x1729) << "time of day ignored";
}

TEST(VuzeDate, DecodesEveryWordOrRefusesImpossibleDays)
{
    // Every one of the 65,536 words: clamp day 0 and months 0, 13..15, then
    // either a real day that encodes back to the clamped word, or the error.
    for (int w = 0; w <= 0xFFFF; ++w) {
        int day = w & 0x1F;
        int month = (w >> 5) & 0x0F;
        const int year = 2000 + (w >> 9);
        day = day == 0 ? 1 : day;
        month = month == 0 ? 1 : qMin(month, 12);
        const bool exists = day <= QDate(year, month, 1).daysInMonth();
        if (exists) {
            const QDate d = DecodeDateVuze(quint16(w));
            ASSERT_EQ(d, QDate(year, month, day)) << w;
            ASSERT_EQ(EncodeDateVuze(d), quint16(((year - 2000) << 9) | (month << 5) | day)) << w;
        } else {
            try {
                DecodeDateVuze(quint16(w));
                FAIL() << "no error for word " << w;
            } catch (const EConvertError &e) {
                ASSERT_STREQ(e.what(), "Invalid argument to date encode");
            }
        }
    }
}

TEST(VuzeDate, DecodesTheMarkedWords)
{
    EXPECT_EQ(DecodeDateVuze(0x0000), QDate(2000, 1, 1));
    EXPECT_EQ(DecodeDateVuze(0xFFFF), QDate(2127, 12, 31));
    const quint16 feb30 = quint16((11 << 9) | (2 << 5) | 30);
    EXPECT_THROW(DecodeDateVuze(feb30), EConvertError);
    const quint16 feb29Leap = quint16((12 << 9) | (2 << 5) | 29);
    EXPECT_EQ(DecodeDateVuze(feb29Leap), QDate(2012, 2, 29));
    const quint16 feb29Common = quint16((11 << 9) | (2 << 5) | 29);
    EXPECT_THROW(DecodeDateVuze(feb29Common), EConvertError);
}

TEST(VuzeTime, DecodesEveryWordWithClamping)
{
    for (int w = 0; w <= 0xFFFF; ++w) {
        const int hour = qMin(w / 100, 23);
        const int minute = qMin(w - hour * 100, 59);
        ASSERT_EQ(DecodeTimeVuze(quint16(w)), QTime(hour, minute)) << w;
    }
    EXPECT_EQ(DecodeTimeVuze(2400), QTime(23, 59));
    EXPECT_EQ(DecodeTimeVuze(1275), QTime(12, 59));
    EXPECT_EQ(DecodeTimeVuze(0), QTime(0, 0));
}

TEST(VuzeTime, EncodesHourAndMinuteOnly)
{
    EXPECT_EQ(EncodeTimeVuze(QTime(23, 59, 59, 999)), 2359);
    EXPECT_EQ(EncodeTimeVuze(QTime(14, 35)), 1435);
    EXPECT_EQ(EncodeTimeVuze(QTime(10, 5)), 0x03ED);
    EXPECT_EQ(EncodeTimeVuze(QTime(0, 0)), 0);
}

TEST(Endian, SwapsBytes)
{
    EXPECT_EQ(SwpEndianW(0x1234), 0x3412);
    EXPECT_EQ(SwpEndianW(0x00FF), 0xFF00);
    EXPECT_EQ(SwpEndianDW(0x12345678u), 0x78563412u);
    EXPECT_EQ(SwpEndianDW(0x000000FFu), 0xFF000000u);
}

struct BcdCase
{
    const char *input;
    QByteArray expected;
};

TEST(Bcd, PacksDigitPairs)
{
    const BcdCase cases[] = {
        {"", QByteArray()},
        {"7", QByteArray("\x07", 1)},
        {"123", QByteArray("\x01\x23", 2)},
        {"1234", QByteArray("\x12\x34", 2)},
        {"123456", QByteArray("\x12\x34\x56", 3)},
        {"99", QByteArray("\x99", 1)},
        {"00", QByteArray("\x00", 1)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumStringToBCD(QString::fromLatin1(c.input)), c.expected) << c.input;
}

struct BcdFailure
{
    const char *input;
    bool functionUnit;
    const char *message;
};

TEST(Bcd, ReportsTheFailedCheckOfItsUnit)
{
    const BcdFailure cases[] = {
        {"12A4", false, "Assertion failure (MainUnit, line 441)"}, // A4: the second passes, the first fails
        {"124A", false, "Assertion failure (MainUnit, line 440)"},
        {"ABC", false, "Assertion failure (MainUnit, line 440)"}, // "0A": the pair's second fails first
        {"12A4", true, "Assertion failure (FunctionUnit, line 169)"},
        {"124A", true, "Assertion failure (FunctionUnit, line 168)"},
        {"1 3", false, "Assertion failure (MainUnit, line 441)"}, // "01" then " 3": the space fails first
    };
    for (const auto &c : cases) {
        const QString in = QString::fromLatin1(c.input);
        try {
            c.functionUnit ? FunctionUnit::NumStringToBCD(in) : NumStringToBCD(in);
            ADD_FAILURE() << "no failure for " << c.input;
        } catch (const EAssertionFailed &e) {
            EXPECT_STREQ(e.what(), c.message) << c.input;
        }
    }
}

TEST(Bcd, FunctionUnitPacksLikeMainUnit)
{
    for (const char *in : {"", "5", "0123", "987654321"})
        EXPECT_EQ(FunctionUnit::NumStringToBCD(QString::fromLatin1(in)), NumStringToBCD(QString::fromLatin1(in)));
    EXPECT_EQ(CharPairToBCD(QLatin1Char('4'), QLatin1Char('3')), 0x34);
}

TEST(FillCh, PadsOnTheChosenSideAndNeverCuts)
{
    const QString logo = QStringLiteral("(Logo)");
    EXPECT_EQ(FillCh(QLatin1Char(' '), logo, 18, true), logo + QString(12, QLatin1Char(' ')));
    EXPECT_EQ(FillCh(QLatin1Char(' '), logo, 18, false), QString(12, QLatin1Char(' ')) + logo);
    EXPECT_EQ(FillCh(QLatin1Char('*'), logo, 6, true), logo);
    EXPECT_EQ(FillCh(QLatin1Char('*'), logo, 3, true), logo);
    EXPECT_EQ(FillCh(QLatin1Char('-'), QString(), 2, false), QStringLiteral("--"));
}

TEST(MemCpy, CopiesExactlyLengthBytes)
{
    const quint8 source[4] = {1, 2, 3, 4};
    quint8 dest[4] = {9, 9, 9, 9};
    MemCpy(source, dest, 0);
    EXPECT_EQ(dest[0], 9);
    MemCpy(source, dest, 3);
    EXPECT_EQ(dest[2], 3);
    EXPECT_EQ(dest[3], 9);
}

} // namespace
