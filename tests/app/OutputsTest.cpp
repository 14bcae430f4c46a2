#include "tests/support/Controls.h"
#include "tests/support/GuiRig.h"
#include "journal/LineDecoding.h"
#include "app/PrintedReport.h"
#include "tests/support/SmallFileSystem.h"
#include "platform/spreadsheet/SpreadsheetDriver.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPageLayout>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <map>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the decoded report of the last search must hold.
QByteArray expectedDecoded(const GuiRig &gui)
{
    QByteArray out;
    for (const QByteArray &raw : fileBytes(gui.journalPath()).split('\n')) {
        if (raw.isEmpty())
            continue;
        out += ConvertJournalLine(raw.chopped(1), gui.main->lastSearch().journal.lineWidth).toUtf8() + "\r\n";
    }
    return out;
}

void searchAll(GuiRig &gui)
{
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    gui.dialogs.shown.clear();
}

SimulatorOptions documents(quint32 n)
{
    SimulatorOptions o;
    o.documents = n;
    return o;
}

TEST(TextExport, WritesEveryDecodedLine)
{
    GuiRig gui(documents(12));
    searchAll(gui);
    const QString path = gui.dir.filePath(QStringLiteral("report.txt"));
    gui.dialogs.saveNames = {path, path};
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    EXPECT_EQ(gui.dialogs.shown,
              (QStringList{QStringLiteral("save dialog: Save to file | TXT files (*.txt);;All files (*.*) | txt"),
                           QStringLiteral("information: Success.")}));
    const QByteArray written = fileBytes(path);
    EXPECT_EQ(written, expectedDecoded(gui));
    EXPECT_TRUE(QString::fromUtf8(written).contains(QStringLiteral("Ферхадија")));
    EXPECT_TRUE(written.startsWith("(Logo)"));
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    EXPECT_EQ(fileBytes(path), written) << "the same file again";
}

TEST(TextExport, CancelUnwritableAndNoSearch)
{
    GuiRig gui;
    Control<QToolButton>(gui.main, "ExportBtn")->click(); // cancelled: nothing
    EXPECT_EQ(gui.dialogs.shown.size(), 1);

    gui.dialogs.shown.clear();
    gui.dialogs.saveNames = {QStringLiteral("/nonexistent-folder/r.txt")};
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    ASSERT_EQ(gui.dialogs.shown.size(), 2);
    EXPECT_TRUE(
        gui.dialogs.shown[1].startsWith(QStringLiteral("error: Cannot create file \"/nonexistent-folder/r.txt\". ")));

    gui.dialogs.shown.clear();
    const QString empty = gui.dir.filePath(QStringLiteral("empty.txt"));
    gui.dialogs.saveNames = {empty};
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    EXPECT_EQ(gui.dialogs.shown.last(), QStringLiteral("information: Success."));
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(fileBytes(empty), QByteArray());
}

TEST(TextExport, FullDiskIsAnErrorNotASuccess)
{
    GuiRig gui(documents(12));
    searchAll(gui);
    gui.dialogs.saveNames = {QStringLiteral("/dev/full")};
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    ASSERT_EQ(gui.dialogs.shown.size(), 2);
    EXPECT_EQ(gui.dialogs.shown[1], QStringLiteral("error: Cannot write file \"/dev/full\". No space left on device"));
}

// A search whose journal file is /dev/full fails at its first line; reading
// that device gives endless zeros. The text export holds the lines the
// search wrote (none), and ends.
TEST(TextExport, ReadsTheLinesTheSearchWroteNotTheWholeFile)
{
    GuiRig gui(documents(12));
    gui.tick();
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), gui.journalPath()));
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    gui.dialogs.shown.clear();
    const QString exported = gui.dir.filePath(QStringLiteral("export.txt"));
    gui.dialogs.saveNames = {exported};
    Control<QToolButton>(gui.main, "ExportBtn")->click();
    ASSERT_FALSE(gui.dialogs.shown.isEmpty());
    EXPECT_EQ(gui.dialogs.shown.last(), QStringLiteral("information: Success."));
    EXPECT_EQ(fileBytes(exported), QByteArray());
}

// A spreadsheet application that writes down the calls made of it.
class RecordingSpreadsheet final : public SpreadsheetDriver
{
public:
    struct Log
    {
        QStringList calls;
        QByteArray textSeen;
    };
    explicit RecordingSpreadsheet(std::shared_ptr<Log> log, bool installed = true, QString failAt = {})
        : m_log(std::move(log))
        , m_installed(installed)
        , m_failAt(std::move(failAt))
    {}
    bool isInstalled() const override { return m_installed; }
    std::unique_ptr<SpreadsheetApplication> createApplication() override;

private:
    class App;
    std::shared_ptr<Log> m_log;
    bool m_installed;
    QString m_failAt;
};

class RecordingSpreadsheet::App final : public SpreadsheetApplication
{
public:
    App(std::shared_ptr<Log> log, QString failAt) : m_log(std::move(log)), m_failAt(std::move(failAt)) {}
    ~App() override { m_log->calls << QStringLiteral("release"); }
    void openWorkbook(const QString &text) override
    {
        step(QStringLiteral("open ") + QFileInfo(text).fileName());
        m_log->textSeen = fileBytes(text);
    }
    void saveFirstWorkbookAs(const QString &file) override
    {
        step(QStringLiteral("save ") + QFileInfo(file).fileName());
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("workbook");
    }
    bool makeVisible() override
    {
        step(QStringLiteral("visible"));
        return m_failAt != QLatin1String("hidden");
    }

private:
    void step(const QString &call)
    {
        m_log->calls << call;
        if (call.startsWith(m_failAt) && !m_failAt.isEmpty())
            throw SpreadsheetError("scripted failure");
    }
    std::shared_ptr<Log> m_log;
    QString m_failAt;
};

std::unique_ptr<SpreadsheetApplication> RecordingSpreadsheet::createApplication()
{
    m_log->calls << QStringLiteral("create");
    if (m_failAt == QLatin1String("create"))
        throw SpreadsheetError("scripted failure");
    return std::make_unique<App>(m_log, m_failAt);
}

QRegularExpressionMatch matchCall(const QString &call, const char *pattern)
{
    return QRegularExpression(QLatin1String(pattern)).match(call);
}

TEST(SpreadsheetExport, HandsTheDecodedLinesOverAndCleansUp)
{
    GuiRig gui(documents(5));
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    gui.main->setSpreadsheetDriver(std::make_unique<RecordingSpreadsheet>(log));
    searchAll(gui);
    Control<QToolButton>(gui.main, "ExcelBtn")->click();
    EXPECT_TRUE(gui.dialogs.shown.isEmpty());
    ASSERT_EQ(log->calls.size(), 5);
    EXPECT_EQ(log->calls[0], QStringLiteral("create"));
    EXPECT_TRUE(matchCall(log->calls[1], "^open temp_\\d{14}\\.txt$").hasMatch()) << log->calls[1].toStdString();
    EXPECT_TRUE(matchCall(log->calls[2], "^save Report\\d{14}\\.xls$").hasMatch()) << log->calls[2].toStdString();
    EXPECT_EQ(log->calls[3], QStringLiteral("visible"));
    EXPECT_EQ(log->calls[4], QStringLiteral("release"));
    EXPECT_EQ(log->textSeen, expectedDecoded(gui));
    const QStringList left = QDir(gui.dir.path()).entryList({QStringLiteral("temp_*"), QStringLiteral("Report*")});
    ASSERT_EQ(left.size(), 1) << left.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(left[0].startsWith(QStringLiteral("Report")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is back";
}

TEST(SpreadsheetExport, RefusalsAndFailures)
{
    struct Case
    {
        const char *name;
        bool installed;
        bool searched;
        const char *failAt;
        QStringList boxes;
        bool tempLeft;
    };
    const Case cases[] = {
        {"not installed", false, true, "", {"error: Excel is missing. Please install it first"}, false},
        {"not installed, no search", false, false, "", {"error: Excel is missing. Please install it first"}, false},
        {"no search", true, false, "", {"warning: Please make new search"}, false},
        {"cannot start", true, true, "create", {"error: Error in Excel"}, false},
        {"save fails", true, true, "save", {"error: Error in Excel"}, true},
    };
    for (const auto &c : cases) {
        GuiRig gui(documents(3));
        auto log = std::make_shared<RecordingSpreadsheet::Log>();
        gui.main->setSpreadsheetDriver(
            std::make_unique<RecordingSpreadsheet>(log, c.installed, QLatin1String(c.failAt)));
        if (c.searched)
            searchAll(gui);
        Control<QToolButton>(gui.main, "ExcelBtn")->click();
        EXPECT_EQ(gui.dialogs.shown, c.boxes) << c.name;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
        EXPECT_EQ(!QDir(gui.dir.path()).entryList({QStringLiteral("temp_*")}).isEmpty(), c.tempLeft) << c.name;
        if (QString::fromLatin1(c.failAt) == QLatin1String("save")) {
            EXPECT_EQ(log->calls.last(), QStringLiteral("release")) << c.name;
        }
    }
}

TEST(SpreadsheetExport, AReportThatCannotBeShownIsNamed)
{
    GuiRig gui(documents(3));
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    gui.main->setSpreadsheetDriver(std::make_unique<RecordingSpreadsheet>(log, true, QStringLiteral("hidden")));
    searchAll(gui);
    Control<QToolButton>(gui.main, "ExcelBtn")->click();
    const QStringList reports = QDir::current().entryList({QStringLiteral("Report*.xls")});
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(gui.dialogs.shown,
              QStringList{QStringLiteral("information: The report was saved as \"%1\"; the spreadsheet program cannot "
                                         "show it here.")
                              .arg(QDir::current().filePath(reports[0]))});
}

TEST(SpreadsheetExport, TemporaryFileOnAFullDiskIsAnError)
{
    GuiRig gui(documents(5));
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    gui.main->setSpreadsheetDriver(std::make_unique<RecordingSpreadsheet>(log));
    searchAll(gui);
    // The name carries the second it is made in: every name of the next
    // seconds leads to /dev/full.
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 5; ++s) {
        const QString name = QStringLiteral("temp_") + now.addSecs(s).toString(QStringLiteral("yyyyMMddHHmmss"))
                             + QStringLiteral(".txt");
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), QDir::current().filePath(name)));
    }
    Control<QToolButton>(gui.main, "ExcelBtn")->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("error: Error in Excel")});
    EXPECT_FALSE(log->calls.contains(QStringLiteral("visible")));
    EXPECT_EQ(log->calls.filter(QStringLiteral("save")).size(), 0) << "no report from a text that was never written";
}

TEST(PrintedReport, RefusesWithoutASearchAndCancelsQuietly)
{
    GuiRig gui;
    Control<QToolButton>(gui.main, "PrintBtn")->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("warning: Please make new search")});
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    gui.dialogs.shown.clear();
    Control<QToolButton>(gui.main, "PrintBtn")->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("print dialog")});
}

// Qt's PDF writer says nothing of a write that failed; the program does, and
// names the file.
TEST(PrintedReport, APdfFileThatCannotBeWrittenIsAnError)
{
    SmallFileSystem fs(64);
    GuiRig gui(documents(80));
    searchAll(gui);
    QStringList targets{QStringLiteral("/dev/full")};
    if (fs.skipReason().empty()) {
        fs.fill();
        targets << fs.filePath(QStringLiteral("report.pdf"));
    } else {
        std::printf("a full file system is not tried: %s\n", fs.skipReason().c_str());
    }
    for (const QString &target : targets) {
        gui.dialogs.shown.clear();
        gui.dialogs.pdfPath = target;
        gui.dialogs.printerChoices = {true};
        Control<QToolButton>(gui.main, "PrintBtn")->click();
        ASSERT_EQ(gui.dialogs.shown.size(), 2) << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(gui.dialogs.shown[1],
                  QStringLiteral("error: Cannot write file \"%1\". No space left on device").arg(target));
    }
}

int pdfPages(const QByteArray &pdf)
{
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ")
               + pdf.count("/Type /Page/"));
}

TEST(PrintedReport, PrintsEveryLineToPdf)
{
    GuiRig gui(documents(80));
    searchAll(gui);
    gui.dialogs.pdfPath = gui.dir.filePath(QStringLiteral("report.pdf"));
    gui.dialogs.printerChoices = {true};
    Control<QToolButton>(gui.main, "PrintBtn")->click();
    const QByteArray pdf = fileBytes(gui.dialogs.pdfPath);
    ASSERT_TRUE(pdf.startsWith("%PDF")) << "a PDF was printed";

    // The same report, counted by the layout: the PDF has its pages.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gui.dir.filePath(QStringLiteral("again.pdf")));
    const int pages = PrintJournalReport(printer, gui.main->lastSearch().journal, gui.main->lastSearch().Title,
                                         QDateTime::currentDateTime());
    EXPECT_GE(pages, 2);
    EXPECT_EQ(pdfPages(pdf), pages);
    EXPECT_EQ(pdfPages(fileBytes(printer.outputFileName())), pages);
}

TEST(PrintedReport, EmptyResultPrintsOnePageWithTheHeader)
{
    GuiRig gui(documents(5));
    gui.tick();
    Control<QRadioButton>(gui.main, "ByDocRadio")->click();
    Control<QLineEdit>(gui.main, "FromNumberEdit")->setText(QStringLiteral("3"));
    Control<QLineEdit>(gui.main, "ToNumberEdit")->setText(QStringLiteral("2"));
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gui.dir.filePath(QStringLiteral("empty.pdf")));
    EXPECT_EQ(PrintJournalReport(printer, gui.main->lastSearch().journal, gui.main->lastSearch().Title,
                                 QDateTime::currentDateTime()),
              1);
    EXPECT_EQ(pdfPages(fileBytes(printer.outputFileName())), 1);
}

} // namespace

namespace {

// One word of a printed page as poppler reads it from the PDF, in points
// from the paper's top-left corner.
struct PdfWord
{
    int page = 0;
    double xMin = 0, yMin = 0;
    QString text;
};

QList<PdfWord> PdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000)) << "pdftotext (poppler-utils) runs";
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<PdfWord> words;
    int page = 0;
    static const QRegularExpression token(QStringLiteral(
        "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return words;
}

// The paper, its margins and the printer's resolution, fixed here, so the
// expected places follow from the report's rules alone: millimetres of the
// printable area scaled to the whole paper's device units, the bottom limit
// four line pitches above the printable area's foot, a new page when the next
// column would reach within 35 mm of the printable area's right edge.
constexpr double PaperW = 210, PaperH = 297; // A4, mm
constexpr int Dpi = 1200;                    // QPrinter::HighResolution to PDF
struct Margins
{
    double left, top, right, bottom;
};
// Top and bottom differ from left and right, so the printable area's
// proportions differ from the paper's: a vertical place computed with the
// horizontal rule lands elsewhere.
constexpr Margins Narrow{5, 30, 25, 25}; // the paper's width and the printable width far apart
constexpr Margins Usual{5, 30, 10, 25};  // the header's right-hand texts stay on the paper

double UnitsPerMm()
{
    return Dpi / 25.4;
}
int Units(double mm)
{
    return int(mm * UnitsPerMm());
}
int XUnits(double mm, const Margins &m)
{
    return int(std::nearbyint(mm / (PaperW - m.left - m.right) * Units(PaperW)));
}
int YUnits(double mm, const Margins &m)
{
    return int(std::nearbyint(mm / (PaperH - m.top - m.bottom) * Units(PaperH)));
}
double PointsX(int units, const Margins &m)
{
    return m.left / 25.4 * 72 + units * 72.0 / Dpi;
}
double PointsY(int units, const Margins &m)
{
    return m.top / 25.4 * 72 + units * 72.0 / Dpi;
}

TEST(PrintedReport, PdfPagesHoldTheLinesWhereTheLayoutPutsThem)
{
    QTemporaryDir dir;
    JournalFileInfo journal{dir.filePath(QStringLiteral("Original_X.txt")), 18, 0, true};
    {
        JournalFileWriter w(journal.path, 18);
        for (int i = 0; i < 700; ++i)
            w.writeLine(QStringLiteral("Z%1").arg(i, 5, 10, QLatin1Char('0')).toLatin1());
        w.close();
        journal.JournalLineCount = w.lineCount();
    }
    auto print = [&](const QString &name, const Margins &m, int from, int to) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(m.left, m.top, m.right, m.bottom), QPageLayout::Millimeter));
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        const int hash =
            QFontMetrics(QFont(QStringLiteral("Courier New"), 8), &printer).horizontalAdvance(QLatin1Char('#'));
        PrintJournalReport(printer, journal, QStringLiteral("all stored documents"),
                           QDateTime(QDate(2025, 1, 17), QTime(10, 30)));
        return std::make_pair(PdfWords(printer.outputFileName()), hash);
    };
    const Margins &m = Narrow;
    auto [words, hash] = print(QStringLiteral("all.pdf"), m, 0, 0);

    // Body lines of page 1, by column.
    const int pitch = int(std::nearbyint(1.5 * std::floor(8.0 * Dpi / 72 + 0.5)));
    const int top = YUnits(20, m);
    const int bottom = Units(PaperH - m.top - m.bottom) - 4 * pitch;
    const int linesPerColumn = (bottom - top + pitch - 1) / pitch;
    const int step = hash * 18 + XUnits(10, m);
    int columns = 1;
    while (XUnits(15, m) + columns * step <= Units(PaperW - m.left - m.right) - XUnits(35, m))
        ++columns;
    const int perPage = linesPerColumn * columns;
    std::map<int, int> perColumn;
    int pages = 0;
    for (const PdfWord &w : words) {
        pages = std::max(pages, w.page);
        if (w.page == 1 && w.text.startsWith(QLatin1Char('Z')))
            ++perColumn[int(std::lround(w.xMin))];
    }
    EXPECT_EQ(pages, (700 + perPage - 1) / perPage);
    ASSERT_EQ(int(perColumn.size()), columns) << "columns on page 1";
    for (const auto &[x, n] : perColumn)
        EXPECT_EQ(n, linesPerColumn) << "lines in the column at x " << x << " pt";
    int k = 0;
    for (const auto &[x, n] : perColumn)
        EXPECT_NEAR(x, PointsX(XUnits(15, m) + k++ * step, m), 1.0);

    auto find = [&](int page, const QString &text) {
        for (const PdfWord &w : words) {
            if (w.page == page && w.text == text)
                return w;
        }
        ADD_FAILURE() << "no \"" << text.toStdString() << "\" on page " << page;
        return PdfWord{};
    };
    // The places of the header and of the first line, in points.
    const PdfWord title = find(1, QStringLiteral("Electronic"));
    EXPECT_NEAR(title.xMin, PointsX(XUnits(25, m), m), 1.5);
    EXPECT_NEAR(title.yMin, PointsY(YUnits(5, m), m), 2.0);
    const PdfWord first = find(1, QStringLiteral("Z00000"));
    EXPECT_NEAR(first.yMin, PointsY(top, m), 2.0);
    const PdfWord second = find(1, QStringLiteral("Z00001"));
    EXPECT_NEAR(second.yMin - first.yMin, pitch * 72.0 / Dpi, 0.2);

    // Pages 2 to 3 of the dialog: two pages, numbered as in the whole report,
    // the page number and the date at their places.
    const Margins &u = Usual;
    const auto [range, unused] = print(QStringLiteral("range.pdf"), u, 2, 3);
    Q_UNUSED(unused);
    words = range;
    const PdfWord number = find(1, QStringLiteral("Page"));
    EXPECT_NEAR(number.xMin, PointsX(XUnits(170, u), u), 1.5);
    EXPECT_NEAR(number.yMin, PointsY(YUnits(5, u), u), 2.0);
    const PdfWord date = find(1, QStringLiteral("17.01.2025"));
    EXPECT_NEAR(date.xMin, PointsX(XUnits(170, u), u), 1.5);
    EXPECT_NEAR(date.yMin, PointsY(YUnits(10, u), u), 2.0);
    QStringList numbers;
    int rangePages = 0;
    for (int i = 0; i + 1 < range.size(); ++i) {
        rangePages = std::max(rangePages, range[i].page);
        if (range[i].text == QLatin1String("Page"))
            numbers << QStringLiteral("%1:%2").arg(range[i].page).arg(range[i + 1].text);
    }
    EXPECT_EQ(rangePages, 2);
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("1:2"), QStringLiteral("2:3")}));
    EXPECT_EQ(range.first().page, 1);
    EXPECT_FALSE(range.isEmpty());
    EXPECT_NE(range.first().text, QStringLiteral("Z00000")) << "the range starts with the report's page 2";
    bool page1Line = false;
    for (const PdfWord &w : range)
        page1Line |= w.text == QLatin1String("Z00000");
    EXPECT_FALSE(page1Line) << "no line of page 1 is printed";
}

} // namespace

// The device type chosen after a read is for the next read: the result on
// screen, the text export and the printed report keep the width its lines
// were read with. (A fiscal printer's 32-character lines printed in columns
// 18 characters wide were cut.)
TEST(Outputs, KeepTheWidthTheResultWasReadWithWhenTheDeviceTypeChanges)
{
    SimulatorOptions printer = documents(60);
    printer.deviceType = DeviceType::FiscalPrinter;
    GuiRig gui(printer);
    gui.main->chooseDeviceType(DeviceType::FiscalPrinter);
    searchAll(gui);
    ASSERT_EQ(gui.main->lastSearch().journal.lineWidth, 32);
    auto *decoded = Control<QTextEdit>(gui.main, "ConvertMemo");
    auto *bar = Control<QScrollBar>(gui.main, "OriginalScrollBar");
    ASSERT_GT(bar->maximum(), 0);
    auto outputs = [&](const QString &name) {
        bar->setValue(bar->maximum());
        bar->setValue(0); // the first window, loaded again
        gui.dialogs.saveNames = {gui.dir.filePath(name + QStringLiteral(".txt"))};
        Control<QToolButton>(gui.main, "ExportBtn")->click();
        gui.dialogs.pdfPath = gui.dir.filePath(name + QStringLiteral(".pdf"));
        gui.dialogs.printerChoices = {true};
        Control<QToolButton>(gui.main, "PrintBtn")->click();
        return decoded->toPlainText();
    };
    const QString shownAsRead = outputs(QStringLiteral("read"));

    Control<QRadioButton>(gui.main, "CashRegisterItem")->click();
    ASSERT_EQ(gui.main->settings().LineWidth, 18);
    EXPECT_EQ(outputs(QStringLiteral("switched")), shownAsRead);
    const QByteArray text = fileBytes(gui.dir.filePath(QStringLiteral("switched.txt")));
    EXPECT_EQ(text, expectedDecoded(gui));
    EXPECT_EQ(text, fileBytes(gui.dir.filePath(QStringLiteral("read.txt"))));

    const QList<PdfWord> asRead = PdfWords(gui.dir.filePath(QStringLiteral("read.pdf")));
    const QList<PdfWord> switched = PdfWords(gui.dir.filePath(QStringLiteral("switched.pdf")));
    ASSERT_FALSE(asRead.isEmpty());
    ASSERT_EQ(switched.size(), asRead.size());
    for (qsizetype i = 0; i < asRead.size(); ++i) {
        EXPECT_EQ(switched[i].page, asRead[i].page) << i;
        EXPECT_EQ(switched[i].xMin, asRead[i].xMin) << i << " " << asRead[i].text.toStdString();
        if (switched[i].text != asRead[i].text && !asRead[i].text.contains(QLatin1Char(':'))) {
            ADD_FAILURE() << "word " << i << ": " << switched[i].text.toStdString() << " against "
                          << asRead[i].text.toStdString();
            break;
        }
    }
}
