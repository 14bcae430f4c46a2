// The main window's three outputs: text report, spreadsheet report and
// printed report. All of them read the lines of the last search from the
// journal file, one at a time.
#include "MainUnit.h"

#include "PrintedReport.h"
#include "platform/spreadsheet/SpreadsheetDriver.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPrinter>

namespace {

QString stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
}

} // namespace

void TMainForm::setSpreadsheetDriver(std::unique_ptr<SpreadsheetDriver> driver)
{
    m_spreadsheet = std::move(driver);
}

void TMainForm::writeDecodedLines(const QString &path)
{
    if (Search.journal.written) {
        WriteDecodedFile(Search.journal, path);
        return;
    }
    // No search yet: an empty report.
    QFile empty(path);
    if (!empty.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw JournalFileError(CannotCreateText(path, empty.errorString()));
    CloseWrittenFile(empty);
}

void TMainForm::ExportBtnClick()
{
    const QString path = m_dialogs.saveFileName(this, tr("Save to file"), SaveDialogDirectory,
                                                tr("TXT files (*.txt);;All files (*.*)"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    try {
        writeDecodedLines(path);
    } catch (const JournalFileError &e) {
        m_port.messageBox(MessagePort::Box::Error, e.message());
        return;
    }
    m_port.messageBox(MessagePort::Box::Information, tr("Success."));
}

void TMainForm::ExcelBtnClick()
{
    if (!m_spreadsheet || !m_spreadsheet->isInstalled()) {
        m_port.messageBox(MessagePort::Box::Error, tr("Excel is missing. Please install it first"));
        return;
    }
    if (!Search.journal.written || Search.journal.JournalLineCount == 0) {
        m_port.messageBox(MessagePort::Box::Warning, tr("Please make new search"));
        return;
    }
    m_port.showBusyPointer();
    QString temporary;
    QString report;
    bool shown = false;
    try {
        const std::unique_ptr<SpreadsheetApplication> calc = m_spreadsheet->createApplication();
        temporary = QDir::current().filePath(QStringLiteral("temp_") + stamp() + QStringLiteral(".txt"));
        writeDecodedLines(temporary);
        calc->openWorkbook(temporary);
        report = QDir::current().filePath(QStringLiteral("Report") + stamp() + QStringLiteral(".xls"));
        calc->saveFirstWorkbookAs(report);
        shown = calc->makeVisible();
    } catch (const std::exception &) {
        // The failure's own words mean nothing to the user here.
        m_port.restoreBusyPointer();
        m_port.messageBox(MessagePort::Box::Error, tr("Error in Excel"));
        return;
    }
    if (!QFile::remove(temporary))
        m_port.beep();
    m_port.restoreBusyPointer();
    if (!shown) {
        // Only a headless Calc here: the report exists, so say where.
        m_port.messageBox(MessagePort::Box::Information,
                          tr("The report was saved as \"%1\"; the spreadsheet program cannot show it here.")
                              .arg(QDir::toNativeSeparators(report)));
    }
}

void TMainForm::PrintBtnClick()
{
    if (Search.SearchType == SearchRequest::Mode::None) {
        m_port.messageBox(MessagePort::Box::Warning, tr("Please make new search"));
        return;
    }
    const QDateTime printedAt = QDateTime::currentDateTime();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QLatin1String(ReportJobTitle));
    if (!m_dialogs.choosePrinter(this, printer))
        return;
    m_port.showBusyPointer();
    try {
        PrintJournalReport(printer, Search.journal, Search.Title, printedAt);
    } catch (const JournalFileError &e) {
        m_port.restoreBusyPointer();
        m_port.messageBox(MessagePort::Box::Error, e.message());
        return;
    }
    m_port.restoreBusyPointer();
}
