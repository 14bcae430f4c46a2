#include "SpreadsheetDriver.h"

#include <QDir>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>

namespace {

const QString Excel97Filter = QStringLiteral("xls:MS Excel 97");

// An Excel 97 sheet has this many rows; a longer report goes on in the next
// sheet, so every line reaches the workbook.
constexpr qsizetype RowsPerSheet = 65536;
// Liberation Mono (metric twin of Courier New) advances 0.6 em: at 10 pt a
// character is 0.2117 cm wide.
constexpr double CharacterWidthCm = 0.2117;
constexpr double ColumnPaddingCm = 0.3;

QString SheetName(qsizetype first, qsizetype last)
{
    return QStringLiteral("Lines %1-%2").arg(first).arg(last);
}

// One line as the text of an ODF paragraph: markup escaped, every run of
// blanks kept (XML would fold it), control characters, which XML cannot
// carry, shown as their Unicode pictures.
void AppendParagraphText(QByteArray &xml, const QString &line)
{
    QString out;
    out.reserve(line.size() + 16);
    for (qsizetype i = 0; i < line.size();) {
        const QChar c = line[i];
        if (c == QLatin1Char(' ')) {
            qsizetype n = 0;
            while (i < line.size() && line[i] == QLatin1Char(' ')) {
                ++n;
                ++i;
            }
            out += QStringLiteral("<text:s text:c=\"%1\"/>").arg(n);
            continue;
        }
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("<text:tab/>");
        else if (c.unicode() < 0x20)
            out += QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            out += QChar(0xFFFD);
        else
            out += c;
        ++i;
    }
    xml += out.toUtf8();
}

// The decoded lines of textFile, one a line, CR LF, UTF-8.
template <class Visit>
void ForEachTextLine(QFile &file, Visit visit)
{
    file.seek(0);
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        visit(QString::fromUtf8(raw));
    }
}

// Writes the report as a flat ODF spreadsheet for Calc to save as Excel 97:
// it says what the text import cannot (sheets, their names, the column's
// face and width) and keeps each line one text cell, never a number or a
// formula.
void WriteFlatSpreadsheet(const QString &textFile, const QString &fods)
{
    QFile in(textFile);
    if (!in.open(QIODevice::ReadOnly))
        throw SpreadsheetError("the text file cannot be read");
    qsizetype lines = 0;
    qsizetype widest = 1;
    ForEachTextLine(in, [&](const QString &line) {
        ++lines;
        widest = std::max(widest, line.size());
    });

    QFile out(fods);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw SpreadsheetError("the workbook's source cannot be written");
    QByteArray xml;
    xml.reserve(1 << 20);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
           " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
           " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
           " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n"
           "<office:font-face-decls><style:font-face style:name=\"Liberation Mono\""
           " svg:font-family=\"&apos;Liberation Mono&apos;\" style:font-family-generic=\"modern\""
           " style:font-pitch=\"fixed\"/></office:font-face-decls>\n"
           "<office:automatic-styles>"
           "<style:style style:name=\"co1\" style:family=\"table-column\"><style:table-column-properties"
           " fo:break-before=\"auto\" style:column-width=\"";
    xml += QByteArray::number(double(widest) * CharacterWidthCm + ColumnPaddingCm, 'f', 3);
    xml += "cm\"/></style:style>"
           "<style:style style:name=\"ce1\" style:family=\"table-cell\" style:parent-style-name=\"Default\">"
           "<style:text-properties style:font-name=\"Liberation Mono\" fo:font-size=\"10pt\"/></style:style>"
           "</office:automatic-styles>\n<office:body><office:spreadsheet>\n";
    auto flush = [&] {
        if (out.write(xml) != xml.size())
            throw SpreadsheetError("the workbook's source cannot be written");
        xml.clear();
    };
    qsizetype row = 0;
    auto openSheet = [&] {
        const qsizetype first = row + 1;
        const qsizetype last = std::min(lines, row + RowsPerSheet);
        xml += "<table:table table:name=\"" + SheetName(first, std::max(first, last)).toUtf8()
               + "\"><table:table-column table:style-name=\"co1\" table:default-cell-style-name=\"ce1\"/>\n";
    };
    openSheet();
    ForEachTextLine(in, [&](const QString &line) {
        if (row > 0 && row % RowsPerSheet == 0) {
            xml += "</table:table>\n";
            openSheet();
        }
        ++row;
        if (line.isEmpty()) {
            xml += "<table:table-row><table:table-cell table:style-name=\"ce1\"/></table:table-row>\n";
        } else {
            xml += "<table:table-row><table:table-cell table:style-name=\"ce1\" office:value-type=\"string\"><text:p>";
            AppendParagraphText(xml, line);
            xml += "</text:p></table:table-cell></table:table-row>\n";
        }
        if (xml.size() >= (1 << 20))
            flush();
    });
    xml += "</table:table>\n</office:spreadsheet></office:body></office:document>\n";
    flush();
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw SpreadsheetError("the workbook's source cannot be written");
}

// Whether this LibreOffice can open a window at all: the headless-only
// build ships no window plugin, and without a display there is nowhere to
// show one. Started anyway it would sit holding the report (and its lock
// file) with nothing on screen.
bool CanShowWindows(const QString &soffice)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    const QDir program = QFileInfo(QFileInfo(soffice).canonicalFilePath()).dir();
    for (const QString &plugin : program.entryList({QStringLiteral("libvclplug_*lo.so")}, QDir::Files)) {
        if (plugin != QLatin1String("libvclplug_svplo.so")) // svp: the headless one
            return true;
    }
    return false;
}

class CalcSession final : public SpreadsheetApplication
{
public:
    CalcSession(QString soffice, std::function<bool(const QString &)> show)
        : m_soffice(std::move(soffice))
        , m_show(std::move(show))
    {
        if (!m_profile.isValid() || !m_output.isValid() || !m_converted.isValid())
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
        // Calc works on files of the private folder only, so it never leaves
        // a lock file beside the user's report.
        const QString source =
            QDir(m_output.path()).filePath(QFileInfo(m_text).completeBaseName() + QStringLiteral(".fods"));
        WriteFlatSpreadsheet(m_text, source);
        QProcess calc;
        calc.setProcessChannelMode(QProcess::MergedChannels);
        calc.start(m_soffice,
                   {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                    QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(m_profile.path()).toString(),
                    QStringLiteral("--convert-to"), Excel97Filter, QStringLiteral("--outdir"), m_converted.path(),
                    source});
        if (!calc.waitForStarted(30'000))
            throw SpreadsheetError("LibreOffice did not start");
        if (!calc.waitForFinished(LibreOfficeCalc::ConversionTimeoutMs)) {
            calc.kill();
            calc.waitForFinished(5'000);
            throw SpreadsheetError("LibreOffice did not finish");
        }
        const QString made =
            QDir(m_converted.path()).filePath(QFileInfo(m_text).completeBaseName() + QStringLiteral(".xls"));
        if (calc.exitStatus() != QProcess::NormalExit || calc.exitCode() != 0 || !QFile::exists(made))
            throw SpreadsheetError("LibreOffice could not save the workbook");
        // A report of the same name is replaced, as a save under that name would.
        QFile::remove(workbookFile);
        if (!QFile::rename(made, workbookFile) && !(QFile::copy(made, workbookFile)))
            throw SpreadsheetError("the workbook cannot be written where it belongs");
        m_saved = QFileInfo(workbookFile).absoluteFilePath();
    }

    bool makeVisible() override
    {
        if (m_saved.isEmpty())
            throw SpreadsheetError("no workbook was saved");
        return m_show(m_saved);
    }

private:
    QString m_soffice;
    std::function<bool(const QString &)> m_show;
    QTemporaryDir m_profile;
    QTemporaryDir m_output;    // the workbook's source
    QTemporaryDir m_converted; // what Calc made of it
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
            if (!CanShowWindows(program))
                return false;
            if (!QProcess::startDetached(program, {QStringLiteral("--calc"), workbook}))
                throw SpreadsheetError("Calc does not start");
            return true;
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
