#include "GuiRig.h"
#include "LineDecoding.h"
#include "PrintedReport.h"
#include "SpreadsheetDriver.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
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
        out += ConvertJournalLine(raw.chopped(1), gui.main->Settings.LineWidth).toUtf8() + "\r\n";
    }
    return out;
}

void searchAll(GuiRig &gui)
{
    gui.tick();
    gui.main->AllRadio->click();
    gui.main->FindBtn->click();
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
    gui.main->ExportBtn->click();
    EXPECT_EQ(gui.dialogs.shown,
              (QStringList{QStringLiteral("save dialog: Save to file | TXT files (*.txt);;All files (*.*) | txt"),
                           QStringLiteral("information: Success.")}));
    const QByteArray written = fileBytes(path);
    EXPECT_EQ(written, expectedDecoded(gui));
    EXPECT_TRUE(QString::fromUtf8(written).contains(QStringLiteral("Ферхадија")));
    EXPECT_TRUE(written.startsWith("(Logo)"));
    gui.main->ExportBtn->click();
    EXPECT_EQ(fileBytes(path), written) << "the same file again";
}

TEST(TextExport, CancelUnwritableAndNoSearch)
{
    GuiRig gui;
    gui.main->ExportBtn->click(); // cancelled: nothing
    EXPECT_EQ(gui.dialogs.shown.size(), 1);

    gui.dialogs.shown.clear();
    gui.dialogs.saveNames = {QStringLiteral("/nonexistent-folder/r.txt")};
    gui.main->ExportBtn->click();
    ASSERT_EQ(gui.dialogs.shown.size(), 2);
    EXPECT_TRUE(gui.dialogs.shown[1].startsWith(QStringLiteral("error: Cannot create file \"/nonexistent-folder/r.txt\". ")));

    gui.dialogs.shown.clear();
    const QString empty = gui.dir.filePath(QStringLiteral("empty.txt"));
    gui.dialogs.saveNames = {empty};
    gui.main->ExportBtn->click();
    EXPECT_EQ(gui.dialogs.shown.last(), QStringLiteral("information: Success."));
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(fileBytes(empty), QByteArray());
}

TEST(TextExport, FullDiskIsAnErrorNotASuccess)
{
    GuiRig gui(documents(12));
    searchAll(gui);
    gui.dialogs.saveNames = {QStringLiteral("/dev/full")};
    gui.main->ExportBtn->click();
    ASSERT_EQ(gui.dialogs.shown.size(), 2);
    EXPECT_EQ(gui.dialogs.shown[1], QStringLiteral("error: Cannot write file \"/dev/full\". No space left on device"));
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
        : m_log(std::move(log)), m_installed(installed), m_failAt(std::move(failAt))
    {
    }
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
    gui.main->ExcelBtn->click();
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
        gui.main->setSpreadsheetDriver(std::make_unique<RecordingSpreadsheet>(log, c.installed, QLatin1String(c.failAt)));
        if (c.searched)
            searchAll(gui);
        gui.main->ExcelBtn->click();
        EXPECT_EQ(gui.dialogs.shown, c.boxes) << c.name;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
        EXPECT_EQ(!QDir(gui.dir.path()).entryList({QStringLiteral("temp_*")}).isEmpty(), c.tempLeft) << c.name;
        if (QString::fromLatin1(c.failAt) == QLatin1String("save"))
            EXPECT_EQ(log->calls.last(), QStringLiteral("release")) << c.name;
    }
}

TEST(SpreadsheetExport, AReportThatCannotBeShownIsNamed)
{
    GuiRig gui(documents(3));
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    gui.main->setSpreadsheetDriver(std::make_unique<RecordingSpreadsheet>(log, true, QStringLiteral("hidden")));
    searchAll(gui);
    gui.main->ExcelBtn->click();
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
    gui.main->ExcelBtn->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("error: Error in Excel")});
    EXPECT_FALSE(log->calls.contains(QStringLiteral("visible")));
    EXPECT_EQ(log->calls.filter(QStringLiteral("save")).size(), 0) << "no report from a text that was never written";
}

TEST(PrintedReport, RefusesWithoutASearchAndCancelsQuietly)
{
    GuiRig gui;
    gui.main->PrintBtn->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("warning: Please make new search")});
    gui.tick();
    gui.main->AllRadio->click();
    gui.main->FindBtn->click();
    gui.dialogs.shown.clear();
    gui.main->PrintBtn->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("print dialog")});
}

int pdfPages(const QByteArray &pdf)
{
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/"));
}

TEST(PrintedReport, PrintsEveryLineToPdf)
{
    GuiRig gui(documents(80));
    searchAll(gui);
    gui.dialogs.pdfPath = gui.dir.filePath(QStringLiteral("report.pdf"));
    gui.dialogs.printerChoices = {true};
    gui.main->PrintBtn->click();
    const QByteArray pdf = fileBytes(gui.dialogs.pdfPath);
    ASSERT_TRUE(pdf.startsWith("%PDF")) << "a PDF was printed";

    // The same report, counted by the layout: the PDF has its pages.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gui.dir.filePath(QStringLiteral("again.pdf")));
    const int pages = PrintJournalReport(printer, gui.main->Search.journal, 18, gui.main->Search.Title, QDateTime::currentDateTime());
    EXPECT_GE(pages, 2);
    EXPECT_EQ(pdfPages(pdf), pages);
    EXPECT_EQ(pdfPages(fileBytes(printer.outputFileName())), pages);
}

TEST(PrintedReport, EmptyResultPrintsOnePageWithTheHeader)
{
    GuiRig gui(documents(5));
    gui.tick();
    gui.main->ByDocRadio->click();
    gui.main->FromNumberEdit->setText(QStringLiteral("3"));
    gui.main->ToNumberEdit->setText(QStringLiteral("2"));
    gui.main->FindBtn->click();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(gui.dir.filePath(QStringLiteral("empty.pdf")));
    EXPECT_EQ(PrintJournalReport(printer, gui.main->Search.journal, 18, gui.main->Search.Title, QDateTime::currentDateTime()), 1);
    EXPECT_EQ(pdfPages(fileBytes(printer.outputFileName())), 1);
}

} // namespace
