#include "ConsolePort.h"
#include "HeadlessReader.h"
#include "ReaderOptions.h"
#include "SimulatedUsb.h"
#include "TracingUsb.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

// Stands in for the USB link where no backend can list devices.
class NoUsb final : public SIUSBXP
{
public:
    SI_STATUS SI_GetNumDevices(quint32 *n) override { *n = 0; return SI_SUCCESS; }
    SI_STATUS SI_GetProductString(quint32, char *, quint8) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS SI_Open(quint32, SI_HANDLE *) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS SI_Close(SI_HANDLE) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_Read(SI_HANDLE, void *, quint32, quint32 *) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_Write(SI_HANDLE, const void *, quint32, quint32 *) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, quint8, quint8) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_SetTimeouts(quint32, quint32) override { return SI_SUCCESS; }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, quint32 *, quint32 *) override { return SI_INVALID_HANDLE; }
};

} // namespace

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

    std::unique_ptr<SIUSBXP> backend;
    if (options->simulator) {
        SimulatorOptions sim;
        sim.seed = options->simSeed;
        sim.documents = options->simDocuments;
        sim.deviceType = options->deviceType;
        sim.faults = options->simFaults;
        sim.recordRequests = false;
        backend = std::make_unique<SimulatedUsb>(sim);
    } else {
        backend = std::make_unique<NoUsb>();
    }
    std::unique_ptr<TracingUsb> tracer;
    SIUSBXP *usb = backend.get();
    if (options->trace) {
        tracer = std::make_unique<TracingUsb>(*backend, stderr);
        usb = tracer.get();
    }

    // A live bar would tangle with the trace lines.
    ConsolePort port(stderr, !options->trace);
    HeadlessReader reader(*usb, *options, port, stdout);
    return reader.run();
}
