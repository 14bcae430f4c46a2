// The same "All" read of a simulated journal in the real window (offscreen,
// the Find button clicked) and in the headless reader's code, each in a
// process of its own so their peak memory can be told apart, and the ratio
// of the window's time to the reader's.
//
// Usage: bench_window_read                       the three reads below
//        bench_window_read DOCUMENTS LATENCY_US  one read, both ways
//        bench_window_read --side window|reader DOCUMENTS LATENCY_US

#include "BenchSupport.h"
#include "cli/ConsolePort.h"
#include "SilentDialogs.h"
#include "cli/HeadlessReader.h"
#include "app/ProgramWindows.h"
#include "simulator/SimulatedUsb.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>

namespace {

SimulatorOptions simulator(quint32 documents, qint64 latencyUs)
{
    SimulatorOptions options;
    options.documents = documents;
    options.faults.latencyUs = latencyUs;
    options.recordRequests = false; // as both programs run it
    return options;
}

// Prints "seconds lines peak-MB" of one read.
int windowSide(int argc, char *argv[], quint32 documents, qint64 latencyUs)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SimulatedUsb usb(simulator(documents, latencyUs));
    SilentDialogs dialogs(true); // Yes to the question before a large read
    ProgramWindows windows(usb, dialogs, true);
    TMainForm &main = windows.MainForm;
    main.show();
    // The identity comes in on the window's own ticks.
    QElapsedTimer wait;
    wait.start();
    while (!main.exchange().records.identityReceived && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    main.findChild<QRadioButton *>(QStringLiteral("AllRadio"))->click();
    const double before = PeakRssMb(); // the window's own
    const Stopwatch read;
    main.findChild<QToolButton *>(QStringLiteral("FindBtn"))->click(); // the whole read runs inside
    const double seconds = read.seconds();
    std::printf("%.3f %lld %.1f %.1f\n", seconds, static_cast<long long>(main.lastSearch().journal.JournalLineCount),
                before, PeakRssMb());
    return 0;
}

int readerSide(int argc, char *argv[], quint32 documents, qint64 latencyUs)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    SimulatedUsb usb(simulator(documents, latencyUs));
    ReaderOptions options;
    options.simulator = true;
    options.verb = ReaderOptions::Verb::All;
    options.directory = dir.path();
    FILE *nowhere = std::fopen("/dev/null", "w");
    ConsolePort port(nowhere, false);
    HeadlessReader reader(usb, options, port, nowhere);
    const double before = PeakRssMb();
    const Stopwatch read;
    const int status = reader.run();
    const double seconds = read.seconds();
    std::fclose(nowhere);
    QFile journal(QDir(dir.path()).filePath(QDir(dir.path()).entryList({QStringLiteral("Original_*.txt")}).value(0)));
    const qint64 lines = journal.size() / (18 + 2);
    std::printf("%.3f %lld %.1f %.1f\n", seconds, static_cast<long long>(lines), before, PeakRssMb());
    return status;
}

struct Figures
{
    double seconds = 0;
    long long lines = 0;
    double beforeMb = 0; // peak before the read: the program's own
    double peakMb = 0;
};

Figures runSide(const char *self, const char *side, quint32 documents, qint64 latencyUs)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(self), {QStringLiteral("--side"), QString::fromLatin1(side),
                                           QString::number(documents), QString::number(latencyUs)});
    p.waitForFinished(-1);
    Figures f;
    const QList<QByteArray> words = p.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 4) {
        std::fprintf(stderr, "bench_window_read: the %s side failed: %s\n", side, p.readAllStandardError().constData());
        std::exit(1);
    }
    f.seconds = words[0].toDouble();
    f.lines = words[1].toLongLong();
    f.beforeMb = words[2].toDouble();
    f.peakMb = words[3].toDouble();
    return f;
}

void compare(const char *self, quint32 documents, qint64 latencyUs)
{
    const Figures reader = runSide(self, "reader", documents, latencyUs);
    const Figures window = runSide(self, "window", documents, latencyUs);
    std::printf("%u documents (%lld lines), %lld us an answer: window %.2f s, reader %.2f s: window / reader %.2f x\n"
                "  peak memory: window %.1f MB (%.1f before the read), reader %.1f MB (%.1f before); the read's own: "
                "window %.1f MB, reader %.1f MB\n",
                documents, window.lines, static_cast<long long>(latencyUs), window.seconds, reader.seconds,
                window.seconds / reader.seconds, window.peakMb, window.beforeMb, reader.peakMb, reader.beforeMb,
                window.peakMb - window.beforeMb, reader.peakMb - reader.beforeMb);
    if (window.lines != reader.lines)
        std::printf("  the two reads wrote different line counts: %lld and %lld\n", window.lines, reader.lines);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && QByteArray(argv[1]) == "--side") {
        const quint32 documents = quint32(std::strtoul(argv[3], nullptr, 10));
        const qint64 latencyUs = std::strtoll(argv[4], nullptr, 10);
        return QByteArray(argv[2]) == "window" ? windowSide(argc, argv, documents, latencyUs)
                                               : readerSide(argc, argv, documents, latencyUs);
    }
    QCoreApplication app(argc, argv);
    if (argc == 3) {
        compare(argv[0], quint32(std::strtoul(argv[1], nullptr, 10)), std::strtoll(argv[2], nullptr, 10));
        return 0;
    }
    compare(argv[0], 1500, 1000);
    compare(argv[0], 4000, 0);
    compare(argv[0], 46300, 0); // about a million lines
    return 0;
}
