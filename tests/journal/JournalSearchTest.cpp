#include "protocol/Codecs.h"
#include "protocol/ExchangeEngine.h"
#include "journal/FileNaming.h"
#include "protocol/IdentityDisplay.h"
#include "journal/JournalSearch.h"
#include "journal/LineDecoding.h"
#include "tests/support/SearchRig.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TestRig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

bool toInt32Fails(const char *text)
{
    bool ok = false;
    QString::fromLatin1(text).toInt(&ok);
    return !ok;
}

SearchRequest byNumbers(const char *from, const char *to)
{
    SearchRequest r;
    r.mode = SearchRequest::Mode::ByNumbers;
    r.fromNumber = QString::fromLatin1(from);
    r.toNumber = QString::fromLatin1(to);
    return r;
}

SearchRequest allDocuments()
{
    SearchRequest r;
    r.mode = SearchRequest::Mode::All;
    return r;
}

TEST(JournalSearch, ByNumbersWritesTheJournalAndTheSummary)
{
    SearchRig rig;
    SearchRequest r = byNumbers("5", "6");
    r.saveConverted = true;
    EXPECT_EQ(rig.find(r), JournalSearch::Outcome::Completed);
    EXPECT_EQ(readAll(rig.journalPath()), rig.expectedJournal(5, 6));
    const qint64 lines = rig.lineCount(5, 6);
    EXPECT_EQ(rig.searchState.journal.JournalLineCount, lines);
    EXPECT_EQ(rig.view.summary, QStringLiteral("Found 2 documents, %1 lines, about 1 pages").arg(lines));
    EXPECT_EQ(rig.searchState.SearchType, SearchRequest::Mode::ByNumbers);
    EXPECT_EQ(rig.searchState.Title, QStringLiteral("from document 5 to document 6"));
    EXPECT_EQ(rig.view.elapsed, QStringLiteral("00:00:00"));
    // Order of the finishing steps: range before the window, "Done" last.
    EXPECT_EQ(rig.view.events,
              (QStringList{QStringLiteral("panes cleared"), QString(), QStringLiteral("elapsed"),
                           QStringLiteral("range %1").arg(lines), QStringLiteral("window 0"), rig.view.summary}));
    EXPECT_EQ(rig.port.boxes(), QStringList{QStringLiteral("information box: Done")});
    EXPECT_TRUE(rig.port.events.contains(QStringLiteral("hourglass")));
    EXPECT_EQ(rig.port.events.filter(QStringLiteral("progress open")), QStringList{QStringLiteral("progress open 2")});
    EXPECT_TRUE(rig.readTimer.active) << "the tick runs again after the search";
    EXPECT_EQ(rig.readTimer.stops, 1);

    // The decoded file: one decoded line for every journal line.
    const QList<QByteArray> decoded = readAll(rig.dir.filePath(DecodedFileName(rig.fiscal))).split('\n');
    EXPECT_EQ(decoded.size() - 1, lines);
    EXPECT_EQ(decoded[0], QByteArray("(Logo)            \r"));
}

TEST(JournalSearch, ByDatesAsksForTheRangeFirst)
{
    SearchRig rig(200);
    const JournalGenerator &g = rig.usb->journal().generator();
    SearchRequest r;
    r.mode = SearchRequest::Mode::ByDates;
    r.fromDate = DecodeDateVuze(g.dateWord(40));
    r.toDate = r.fromDate;
    r.fromTime = QTime(0, 0, 0);
    r.toTime = QTime(23, 59, 59);
    EXPECT_EQ(rig.find(r), JournalSearch::Outcome::Completed);
    // The documents of that day.
    quint32 first = 40, last = 40;
    while (first > 0 && g.dateWord(first - 1) == g.dateWord(40))
        --first;
    while (last + 1 < 200 && g.dateWord(last + 1) == g.dateWord(40))
        ++last;
    const QByteArray day = QByteArray::number(g.dateWord(40), 16).rightJustified(4, '0');
    ASSERT_GE(rig.usb->requests().size(), 2u);
    EXPECT_EQ(rig.usb->requests()[1], RequestBytes(CmdJournalRange, QByteArray::fromHex(day + "0000" + day + "0937")))
        << "one 122 request after the identity";
    EXPECT_EQ(readAll(rig.journalPath()), rig.expectedJournal(first, last));
    EXPECT_EQ(rig.view.summary, JournalSearch::SummaryText(last - first + 1, rig.lineCount(first, last)));
    EXPECT_EQ(rig.searchState.Title,
              QStringLiteral("from %1 00:00:00 to %1 23:59:59").arg(r.fromDate.toString(QStringLiteral("dd.MM.yyyy"))));
}

TEST(JournalSearch, AllReadsEveryStoredDocument)
{
    SearchRig rig(25, {}, DeviceType::FiscalPrinter);
    EXPECT_EQ(rig.find(allDocuments()), JournalSearch::Outcome::Completed);
    EXPECT_EQ(readAll(rig.journalPath()), rig.expectedJournal(0, 24));
    EXPECT_EQ(rig.view.summary, JournalSearch::SummaryText(25, rig.lineCount(0, 24)));
    EXPECT_EQ(rig.searchState.Title, QStringLiteral("all stored documents"));
    EXPECT_EQ(rig.searchState.journal.lineWidth, 32);
}

TEST(JournalSearch, SearchesThatDoNotStart)
{
    struct Case
    {
        const char *name;
        SearchRequest request;
        quint32 documents;
        QStringList boxes;
    };
    SearchRequest none;
    const Case cases[] = {
        {"no mode", none, 30, {"warning box: Please choose type of serching", "information box: Done"}},
        {"nothing stored", allDocuments(), 0, {"warning box: No stored documents", "information box: Done"}},
    };
    for (const auto &c : cases) {
        SearchRig rig(c.documents);
        // An earlier search's file is emptied: the click had a device.
        QFile old(rig.journalPath());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old lines\r\n");
        old.close();
        EXPECT_EQ(rig.find(c.request), JournalSearch::Outcome::NotStarted) << c.name;
        EXPECT_EQ(rig.port.boxes(), c.boxes) << c.name;
        EXPECT_TRUE(rig.usb->requests().size() == 1) << c.name << ": only the identity went out";
        EXPECT_EQ(readAll(rig.journalPath()), QByteArray()) << c.name;
        EXPECT_TRUE(rig.view.summary.isEmpty()) << c.name;
        EXPECT_TRUE(rig.readTimer.active) << c.name;
        EXPECT_TRUE(rig.port.findEnabled) << c.name;
    }
}

TEST(JournalSearch, WithoutDeviceOnlyBeepsAndSaysDone)
{
    SearchRig rig;
    QFile old(rig.journalPath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept\r\n");
    old.close();
    CloseDevice(*rig.usb, rig.state.DevHandle);
    EXPECT_EQ(rig.find(byNumbers("1", "2")), JournalSearch::Outcome::NotStarted);
    EXPECT_EQ(rig.port.events, (QStringList{QStringLiteral("beep"), QStringLiteral("pointer restored"),
                                            QStringLiteral("find enabled"), QStringLiteral("information box: Done")}));
    EXPECT_EQ(readAll(rig.journalPath()), QByteArray("kept\r\n"));
    EXPECT_EQ(rig.view.events, (QStringList{QStringLiteral("panes cleared"), QString()}));
}

TEST(JournalSearch, MoreThan5000DocumentsAsksFirst)
{
    for (bool yes : {false, true}) {
        SearchRig rig(5001);
        rig.port.answers = {yes};
        SearchRequest r = allDocuments();
        if (yes) {
            // Reading 5001 documents is not the point here: stop after the first.
            rig.usb = std::make_unique<SimulatedUsb>(SimulatorOptions{}, rig.clock);
        }
        const auto outcome = rig.find(r);
        const QString question =
            QStringLiteral("question:        Number of documents are more then 5000.       \n\r"
                           "Information about documents will not be dislayed on PC\n\rDo you want to continue?");
        ASSERT_FALSE(rig.port.boxes().isEmpty());
        EXPECT_EQ(rig.port.boxes().first(), question);
        if (!yes) {
            EXPECT_EQ(outcome, JournalSearch::Outcome::NotStarted);
            EXPECT_TRUE(rig.port.events.contains(QStringLiteral("pointer restored")));
            EXPECT_EQ(rig.port.boxes().last(), QStringLiteral("information box: Done"));
            EXPECT_TRUE(rig.view.showOnScreen);
        } else {
            EXPECT_FALSE(rig.view.showOnScreen);
            EXPECT_TRUE(rig.view.summary.isEmpty()) << "no summary and no window";
            EXPECT_FALSE(rig.view.events.contains(QStringLiteral("window 0")));
        }
    }

    SearchRig exactly(5000);
    exactly.usb = std::make_unique<SimulatedUsb>(SimulatorOptions{}, exactly.clock);
    exactly.find(allDocuments());
    EXPECT_TRUE(exactly.port.boxes().filter(QStringLiteral("question")).isEmpty()) << "5000 asks nothing";
}

TEST(JournalSearch, NumberRangesThatGiveNothing)
{
    SearchRig rig;
    EXPECT_EQ(rig.find(byNumbers("6", "5")), JournalSearch::Outcome::Completed);
    EXPECT_EQ(rig.usb->requests().size(), 1u) << "no request beyond the identity";
    EXPECT_EQ(rig.view.summary, QStringLiteral("Found 0 documents, 0 lines, about 1 pages"));

    SearchRig wide;
    EXPECT_EQ(wide.find(byNumbers("9", "2")), JournalSearch::Outcome::Completed);
    EXPECT_EQ(wide.view.summary, QStringLiteral("Found -6 documents, 0 lines, about 1 pages"));
}

TEST(JournalSearch, BadNumberFieldChangesNothing)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "5"}, {"5", ""}, {"2147483648", "1"}, {"1", "99999999999"}, {"1x", "2"}, {"5", "-"}};
    for (const auto &[from, to] : cases) {
        SearchRig rig;
        EXPECT_EQ(rig.find(byNumbers(from, to)), JournalSearch::Outcome::BadNumber) << from << ".." << to;
        ASSERT_EQ(rig.port.boxes().size(), 1) << from << ".." << to;
        const QString field = QString::fromLatin1(toInt32Fails(from) ? "From" : "To");
        EXPECT_EQ(rig.port.boxes().first(),
                  QStringLiteral("warning box: The receipt number in \"%1\" must be a whole number up to 2147483647.")
                      .arg(field));
        EXPECT_TRUE(rig.view.events.isEmpty()) << "the panes keep their lines";
        EXPECT_EQ(rig.readTimer.stops, 0);
        EXPECT_FALSE(QFile::exists(rig.journalPath()));
    }
}

TEST(JournalSearch, HugeRangeCostsNoMemoryAndEndsAtTheLastDocument)
{
    SearchRig rig(20);
    EXPECT_EQ(rig.find(byNumbers("0", "2147483647")), JournalSearch::Outcome::EndedOnError);
    EXPECT_EQ(rig.port.labelText, QStringLiteral("Document number is out of range"));
    EXPECT_EQ(rig.usb->requests().size(), 22u) << "identity, 20 headers, the 21st refused";
    EXPECT_TRUE(rig.port.boxes().contains(QStringLiteral("information box: Done")));
    EXPECT_TRUE(rig.readTimer.active);
}

TEST(JournalSearch, ErrorMidwayKeepsTheLinesReceived)
{
    // Requests: 1 identity, 2..4 headers, 5..7 the 26 lines of document 0;
    // the 8th, the first lines of document 1, is refused.
    SearchRig rig(30, QStringLiteral("error3@8"));
    ASSERT_EQ(rig.lineCount(0, 0), 26);
    EXPECT_EQ(rig.find(byNumbers("0", "2")), JournalSearch::Outcome::EndedOnError);
    EXPECT_EQ(readAll(rig.journalPath()), rig.expectedJournal(0, 0));
    EXPECT_EQ(rig.searchState.journal.JournalLineCount, 26);
    EXPECT_FALSE(rig.view.summary.isEmpty()) << "the finishing steps run on what arrived";
}

// A really full file system: the file keeps its whole lines only, the search
// holds what the file holds, and the index describes exactly that.
TEST(JournalSearch, AFullFileSystemLeavesWholeLinesAndAnIndexThatAgrees)
{
    SmallFileSystem fs(64);
    if (!fs.skipReason().empty())
        GTEST_SKIP() << fs.skipReason();
    SearchRig rig(200);
    SearchRequest r;
    r.mode = SearchRequest::Mode::All;
    r.directory = fs.path();
    EXPECT_EQ(rig.find(r), JournalSearch::Outcome::FileError);
    ASSERT_EQ(rig.port.boxes().size(), 1);
    EXPECT_TRUE(rig.port.boxes().first().endsWith(QLatin1String("No space left on device")))
        << rig.port.boxes().first().toStdString();

    const QByteArray kept = readAll(fs.filePath(JournalFileName(rig.fiscal)));
    const qint64 lines = kept.size() / 20;
    EXPECT_EQ(kept.size() % 20, 0) << "whole lines only";
    EXPECT_GT(lines, 0);
    EXPECT_TRUE(rig.expectedJournal(0, 199).startsWith(kept));
    EXPECT_EQ(rig.searchState.journal.JournalLineCount, lines);
    EXPECT_EQ(rig.searchState.journal.JournalLineCount, lines);

    DocumentIndex index;
    ASSERT_TRUE(index.open(fs.filePath(DocumentIndexFileName(rig.fiscal)), lines)) << index.error().toStdString();
    qint64 covered = 0;
    for (qint64 i = 0; i < index.size(); ++i) {
        const DocumentEntry e = index.at(i);
        EXPECT_LE(e.firstLine + e.lineCount, lines) << "document " << e.number;
        covered += e.lineCount;
    }
    EXPECT_EQ(covered, lines);
}

TEST(JournalSearch, UnwritableFolderIsReportedAndLeavesTheProgramUsable)
{
    SearchRig rig;
    SearchRequest r = byNumbers("1", "1");
    JournalSearch search(rig.context(), rig.requests, rig.searchState, rig.settings, rig.readTimer, rig.view);
    r.directory = QStringLiteral("/nonexistent-folder");
    r.fiscalMemory = rig.fiscal;
    EXPECT_EQ(search.run(r), JournalSearch::Outcome::FileError);
    ASSERT_EQ(rig.port.boxes().size(), 1);
    EXPECT_TRUE(
        rig.port.boxes().first().startsWith(QStringLiteral("error box: Cannot create file \"/nonexistent-folder/")));
    EXPECT_TRUE(rig.readTimer.active);
    EXPECT_TRUE(rig.port.findEnabled);
}

TEST(JournalSearch, DeviceFiscalNumberCannotEscapeTheFolder)
{
    SearchRig rig;
    rig.fiscal = QStringLiteral("../../etc/x");
    rig.find(byNumbers("1", "1"));
    EXPECT_TRUE(QFile::exists(rig.dir.filePath(QStringLiteral("Original_______etc_x.txt"))));
}

TEST(JournalSearch, SummaryAndElapsedFormats)
{
    EXPECT_EQ(JournalSearch::SummaryText(3, 185), QStringLiteral("Found 3 documents, 185 lines, about 1 pages"));
    EXPECT_EQ(JournalSearch::SummaryText(3, 186), QStringLiteral("Found 3 documents, 186 lines, about 2 pages"));
    EXPECT_EQ(JournalSearch::SummaryText(0, 0), QStringLiteral("Found 0 documents, 0 lines, about 1 pages"));
    const QDateTime start(QDate(2024, 1, 1), QTime(10, 0, 0));
    EXPECT_EQ(JournalSearch::ElapsedText(start, start.addSecs(3725)), QStringLiteral("01:02:05"));
    EXPECT_EQ(JournalSearch::ElapsedText(start, start.addSecs(86400 + 61)), QStringLiteral("00:01:01"));
}

} // namespace
