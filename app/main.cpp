#include "widgets/DialogProvider.h"
#include "ProgramWindows.h"
#include "ProgramOptions.h"
#include "simulator/SimulatedUsb.h"
#include "Translations.h"
#include "platform/usbxpress/LibusbUsbXpress.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // The arguments first: --help and mistakes need no display.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString error;
    const auto options = ParseProgramOptions(args, &error);
    if (!options || options->help || options->version) {
        // The help text needs an application object, not a display.
        QCoreApplication console(argc, argv);
        if (!options) {
            std::fprintf(stderr, "ejournal: %s\n\n%s", error.toLocal8Bit().constData(),
                         ProgramUsage().toLocal8Bit().constData());
            return 2;
        }
        if (options->version)
            std::printf("ejournal %s\n", EJOURNAL_VERSION);
        else
            std::printf("%s", ProgramUsage().toLocal8Bit().constData());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ejournal"));
    // Lets the desktop match the window to ejournal.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ejournal"));
    // Installed, the translations are beside the program; in the build
    // folder, where lrelease put them.
    LoadTranslations(app, QDir(InstalledTranslationsFolder()).exists() ? InstalledTranslationsFolder()
                                                                       : QStringLiteral(EJOURNAL_BUILD_QM_DIR));

    std::unique_ptr<SIUSBXP> usb;
    if (options->simulator)
        usb = std::make_unique<SimulatedUsb>(options->sim);
    else {
        auto libusb = std::make_unique<LibusbUsbXpress>();
        ReportUsbStartProblems(*libusb, "ejournal");
        usb = std::move(libusb);
    }

    QtDialogProvider dialogs;
    ProgramWindows windows(*usb, dialogs, options->simulator);
    TMainForm &MainForm = windows.MainForm;
    // The simulated journal is of the type the command line gave; the
    // window reads it as that type from the first search on.
    MainForm.chooseDeviceType(options->sim.deviceType);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        MainForm.move(area.center() - QPoint(MainForm.width() / 2, MainForm.height() / 2));
    }
    MainForm.show();
    return QApplication::exec();
}
