// Text export and print-to-PDF of a result of many lines, as the main
// window's Export and Print buttons do them.
//
// Usage: bench_outputs [LINES] [PDF_PATH]   (the PDF is kept when a path is given)

#include "BenchSupport.h"
#include "journal/JournalFile.h"
#include "simulator/JournalGenerator.h"
#include "app/PrintedReport.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 100'000;
    QTemporaryDir dir;
    const QString pdf = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("report.pdf"));

    const JournalFileInfo journal = WriteGeneratedJournal(dir.filePath(QStringLiteral("Original_O.txt")), lines, 9);
    const double rssBefore = PeakRssMb();

    Stopwatch exportTime;
    WriteDecodedFile(journal, dir.filePath(QStringLiteral("export.txt")));
    const double exportSeconds = exportTime.seconds();
    std::printf("text export of %lld lines: %.3f s, %.0f lines/s, peak memory %.1f MB (%.1f MB before)\n",
                static_cast<long long>(lines), exportSeconds, double(lines) / exportSeconds, PeakRssMb(), rssBefore);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    Stopwatch printTime;
    const int pages =
        PrintJournalReport(printer, journal, QStringLiteral("all stored documents"), QDateTime::currentDateTime());
    const double printSeconds = printTime.seconds();
    std::printf("print to PDF: %d pages in %.3f s, %.0f lines/s, peak memory %.1f MB\n", pages, printSeconds,
                double(lines) / printSeconds, PeakRssMb());
    return 0;
}
