#include "SpreadsheetDriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Each journal line one cell of column A: tab-separated (the decoded lines
// hold no tabs), no text delimiter (a quote is journal text), UTF-8, from
// the first line, column 1 as text so spaces and leading zeros stay.
const QString TextImportFilter = QStringLiteral("Text - txt - csv (StarCalc):9,0,76,1,1/2");
const QString Excel97Filter = QStringLiteral("xls:MS Excel 97");

class CalcSession final : public SpreadsheetApplication
{
public:
    CalcSession(QString soffice, std::function<bool(const QString &)> show)
        : m_soffice(std::move(soffice))
        , m_show(std::move(show))
    {
        if (!m_profile.isValid() || !m_output.isValid())
            throw SpreadsheetError("cannot make a private LibreOffice profile");
    }

    void openWorkbook(const QString &textFile) override
    {
        if (!QFileInfo(textFile).isReadable())
            throw SpreadsheetError("the text file cannot be read");
        m_text = QFileInfo(textFile).absoluteFilePath();
    }

    void saveFirstWorkbookAs(const QString &workbookFile) override
    {
        if (m_text.isEmpty())
            throw SpreadsheetError("no workbook is open");
        QProcess calc;
        calc.setProcessChannelMode(QProcess::MergedChannels);
        calc.start(m_soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                               QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(m_profile.path()).toString(),
                               QStringLiteral("--infilter=") + TextImportFilter, QStringLiteral("--convert-to"),
                               Excel97Filter, QStringLiteral("--outdir"), m_output.path(), m_text});
        if (!calc.waitForStarted(30'000))
            throw SpreadsheetError("LibreOffice did not start");
        if (!calc.waitForFinished(LibreOfficeCalc::ConversionTimeoutMs)) {
            calc.kill();
            calc.waitForFinished(5'000);
            throw SpreadsheetError("LibreOffice did not finish");
        }
        const QString made = QDir(m_output.path()).filePath(QFileInfo(m_text).completeBaseName() + QStringLiteral(".xls"));
        if (calc.exitStatus() != QProcess::NormalExit || calc.exitCode() != 0 || !QFile::exists(made))
            throw SpreadsheetError("LibreOffice could not save the workbook");
        // A report of the same name is replaced, as a save under that name would.
        QFile::remove(workbookFile);
        if (!QFile::rename(made, workbookFile) && !(QFile::copy(made, workbookFile)))
            throw SpreadsheetError("the workbook cannot be written where it belongs");
        m_saved = QFileInfo(workbookFile).absoluteFilePath();
    }

    void makeVisible() override
    {
        if (m_saved.isEmpty() || !m_show(m_saved))
            throw SpreadsheetError("the workbook cannot be shown");
    }

private:
    QString m_soffice;
    std::function<bool(const QString &)> m_show;
    QTemporaryDir m_profile;
    QTemporaryDir m_output;
    QString m_text;
    QString m_saved;
};

} // namespace

LibreOfficeCalc::LibreOfficeCalc(QString soffice, std::function<bool(const QString &)> show)
    : m_soffice(soffice.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("soffice")) : std::move(soffice))
    , m_show(std::move(show))
{
    if (!m_show) {
        const QString program = m_soffice;
        m_show = [program](const QString &workbook) {
            return QProcess::startDetached(program, {QStringLiteral("--calc"), workbook});
        };
    }
}

bool LibreOfficeCalc::isInstalled() const
{
    const QFileInfo info(m_soffice);
    return !m_soffice.isEmpty() && info.isFile() && info.isExecutable();
}

std::unique_ptr<SpreadsheetApplication> LibreOfficeCalc::createApplication()
{
    if (!isInstalled())
        throw SpreadsheetError("LibreOffice is not installed");
    return std::make_unique<CalcSession>(m_soffice, m_show);
}
