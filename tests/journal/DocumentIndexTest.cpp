#include "protocol/Codecs.h"
#include "journal/DocumentIndex.h"
#include "tests/support/SearchRig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

data_123 announced(quint32 number, quint16 date = 0x1234, quint16 time = 0x0915, quint8 type = 1)
{
    data_123 h;
    h.doc_num = number;
    h.date = Codecs::SwpEndianW(date); // device order, as the answer carries it
    h.time = Codecs::SwpEndianW(time);
    h.doc_type = type;
    return h;
}

struct Expected
{
    quint32 number;
    qint64 firstLine;
    quint32 lineCount;
};

// Every record as a fresh reader finds it in the finished file.
std::vector<Expected> readBack(const QString &path, qint64 journalLines)
{
    DocumentIndex index;
    EXPECT_TRUE(index.open(path, journalLines)) << index.error().toStdString();
    std::vector<Expected> out;
    for (qint64 i = 0; i < index.size(); ++i) {
        const DocumentEntry e = index.at(i);
        out.push_back({e.number, e.firstLine, e.lineCount});
    }
    return out;
}

bool operator==(const Expected &a, const Expected &b)
{
    return a.number == b.number && a.firstLine == b.firstLine && a.lineCount == b.lineCount;
}

void PrintTo(const Expected &e, std::ostream *os)
{
    *os << "{" << e.number << ", " << e.firstLine << ", " << e.lineCount << "}";
}

// The orders a search writes in: all headers first ("All", by numbers), a
// header then its lines (by dates), lines nobody announced, documents that
// get no lines in the middle and at the end.
TEST(DocumentIndex, RecordsReadBackFromTheFileAsTheSearchWroteThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Original_X.idx"));
    {
        DocumentIndexWriter w;
        ASSERT_TRUE(w.create(path));
        for (quint32 n : {10u, 11u, 12u, 13u})
            w.header(announced(n));
        w.lines(10, 0, 5);
        w.lines(10, 5, 2); // a document's lines come in several answers
        w.serviceLines(10, 0, 3);
        // 11 gets none
        w.lines(12, 7, 4);
        w.lines(99, 11, 1); // never announced
        // 13 gets none: the search ended early
        ASSERT_TRUE(w.finish(12)) << w.error().toStdString();
    }
    const std::vector<Expected> want{{10, 0, 7}, {11, 7, 0}, {12, 7, 4}, {13, 11, 0}, {99, 11, 1}};
    EXPECT_EQ(readBack(path, 12), want);

    DocumentIndex index;
    ASSERT_TRUE(index.open(path, 12));
    const DocumentEntry first = index.at(0);
    EXPECT_EQ(first.dateWord, 0x1234);
    EXPECT_EQ(first.timeWord, 0x0915);
    EXPECT_EQ(first.type, 1);
    EXPECT_EQ(first.firstService, 0);
    EXPECT_EQ(first.serviceCount, 3);
    EXPECT_EQ(index.at(1).firstService, -1);
    // Line -> document, over every line and past both ends.
    const qint64 owner[] = {0, 0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 4};
    for (qint64 line = 0; line < 12; ++line)
        EXPECT_EQ(index.documentAtLine(line), owner[line]) << "line " << line;
    EXPECT_EQ(index.documentAtLine(-1), -1);
    EXPECT_EQ(index.documentAtLine(12), -1);
    EXPECT_EQ(index.findNumber(12), 2);
    EXPECT_EQ(index.findNumber(11), 1) << "a document without lines is still found";
    EXPECT_EQ(index.findNumber(7), -1);
}

// More documents than the writer holds in memory: every record goes out to
// the file and comes back for its lines, many times over.
TEST(DocumentIndex, ManyDocumentsSurviveTheWritersPaging)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Original_X.idx"));
    constexpr quint32 Count = 1000;
    std::vector<Expected> want;
    qint64 line = 0;
    {
        DocumentIndexWriter w;
        ASSERT_TRUE(w.create(path));
        for (quint32 n = 0; n < Count; ++n)
            w.header(announced(n + 500));
        for (quint32 n = 0; n < Count; ++n) {
            const quint32 lines = n % 7; // every seventh has none
            w.lines(n + 500, line, lines);
            want.push_back({n + 500, line, lines});
            line += lines;
        }
        ASSERT_TRUE(w.finish(line));
    }
    EXPECT_EQ(readBack(path, line), want);
    DocumentIndex index;
    ASSERT_TRUE(index.open(path, line));
    EXPECT_EQ(index.findNumber(500 + Count - 1), Count - 1);
    EXPECT_EQ(index.documentAtLine(line - 1), Count - 1);
}

// A reader never takes an index that does not describe the journal file.
TEST(DocumentIndex, StaleDamagedOrUnfinishedIndexesAreRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Original_X.idx"));
    auto write = [&](bool finished) {
        DocumentIndexWriter w;
        ASSERT_TRUE(w.create(path));
        w.header(announced(1));
        w.lines(1, 0, 3);
        if (finished) {
            ASSERT_TRUE(w.finish(3));
        }
    };
    struct Case
    {
        const char *name;
        bool finished;
        qint64 journalLines;
        int chop;
    };
    const Case cases[] = {
        {"the journal has other lines", true, 4, 0},
        {"cut short", true, 3, 1},
        {"the writer stopped half way", false, 3, 0},
    };
    for (const Case &c : cases) {
        write(c.finished);
        if (c.chop) {
            QFile f(path);
            ASSERT_TRUE(f.resize(f.size() - c.chop));
        }
        DocumentIndex index;
        EXPECT_FALSE(index.open(path, c.journalLines)) << c.name;
        EXPECT_FALSE(index.isOpen()) << c.name;
        EXPECT_EQ(index.size(), 0) << c.name;
        EXPECT_EQ(index.documentAtLine(0), -1) << c.name;
    }
    DocumentIndex missing;
    EXPECT_FALSE(missing.open(dir.filePath(QStringLiteral("none.idx")), 0));
}

// The disk refuses the index: the search is not failed for it, its lines are
// all in the journal file, and the reason is kept for whoever asks.
TEST(DocumentIndex, AFullDiskLosesTheIndexNotTheLines)
{
    SearchRig rig(30);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), rig.dir.filePath(DocumentIndexFileName(rig.fiscal))));
    SearchRequest r;
    r.mode = SearchRequest::Mode::All;
    EXPECT_EQ(rig.find(r), JournalSearch::Outcome::Completed);
    EXPECT_EQ(readAll(rig.journalPath()), rig.expectedJournal(0, 29));
    EXPECT_FALSE(rig.searchState.documents.isOpen());
    EXPECT_TRUE(rig.searchState.documentsError.contains(QLatin1String("No space left on device")))
        << rig.searchState.documentsError.toStdString();
}

// A whole search: each document's record points at exactly its lines in the
// journal file, and the index is there again for a later reader.
TEST(DocumentIndex, ASearchIndexesEachDocumentsLines)
{
    SearchRig rig(40);
    SearchRequest r;
    r.mode = SearchRequest::Mode::All;
    ASSERT_EQ(rig.find(r), JournalSearch::Outcome::Completed);
    const DocumentIndex &index = rig.searchState.documents;
    ASSERT_TRUE(index.isOpen()) << rig.searchState.documentsError.toStdString();
    ASSERT_EQ(index.size(), 40);
    const QByteArray journal = readAll(rig.journalPath());
    const qint64 record = rig.settings.LineWidth + 2;
    for (qint64 i = 0; i < index.size(); ++i) {
        const DocumentEntry e = index.at(i);
        EXPECT_EQ(e.number, quint32(i));
        EXPECT_EQ(journal.mid(e.firstLine * record, e.lineCount * record), rig.expectedJournal(e.number, e.number))
            << "document " << e.number;
        EXPECT_EQ(e.dateWord, rig.usb->journal().document(e.number).dateWord) << "document " << e.number;
    }
    DocumentIndex later;
    EXPECT_TRUE(
        later.open(rig.dir.filePath(DocumentIndexFileName(rig.fiscal)), rig.searchState.journal.JournalLineCount));
    EXPECT_EQ(later.size(), 40);
}

} // namespace
