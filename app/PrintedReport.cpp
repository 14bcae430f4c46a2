#include "PrintedReport.h"

#include <QCoreApplication>

#include "journal/LineDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/statvfs.h>

namespace {

QFont reportFont(const QString &face, int points, bool bold = false, bool underline = false)
{
    QFont f(face);
    f.setPointSize(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

// Draws what the layout asks for with a painter on the printer.
class PainterCanvas final : public ReportCanvas
{
public:
    PainterCanvas(QPrinter &printer, QPainter &painter, const QString &title, const QString &printedAt)
        : m_printer(printer)
        , m_painter(painter)
        , m_title(title)
        , m_printedAt(printedAt)
        , m_titleFont(reportFont(QStringLiteral("Arial"), 12, true, true))
        , m_subtitleFont(reportFont(QStringLiteral("Arial"), 12, true))
        , m_smallFont(reportFont(QStringLiteral("Arial"), 8))
        , m_bodyFont(BodyFont())
    {
        m_painter.setPen(QPen(Qt::black, 0));
    }

    static QFont BodyFont()
    {
        QFont f = reportFont(QStringLiteral("Courier New"), 8);
        f.setStyleHint(QFont::TypeWriter);
        return f;
    }

    void newPage() override { m_printer.newPage(); }

    void header(int pageNumber, int titleX, int titleY, int subtitleY, int numberX, int numberY, int dateY) override
    {
        m_painter.setPen(QPen(Qt::black, 0));
        text(m_titleFont, titleX, titleY, QLatin1String(ReportJobTitle));
        text(m_subtitleFont, titleX, subtitleY, m_title);
        text(m_smallFont, numberX, numberY,
             QCoreApplication::translate("ejournal", "Page ") + QString::number(pageNumber));
        text(m_smallFont, numberX, dateY, m_printedAt);
    }

    void bodyLine(int x, int y, const QString &line) override { text(m_bodyFont, x, y, line); }

    void rule(int x, int top, int bottom) override { m_painter.drawLine(x, top, x, bottom); }

private:
    void text(const QFont &font, int x, int y, const QString &s)
    {
        m_painter.setFont(font);
        // The layout places text by its top-left corner.
        m_painter.drawText(QPoint(x, y + QFontMetrics(font, &m_printer).ascent()), s);
    }

    QPrinter &m_printer;
    QPainter &m_painter;
    QString m_title;
    QString m_printedAt;
    QFont m_titleFont, m_subtitleFont, m_smallFont, m_bodyFont;
};

// Passes on only the pages of the print dialog's range. The layout still
// runs over the whole report, so each page keeps its number in it.
class PageRangeCanvas final : public ReportCanvas
{
public:
    PageRangeCanvas(ReportCanvas &inner, int firstPage, int lastPage)
        : m_inner(inner)
        , m_first(firstPage)
        , m_last(lastPage)
    {}

    void newPage() override
    {
        ++m_page;
        if (printing() && m_started)
            m_inner.newPage();
    }
    void header(int pageNumber, int titleX, int titleY, int subtitleY, int numberX, int numberY, int dateY) override
    {
        if (!printing())
            return;
        m_started = true;
        m_inner.header(pageNumber, titleX, titleY, subtitleY, numberX, numberY, dateY);
    }
    void bodyLine(int x, int y, const QString &text) override
    {
        if (printing())
            m_inner.bodyLine(x, y, text);
    }
    void rule(int x, int top, int bottom) override
    {
        if (printing())
            m_inner.rule(x, top, bottom);
    }
    bool pastTheRange() const { return m_page > m_last; }

private:
    bool printing() const { return m_page >= m_first && m_page <= m_last; }

    ReportCanvas &m_inner;
    int m_first, m_last;
    int m_page = 1;
    bool m_started = false;
};

// Stops the walk through the journal once the last page of the range is done.
struct RangePrinted
{
};

QString PrintFileOf(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
}

JournalFileError CannotWritePrintFile(const QString &path, const QString &reason)
{
    return JournalFileError(CannotWriteText(path, reason));
}

// Qt's PDF writer does not report a write that failed: a file that is not a
// plain file (a device, a pipe) is tried with one byte first...
void CheckPrintFileBefore(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return;
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw CannotWritePrintFile(path, probe.errorString());
    if (probe.write("%", 1) != 1)
        throw CannotWritePrintFile(path, probe.errorString());
}

// ... and a plain file must end as every whole PDF does.
void CheckPrintFileAfter(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly))
        throw CannotWritePrintFile(path, written.errorString());
    const qint64 tail = qMin<qint64>(written.size(), 64);
    written.seek(written.size() - tail);
    if (written.read(tail).contains("%%EOF"))
        return;
    struct statvfs fs = {};
    const bool full = statvfs(QFile::encodeName(info.absolutePath()).constData(), &fs) == 0 && fs.f_bavail == 0;
    throw CannotWritePrintFile(path, full ? QString::fromLocal8Bit(std::strerror(ENOSPC))
                                          : QCoreApplication::translate("ejournal", "The file is incomplete."));
}

} // namespace

PageGeometry PrinterGeometry(const QPrinter &printer)
{
    PageGeometry g;
    const QRectF printableMm = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    g.horzSizeMm = printableMm.width();
    g.vertSizeMm = printableMm.height();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    g.physicalWidth = int(paper.width());
    g.physicalHeight = int(paper.height());
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    g.horzRes = int(printable.width());
    g.vertRes = int(printable.height());
    g.logPixelsY = printer.logicalDpiY();
    return g;
}

int PrintJournalReport(QPrinter &printer, const JournalFileInfo &journal, const QString &title,
                       const QDateTime &printedAt)
{
    printer.setDocName(QLatin1String(ReportJobTitle));
    const QString file = PrintFileOf(printer);
    if (!file.isEmpty())
        CheckPrintFileBefore(file);
    QPainter painter;
    if (!painter.begin(&printer))
        throw JournalFileError(QCoreApplication::translate("ejournal", "The printer cannot be used."));
    PainterCanvas canvas(printer, painter, title, printedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    const int hashWidth = QFontMetrics(PainterCanvas::BodyFont(), &printer).horizontalAdvance(QLatin1Char('#'));
    const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    PageRangeCanvas chosen(canvas, range ? printer.fromPage() : 1,
                           range ? qMax(printer.fromPage(), printer.toPage()) : std::numeric_limits<int>::max());
    ReportLayout layout(PrinterGeometry(printer), hashWidth, journal.lineWidth, chosen);
    layout.begin();
    try {
        if (journal.written && journal.JournalLineCount > 0) {
            ForEachJournalLine(journal, [&](QByteArrayView raw) {
                layout.addLine(ConvertJournalLine(raw, journal.lineWidth));
                if (chosen.pastTheRange())
                    throw RangePrinted{};
            });
        }
    } catch (const RangePrinted &) {
        // The rest of the report is not printed.
    } catch (...) {
        painter.end();
        throw;
    }
    layout.end();
    painter.end();
    if (!file.isEmpty())
        CheckPrintFileAfter(file);
    return layout.pages();
}
