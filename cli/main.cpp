#include "ConsolePort.h"
#include "HeadlessReader.h"
#include "ReaderOptions.h"
#include "simulator/SimulatedUsb.h"
#include "TracingUsb.h"
#include "platform/usbxpress/LibusbUsbXpress.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ejournal-read"));

    QString error;
    const auto options = ParseReaderOptions(app.arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "ejournal-read: %s\n\n%s", error.toLocal8Bit().constData(),
                     ReaderUsage().toLocal8Bit().constData());
        return HeadlessReader::ExitBadArguments;
    }
    if (options->help) {
        std::printf("%s", ReaderUsage().toLocal8Bit().constData());
        return HeadlessReader::ExitDone;
    }
    if (options->version) {
        std::printf("ejournal-read %s\n", EJOURNAL_VERSION);
        return HeadlessReader::ExitDone;
    }

    std::unique_ptr<SIUSBXP> backend;
    if (options->simulator) {
        backend = std::make_unique<SimulatedUsb>(options->sim);
    } else {
        auto usb = std::make_unique<LibusbUsbXpress>();
        ReportUsbStartProblems(*usb, "ejournal-read");
        backend = std::move(usb);
    }
    std::unique_ptr<TracingUsb> tracer;
    SIUSBXP *usb = backend.get();
    if (options->trace) {
        // A bug report carries what libusb said beside the frames.
        QLoggingCategory::setFilterRules(QStringLiteral("ejournal.usb.debug=true"));
        tracer = std::make_unique<TracingUsb>(*backend, stderr);
        usb = tracer.get();
    }

    // A reader whose standard output was closed (| head -1) ends as Unix
    // tools end, quietly, even when started with SIGPIPE ignored.
    std::signal(SIGPIPE, SIG_DFL);

    // Ctrl+C and SIGTERM end the read the way a time-out does, keeping what
    // came; a second one ends the program at once.
    for (int signal : {SIGINT, SIGTERM}) {
        std::signal(signal, [](int s) {
            ConsolePort::CancelSignal = s;
            std::signal(s, SIG_DFL);
        });
    }

    // A live bar would tangle with the trace lines.
    ConsolePort port(stderr, !options->trace && !options->quiet, "ejournal-read");
    HeadlessReader reader(*usb, *options, port, stdout);
    const int status = reader.run();
    // As shells report a program ended by a signal.
    return status == HeadlessReader::ExitCancelled ? 128 + int(ConsolePort::CancelSignal) : status;
}
