// How alive the window stays during a long read: the longest time its event
// loop goes without running (the largest gap between the runs of a 10 ms
// timer), and how long after Find the progress dialog is up. A 2,000-document
// "All" search on a simulated journal that answers 2 ms late, then the same
// with one answer that never comes (the read waits out its 10 s time-out and
// asks again). Runs offscreen, in real time.
//
// Usage: bench_responsiveness [DOCUMENTS]

#include "BenchSupport.h"
#include "SilentDialogs.h"
#include "app/ProgramWindows.h"
#include "simulator/SimulatedUsb.h"
#include "app/StatusUnit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>

namespace {

void measure(const char *what, quint32 documents, const QString &faults)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SimulatorOptions options;
    options.documents = documents;
    QString error;
    options.faults = *FaultPlan::parse(faults, &error);
    SimulatedUsb usb(options);
    SilentDialogs dialogs;
    ProgramWindows windows(usb, dialogs, true);
    TMainForm &main = windows.MainForm;
    main.show();

    // The identity first: the engine's tick asks for it at start-up.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    QElapsedTimer clock;
    qint64 lastRun = -1, longestGap = 0, dialogUpAt = -1, findAt = -1;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (findAt >= 0 && lastRun >= 0)
            longestGap = std::max(longestGap, now - lastRun);
        if (findAt >= 0 && dialogUpAt < 0 && windows.StatusForm.isVisible())
            dialogUpAt = now - findAt;
        lastRun = now;
    });
    clock.start();
    probe.start();
    QTimer::singleShot(50, [&] {
        main.findChild<QRadioButton *>(QStringLiteral("AllRadio"))->click();
        findAt = clock.elapsed();
        lastRun = findAt;
        main.findChild<QToolButton *>(QStringLiteral("FindBtn"))->click(); // the whole read runs inside
        const qint64 took = clock.elapsed() - findAt;
        std::printf("%s: read of %u documents %.1f s; longest stretch without events %lld ms; "
                    "progress dialog up %lld ms after Find\n",
                    what, documents, double(took) / 1000.0, static_cast<long long>(longestGap),
                    static_cast<long long>(dialogUpAt));
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const quint32 documents = argc > 1 ? quint32(std::strtoul(argv[1], nullptr, 10)) : 2000;
    measure("answers 2 ms late", documents, QStringLiteral("latency=2ms"));
    // Request 2500 is a line request of the 2,000-document read.
    measure("one answer never comes", documents, QStringLiteral("latency=2ms,drop@2500"));
    return 0;
}
