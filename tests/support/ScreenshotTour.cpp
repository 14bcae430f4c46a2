// Takes the README's screenshots of the real windows on the simulated
// journal, as a person would use them: every control is found by its name
// and used through its own signals and keys, never by its place on the
// screen. Run it on a display (scripts/screenshots starts a virtual one).
//
// Usage: ejournal_screenshots OUTPUT_FOLDER
//        ejournal_screenshots --inspect OUTPUT_FOLDER
// LANGUAGE=bs takes them in Bosnian.
// The second takes the window to look at after a change, not for the README:
// the start, the middle and the end of a long result in both device types,
// and the window at its smallest.

#include "app/FindBar.h"
#include "app/ProgramWindows.h"
#include "ScriptedDialogs.h"
#include "simulator/SimulatedUsb.h"
#include "app/Translations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>

namespace {

template <typename T>
T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "ejournal_screenshots: no control \"%s\" in \"%s\"\n", name,
                     qPrintable(window->windowTitle()));
        std::exit(1);
    }
    return found;
}

// Lets the windows run for a while: ticks, layout, painting.
void settle(int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget *window, const QString &path)
{
    settle(300);
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "ejournal_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

void typeInto(QWidget *entry, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

// The windows to look at: a long result at its start, middle and end, in
// both device types, then the window at its smallest.
int inspect(const QDir &out)
{
    bool ok = true;
    for (const DeviceType type : {DeviceType::CashRegister, DeviceType::FiscalPrinter}) {
        QTemporaryDir work;
        const QString started = QDir::currentPath();
        QDir::setCurrent(work.path());
        SimulatorOptions options;
        options.documents = 300;
        options.deviceType = type;
        SimulatedUsb usb(options);
        ScriptedDialogs dialogs;
        ProgramWindows windows(usb, dialogs, true);
        TMainForm *main = &windows.MainForm;
        main->chooseDeviceType(type);
        main->move(0, 0);
        main->show();
        settle(500);
        control<QRadioButton>(main, "AllRadio")->click();
        control<QToolButton>(main, "FindBtn")->click();
        const QString kind =
            type == DeviceType::CashRegister ? QStringLiteral("cash-register") : QStringLiteral("fiscal-printer");
        ok = save(main, out.filePath(QStringLiteral("inspect-%1-start.png").arg(kind))) && ok;
        auto *bar = control<QScrollBar>(main, "OriginalScrollBar");
        bar->setValue(bar->maximum() / 2);
        ok = save(main, out.filePath(QStringLiteral("inspect-%1-middle.png").arg(kind))) && ok;
        auto *decoded = control<QTextEdit>(main, "ConvertMemo");
        QTest::keyClick(decoded, Qt::Key_End, Qt::ControlModifier);
        ok = save(main, out.filePath(QStringLiteral("inspect-%1-end.png").arg(kind))) && ok;
        if (type == DeviceType::FiscalPrinter) {
            main->resize(1, 1); // as small as it lets itself be
            QTest::keyClick(decoded, Qt::Key_PageUp);
            ok = save(main, out.filePath(QStringLiteral("inspect-smallest.png"))) && ok;
        }
        QDir::setCurrent(started);
    }
    return ok ? 0 : 1;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // In the user's language, as the program is (LANGUAGE=bs for Bosnian).
    LoadTranslations(app, QStringLiteral(EJOURNAL_BUILD_QM_DIR));
    const bool inspecting = argc == 3 && QByteArray(argv[1]) == "--inspect";
    if (argc != 2 && !inspecting) {
        std::fprintf(stderr, "usage: ejournal_screenshots [--inspect] OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[argc - 1])));
    if (inspecting)
        return inspect(out);
    QTemporaryDir work; // the journal files of the tour's search
    const QString started = QDir::currentPath();
    QDir::setCurrent(work.path());

    SimulatorOptions options;
    options.documents = 300;
    SimulatedUsb usb(options);
    ScriptedDialogs dialogs; // the "Done" box is answered, not shown
    ProgramWindows windows(usb, dialogs, true);
    TMainForm *main = &windows.MainForm;
    main->move(0, 0);
    main->show();
    settle(500); // the identity comes in on the first ticks

    control<QRadioButton>(main, "AllRadio")->click();
    control<QToolButton>(main, "FindBtn")->click();
    bool ok = save(main, out.filePath(QStringLiteral("main-window.png")));

    // Ctrl+F, a word typed in small letters, Enter twice: the second place.
    main->activateWindow();
    if (!QTest::qWaitFor([main] { return QApplication::activeWindow() == main; }, 2000)) {
        std::fprintf(stderr, "ejournal_screenshots: the main window does not take the keyboard\n");
        return 1;
    }
    QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
    auto *bar = control<FindBar>(main, "ResultFindBar");
    typeInto(control<QLineEdit>(bar, "Input"), QStringLiteral("ферхадија"));
    QTest::keyClick(control<QLineEdit>(bar, "Input"), Qt::Key_Return);
    ok = save(main, out.filePath(QStringLiteral("find-in-result.png"))) && ok;

    QDir::setCurrent(started);
    return ok ? 0 : 1;
}
