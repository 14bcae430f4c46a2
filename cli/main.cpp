#include "ConsolePort.h"
#include "DeviceLink.h"
#include "IdentityDisplay.h"
#include "CodecErrors.h"
#include "Packets.h"
#include "ReaderOptions.h"
#include "SimulatedUsb.h"
#include "TracingUsb.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

enum ExitStatus { ExitDone = 0, ExitNoDevice = 1, ExitBadArguments = 2, ExitSearchFailed = 3 };

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

void printLine(const QString &text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
}

// One identity request and its answer frame, straight over the link.
int readIdentity(SIUSBXP &usb, SI_HANDLE handle, ConsolePort &port)
{
    CommandQueue queue;
    get_info_initial(queue);
    const Pusb_cmd packet = queue.pop();

    quint32 written = 0;
    const quint32 size = quint32(packet->size());
    if (usb.SI_Write(handle, packet->data.data(), size, &written) != SI_SUCCESS || written != size) {
        ErrMsg(port, ErrWrite);
        return ExitSearchFailed;
    }
    AnswerFrame frame{};
    quint32 read = 0;
    if (usb.SI_Read(handle, frame.data(), AnswerFrameSize, &read) != SI_SUCCESS || read != AnswerFrameSize) {
        ErrMsg(port, read == 0 ? ErrTimeout : ErrRead);
        return ExitSearchFailed;
    }
    if (FrameLength(frame) != int(read))
        ErrMsg(port, ErrPacketLength);
    if (FrameStatus(frame) != AnswerStatusSuccess) {
        ErrMsg(port, FrameErrorCode(frame));
        return ExitSearchFailed;
    }
    if (FrameCommand(frame) != CmdIdentity) {
        ErrMsg(port, ErrPacketLength);
        return ExitSearchFailed;
    }

    data_132 identity;
    DecodeAnswer(frame, identity);
    try {
        const IdentityTexts t = IdentityDisplay(identity);
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::InitDate), t.initDate));
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::InitTime), t.initTime));
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::FiscalMemory), t.fiscalMemory));
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::ClientNumber), t.clientNumber));
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::StoredDocuments), t.storedDocuments));
        printLine(QStringLiteral("%1 %2").arg(QLatin1String(IdentityLabels::FreeMemory), t.freeMemory));
    } catch (const CodecError &e) {
        port.messageBox(UserPort::Box::Error, QString::fromLatin1(e.what()));
        return ExitSearchFailed;
    }
    return ExitDone;
}

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
        return ExitBadArguments;
    }
    if (options->help) {
        std::printf("%s", ReaderUsage().toLocal8Bit().constData());
        return ExitDone;
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

    ConsolePort port;
    SI_HANDLE handle = 0;
    FindConnectDevice(*usb, handle, port);
    if (handle == 0) {
        if (!port.errorShown())
            port.showErrorLabel(ErrMsgText(ErrNoDevice));
        return ExitNoDevice;
    }

    int status = ExitBadArguments;
    if (options->verb == ReaderOptions::Verb::Info) {
        status = readIdentity(*usb, handle, port);
    } else {
        port.showErrorLabel(QStringLiteral("Searching is not available in this build yet; only --info is."));
    }
    CloseDevice(*usb, handle);
    return status;
}
