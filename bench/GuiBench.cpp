// The window's own speed: start-up to the main window shown, and a scroll to
// the end of a 1,000,000-line result, emphasis included. Runs offscreen.
//
// Usage: bench_gui [LINES]

#include "BenchSupport.h"
#include "SilentDialogs.h"
#include "simulator/JournalGenerator.h"
#include "app/ProgramWindows.h"
#include "app/ResultView.h"
#include "simulator/SimulatedUsb.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

int main(int argc, char *argv[])
{
    const Stopwatch sinceStart;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1'000'000;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    SimulatedUsb usb(SimulatorOptions{});
    SilentDialogs dialogs;
    ProgramWindows windows(usb, dialogs, true);
    TMainForm &main = windows.MainForm;
    main.show();
    QCoreApplication::processEvents();
    std::printf("start-up to the main window shown: %.1f ms\n", sinceStart.seconds() * 1000.0);

    // The result view on its own, showing a generated result the size of
    // the largest journals.
    const JournalFileInfo journal = WriteGeneratedJournal(dir.filePath(QStringLiteral("Original_G.txt")), lines, 5);
    main.readTimer().stop();
    ResultView view;
    view.resize(860, 538);
    view.show();
    view.setSource(journal);
    view.setRange(journal.JournalLineCount);
    QScrollBar *bar = view.findChild<QScrollBar *>(QStringLiteral("OriginalScrollBar"));

    constexpr int Rounds = 50;
    auto scrollMs = [&](int position) {
        double total = 0;
        for (int i = 0; i < Rounds; ++i) {
            bar->blockSignals(true);
            bar->setValue(position == 0 ? (i % 2) : position - (i % 2));
            bar->blockSignals(false);
            const Stopwatch w;
            view.OriginalScrollBarChange();
            total += w.seconds();
        }
        return total * 1000.0 / Rounds;
    };
    const double atStart = scrollMs(0);
    const double atEnd = scrollMs(bar->maximum());
    std::printf("OriginalScrollBarChange with emphasis, %lld-line result: at 0 %.2f ms, at the end %.2f ms\n",
                static_cast<long long>(journal.JournalLineCount), atStart, atEnd);
    std::printf("  peak resident memory %.1f MB\n", PeakRssMb());
    return 0;
}
