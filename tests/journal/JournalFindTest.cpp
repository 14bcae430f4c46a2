#include "journal/JournalFind.h"
#include "simulator/JournalGenerator.h"
#include "journal/LineDecoding.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Hit
{
    qint64 line;
    int column;
    bool operator==(const Hit &) const = default;
};

void PrintTo(const Hit &h, std::ostream *os)
{
    *os << "{" << h.line << ", " << h.column << "}";
}

// A generated journal of a few thousand lines in a real file, with every
// kind of line a search meets: both graphic marks, the closing line,
// Cyrillic and the South-Slavic Latin letters.
struct Journal
{
    QTemporaryDir dir;
    JournalFileInfo info;
    std::vector<QByteArray> raw;

    explicit Journal(DeviceType type = DeviceType::CashRegister, quint32 documents = 120)
    {
        const JournalGenerator generator(7, type);
        info.path = dir.filePath(QStringLiteral("Original_X.txt"));
        info.lineWidth = generator.lineWidth();
        JournalFileWriter writer(info.path, info.lineWidth);
        for (quint32 d = 0; d < documents; ++d) {
            for (const QByteArray &line : generator.document(d).lines) {
                writer.writeLine(line);
                raw.push_back(line);
            }
        }
        writer.close();
        info.JournalLineCount = qint64(raw.size());
        info.written = true;
    }

    // The answer by the definition: every place the decoded text holds the
    // text, whatever the case, in the order of the file.
    std::vector<Hit> everyHit(const QString &text) const
    {
        std::vector<Hit> hits;
        for (qint64 i = 0; i < qint64(raw.size()); ++i) {
            const QString decoded = ConvertJournalLine(raw[std::size_t(i)], info.lineWidth);
            for (qsizetype at = decoded.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
                 at = decoded.indexOf(text, at + 1, Qt::CaseInsensitive))
                hits.push_back({i, int(at)});
        }
        return hits;
    }
};

// Walks next() (or previous()) from the start until it comes round again.
std::vector<Hit> walk(const Journal &j, const JournalFinder &finder, bool forwards)
{
    std::vector<Hit> hits;
    JournalHit h = forwards ? finder.next(j.info, -1, -1) : finder.previous(j.info, -1, 0);
    while (h.found() && hits.size() < 100000) {
        const Hit here{h.line, h.column};
        if (!hits.empty() && here == hits.front())
            break;
        EXPECT_FALSE(h.wrapped) << "wrapped before coming round";
        hits.push_back(here);
        h = forwards ? finder.next(j.info, h.line, h.column) : finder.previous(j.info, h.line, h.column);
    }
    if (!hits.empty()) {
        EXPECT_TRUE(h.wrapped) << "the hit after the last is the first again, from the top";
    }
    return hits;
}

TEST(JournalFind, FindsWhatTheDecodedTextHoldsInBothDirections)
{
    for (const DeviceType type : {DeviceType::CashRegister, DeviceType::FiscalPrinter}) {
        const Journal j(type);
        const char16_t *texts[] = {
            u"kafa",      // Latin, the line holds capitals
            u"ферхадија", // Cyrillic, typed small
            u"ČAČAK",     // the South-Slavic Latin capitals
            u"čačak",
            u"(logo)", // the words of the graphic marks
            u"(Bosnia)",
            u"h v a l a",  // the closing line
            u"A         ", // ... whose last blank is a '#' in the file
            u"24,4",       u" x ",
            u"ß", // no device code, no word: found nowhere
        };
        for (const char16_t *t : texts) {
            const QString text = QString::fromUtf16(t);
            const JournalFinder finder(text, j.info.lineWidth);
            const std::vector<Hit> want = j.everyHit(text);
            EXPECT_EQ(walk(j, finder, true), want) << text.toStdString();
            std::vector<Hit> backwards = walk(j, finder, false);
            std::reverse(backwards.begin(), backwards.end());
            EXPECT_EQ(backwards, want) << text.toStdString() << ", backwards";
        }
        // The fixture has what the table promises.
        for (const char16_t *t : {u"kafa", u"ферхадија", u"čačak", u"(logo)", u"h v a l a"})
            EXPECT_FALSE(j.everyHit(QString::fromUtf16(t)).empty()) << QString::fromUtf16(t).toStdString();
    }
}

TEST(JournalFind, AfterTheLastHitComesTheFirstFromTheTopAndNothingIsNotFound)
{
    const Journal j;
    const JournalFinder finder(QStringLiteral("zzzq"), j.info.lineWidth);
    EXPECT_FALSE(finder.next(j.info, 10, 0).found());
    EXPECT_FALSE(finder.previous(j.info, 10, 0).found());
    EXPECT_FALSE(JournalFinder(QString(), j.info.lineWidth).next(j.info, 0, -1).found());

    const JournalFinder numbered(QStringLiteral("jib "), j.info.lineWidth);
    const std::vector<Hit> all = j.everyHit(QStringLiteral("jib "));
    ASSERT_GT(all.size(), 2u);
    // From the last hit the next is the first, said to come from the top.
    const JournalHit round = numbered.next(j.info, all.back().line, all.back().column);
    EXPECT_EQ((Hit{round.line, round.column}), all.front());
    EXPECT_TRUE(round.wrapped);
    const JournalHit back = numbered.previous(j.info, all.front().line, all.front().column);
    EXPECT_EQ((Hit{back.line, back.column}), all.back());
    EXPECT_TRUE(back.wrapped);
}

} // namespace
