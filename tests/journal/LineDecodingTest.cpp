#include "protocol/DeviceCharset.h"
#include "journal/Emphasis.h"
#include "journal/FileNaming.h"
#include "journal/LineDecoding.h"
#include "protocol/Packets.h"

#include <map>

#include <gtest/gtest.h>

namespace {

QByteArray spaces(int n)
{
    return QByteArray(n, ' ');
}

struct DecodeCase
{
    const char *name;
    QByteArray raw;
    int width;
    QString decoded;
};

TEST(ConvertJournalLine, FollowsTheLineRules)
{
    const DecodeCase cases[] = {
        {"blank line", spaces(18), 18, QString(18, QLatin1Char(' '))},
        {"closing line", "H V A L A        #", 18, QStringLiteral("H V A L A         ")},
        {"closing line, printer width", "H V A L A        #", 32, QStringLiteral("H V A L A         ")},
        {"logo line", '\x12' + spaces(17), 18, QStringLiteral("(Logo)") + QString(12, QLatin1Char(' '))},
        {"logo line, printer", '\x12' + spaces(31), 32, QStringLiteral("(Logo)") + QString(31, QLatin1Char(' '))},
        {"18-char logo, printer width", '\x12' + spaces(17), 32,
         QStringLiteral("(Logo)") + QString(26, QLatin1Char(' '))},
        {"second graphic", '\x13' + spaces(17), 18, QStringLiteral("(Bosnia)") + QString(10, QLatin1Char(' '))},
        {"second graphic, printer", '\x13' + spaces(17), 32,
         QStringLiteral("(Bosnia)") + QString(24, QLatin1Char(' '))},
        {"mark inside a line",
         "AB\x13"
         "CD",
         18, QStringLiteral("AB(Bosnia)CD")},
        {"device letters", QByteArray("\x41\x80\xA0\x5E", 4), 18, QStringLiteral("AАаČ")},
        {"table edges", QByteArray("\x5A\x5B\xBF\xC0", 4), 18, QStringLiteral("ZĐџÀ")},
        {"euro and small latin", QByteArray("\x5C\x7B\x7F", 3), 18, QStringLiteral("€đž")},
        {"0xFF and control bytes",
         QByteArray("a\xFF"
                    "b\x07"
                    "c\x09",
                    6),
         18, QStringLiteral("a b c ")},
        {"empty", QByteArray(), 18, QString()},
        {"closing word in small letters stays", "h v a l a        #", 18, QStringLiteral("h v a l a        #")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ConvertJournalLine(c.raw, c.width), c.decoded) << c.name;
}

TEST(ConvertJournalLine, MarkerLinesGrowTheLine)
{
    const QByteArray raw = "ABC\x13" + spaces(14);
    EXPECT_EQ(ConvertJournalLine(raw, 18).size(), raw.size() + 7);
    const QByteArray logoInside = "AB\x12" + spaces(15);
    EXPECT_EQ(ConvertJournalLine(logoInside, 18).size(), 18 + 5);
}

TEST(ConvertJournalLine, Utf8PathAgreesForEveryByteInEveryPlace)
{
    for (int b = 0; b < 256; ++b) {
        for (int at : {0, 7, 17}) {
            QByteArray raw = spaces(18);
            raw[at] = char(b);
            QByteArray utf8;
            AppendDecodedLineUtf8(utf8, raw, 18);
            ASSERT_EQ(QString::fromUtf8(utf8), ConvertJournalLine(raw, 18)) << b << " at " << at;
        }
    }
    for (const QByteArray &special : {QByteArray("H V A L A        #"), '\x12' + spaces(17), '\x13' + spaces(17)}) {
        QByteArray utf8;
        AppendDecodedLineUtf8(utf8, special, 32);
        EXPECT_EQ(QString::fromUtf8(utf8), ConvertJournalLine(special, 32));
    }
}

TEST(DeviceCharset, MapsOnlyItsRangeAndRoundTrips)
{
    EXPECT_EQ(ConvertToBosnian(90), QLatin1Char('Z'));
    EXPECT_EQ(ConvertToBosnian(192), QChar(0xC0));
    EXPECT_EQ(ConvertToBosnian(0x1234), QChar(0x1234)) << "codes above 255 pass";
    EXPECT_EQ(ConvertToBosnian(137), QChar(0x0408)) << "Ј in the place of Й";
    EXPECT_EQ(ConvertToBosnian(191), QChar(0x045F));
    for (int code = 0; code < 256; ++code) {
        const QChar c = ConvertToBosnian(code);
        if (code >= 91 && code <= 191) {
            EXPECT_EQ(DeviceCodeFor(c), code) << code;
        }
    }
    EXPECT_EQ(DeviceCodeFor(QLatin1Char('[')), -1) << "91 is Đ on the device";
}

TEST(DeviceCharset, EveryCharacterEncodesToTheCodeThatShowsIt)
{
    // Exhaustive: a character has a code exactly when some device code
    // shows it, and then that code.
    std::map<char16_t, int> shownBy;
    for (int code = 255; code >= 0; --code)
        shownBy[ConvertToBosnian(code).unicode()] = code;
    for (int u = 0; u <= 0xFFFF; ++u) {
        const auto it = shownBy.find(char16_t(u));
        const int expected = it == shownBy.end() ? -1 : it->second;
        ASSERT_EQ(DeviceCodeFor(QChar(char16_t(u))), expected) << "U+" << std::hex << u;
    }
}

data_124 answer(int rows, const QByteArray &content, int carried = -1)
{
    data_124 a;
    a.row_count = quint8(rows);
    std::copy(content.begin(), content.end(), a.content.begin());
    a.content_len = carried >= 0 ? carried : int(content.size());
    return a;
}

TEST(SplitJournalRecord, CutsRowsAndBlanksNonPrintingBytes)
{
    EXPECT_TRUE(SplitJournalRecord(answer(0, QByteArray(216, 'x')), 18).isEmpty());

    QByteArray content;
    for (int r = 0; r < 12; ++r)
        content += QByteArray(18, char('A' + r));
    const QList<QByteArray> lines = SplitJournalRecord(answer(12, content), 18);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QByteArray(18, 'A'));
    EXPECT_EQ(lines[11], QByteArray(18, 'L'));

    const QByteArray odd = QByteArray::fromHex("FF07 1213 1F20 7FFE 0061 62");
    const QList<QByteArray> one = SplitJournalRecord(answer(1, odd + spaces(7)), 18);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0], QByteArray::fromHex("2E20 1213 2020 7FFE 2061 62") + spaces(7));
}

TEST(SplitJournalRecord, NeverReadsPastWhatTheAnswerCarried)
{
    // Twelve rows claimed, five and a half carried: five whole rows.
    EXPECT_EQ(SplitJournalRecord(answer(12, QByteArray(216, 'x'), 99), 18).size(), 5);
    // 255 rows claimed in a full frame.
    EXPECT_EQ(SplitJournalRecord(answer(255, QByteArray(243, 'x')), 18).size(), 13);
    EXPECT_EQ(SplitJournalRecord(answer(255, QByteArray(243, 'x')), 32).size(), 7);
    EXPECT_TRUE(SplitJournalRecord(answer(3, QByteArray(54, 'x')), 0).isEmpty());
}

TEST(Emphasis, FindsEveryOccurrenceIgnoringCase)
{
    const QString pane = QStringLiteral("(Logo)   \r\n(logo)(LOGO)\r\nh v a l a  H V A L A");
    EXPECT_EQ(FindAllOccurrences(pane, QStringLiteral("(Logo)")), (QList<qsizetype>{0, 11, 17}));
    EXPECT_EQ(FindAllOccurrences(pane, QStringLiteral("H V A L A")), (QList<qsizetype>{25, 36}));
    EXPECT_TRUE(FindAllOccurrences(pane, QString()).isEmpty());
    EXPECT_EQ(FindAllOccurrences(QStringLiteral("aaaa"), QStringLiteral("aa")), (QList<qsizetype>{0, 2}));

    const auto &rules = HighlightRules();
    EXPECT_EQ(rules[0].text, QStringLiteral("(Logo)"));
    EXPECT_EQ(rules[1].text, QStringLiteral("(Bosnia)"));
    EXPECT_EQ(rules[0].blue, 255);
    EXPECT_TRUE(rules[0].bold && rules[0].italic);
    EXPECT_EQ(rules[0].pointSize, 10);
    EXPECT_EQ(rules[2].text, QStringLiteral("H V A L A"));
    EXPECT_EQ(rules[2].pointSize, 14);
    EXPECT_TRUE(rules[2].bold && !rules[2].italic);
    EXPECT_EQ(rules[2].red + rules[2].green + rules[2].blue, 0);
}

TEST(FileNaming, DeviceTextNeverLeavesTheFolder)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("BA734040"), QStringLiteral("Original_BA734040.txt")},
        {QStringLiteral("../x/y"), QStringLiteral("Original____x_y.txt")},
        {QString::fromLatin1("\xFF\xFF"
                             "FFFFFF"),
         QStringLiteral("Original___FFFFFF.txt")},
        {QString(), QStringLiteral("Original_.txt")},
        {QStringLiteral("A\\B:C*"), QStringLiteral("Original_A_B_C_.txt")},
    };
    for (const auto &[number, name] : cases)
        EXPECT_EQ(JournalFileName(number), name) << number.toStdString();
    EXPECT_EQ(DecodedFileName(QStringLiteral("KL123456")), QStringLiteral("Bosnian_KL123456.txt"));
}

} // namespace
