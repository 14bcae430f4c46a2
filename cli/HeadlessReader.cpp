#include "HeadlessReader.h"

#include "JsonLines.h"

#include "protocol/CodecErrors.h"
#include "protocol/DeviceLink.h"
#include "protocol/ExchangeEngine.h"
#include "protocol/IdentityDisplay.h"
#include "journal/JournalSearch.h"
#include "protocol/UserPort.h"

#include <QElapsedTimer>

#include <chrono>
#include <thread>

namespace {

// How a search ended, in the words of the JSON output.
QString OutcomeName(JournalSearch::Outcome outcome)
{
    switch (outcome) {
    case JournalSearch::Outcome::NotStarted:
        return QStringLiteral("not started");
    case JournalSearch::Outcome::BadNumber:
        return QStringLiteral("bad number");
    case JournalSearch::Outcome::Completed:
        return QStringLiteral("completed");
    case JournalSearch::Outcome::EndedOnError:
        return QStringLiteral("ended on an error");
    case JournalSearch::Outcome::FileError:
        return QStringLiteral("file error");
    case JournalSearch::Outcome::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

// Only the summary line reaches standard output.
class SummaryView final : public SearchView
{
public:
    // json: the summary goes into the JSON output's last object instead.
    SummaryView(FILE *out, bool json) : m_out(out), m_json(json) {}
    void setSummaryText(const QString &text) override
    {
        summary = text;
        if (m_json || text.isEmpty())
            return;
        std::fprintf(m_out, "%s\n", text.toLocal8Bit().constData());
        outputError = FlushOutput(m_out);
    }
    QString summary;
    int outputError = 0; // errno of a failed write to m_out

private:
    FILE *m_out;
    bool m_json;
};

SearchRequest::Mode searchMode(ReaderOptions::Verb verb)
{
    switch (verb) {
    case ReaderOptions::Verb::Numbers:
        return SearchRequest::Mode::ByNumbers;
    case ReaderOptions::Verb::Dates:
        return SearchRequest::Mode::ByDates;
    case ReaderOptions::Verb::All:
        return SearchRequest::Mode::All;
    default:
        return SearchRequest::Mode::None;
    }
}

// The identity's fields: the text's label and the JSON name of each.
struct IdentityField
{
    const char *label;
    const char *jsonName;
    const QString IdentityTexts::*value;
};

constexpr IdentityField IdentityFields[] = {
    {IdentityLabels::InitDate, "initialization_date", &IdentityTexts::initDate},
    {IdentityLabels::InitTime, "initialization_time", &IdentityTexts::initTime},
    {IdentityLabels::FiscalMemory, "fiscal_memory", &IdentityTexts::fiscalMemory},
    {IdentityLabels::ClientNumber, "client", &IdentityTexts::clientNumber},
    {IdentityLabels::StoredDocuments, "stored_documents", &IdentityTexts::storedDocuments},
    {IdentityLabels::FreeMemory, "free_memory", &IdentityTexts::freeMemory},
};

// 0, or the errno of the failed write. As text, a "label value" line a
// field; as JSON, one object.
int printIdentity(FILE *out, const IdentityTexts &t, bool json)
{
    if (!json) {
        for (const IdentityField &f : IdentityFields)
            std::fprintf(out, "%s %s\n", f.label, (t.*f.value).toLocal8Bit().constData());
        return FlushOutput(out);
    }
    QByteArray o = "{";
    for (const IdentityField &f : IdentityFields) {
        if (o.size() > 1)
            o += ',';
        AppendJsonString(o, f.jsonName);
        o += ':';
        AppendJsonString(o, (t.*f.value).toUtf8());
    }
    o += "}\n";
    std::fwrite(o.constData(), 1, std::size_t(o.size()), out);
    return FlushOutput(out);
}

} // namespace

HeadlessReader::HeadlessReader(SIUSBXP &usb, const ReaderOptions &options, UserPort port, FILE *out)
    : m_usb(usb)
    , m_options(options)
    , m_port(port)
    , m_out(out)
{}

int HeadlessReader::run(bool sleepBetweenTicks)
{
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    ManualTickTimer readTimer;

    FindConnectDevice(m_usb, state.DevHandle, m_port.messages, m_port.status);
    if (state.DevHandle == 0) {
        m_port.status.showErrorLabel(ErrMsgText(ErrNoDevice));
        return ExitNoDevice;
    }

    // The identity names the journal file and tells how many documents "all" is.
    ExchangeEngine engine(m_usb, state, commands, records, m_port, readTimer);
    get_info_initial(commands);
    QElapsedTimer waited;
    waited.start();
    while (!records.identityReceived && waited.elapsed() < IdentityWaitLimitMs) {
        engine.ReadTimerTimer();
        if (!records.identityReceived && !state.AwaitingAnswer && !state.SendPending && commands.empty())
            break; // the answer was an error, or it never came
        if (sleepBetweenTicks)
            std::this_thread::sleep_for(std::chrono::milliseconds(TickPeriodMs));
    }
    if (!records.identityReceived) {
        nameUntoldErrorCode(records);
        CloseDevice(m_usb, state.DevHandle);
        return ExitSearchFailed;
    }

    IdentityTexts identity;
    try {
        identity = IdentityDisplay(records.Data132);
    } catch (const CodecError &e) {
        m_port.messages.messageBox(MessagePort::Box::Error, QString::fromLatin1(e.what()));
        if (m_options.verb == ReaderOptions::Verb::Info) {
            CloseDevice(m_usb, state.DevHandle);
            return ExitSearchFailed;
        }
        identity.fiscalMemory = FiscalMemoryText(records.Data132);
    }

    int status = ExitDone;
    int outputError = 0;
    bool outputSaid = false; // a failed write to standard output was reported
    if (m_options.verb == ReaderOptions::Verb::Info) {
        outputError = printIdentity(m_out, identity, m_options.json);
    } else {
        const JournalSettings settings = SettingsFor(m_options.sim.deviceType);

        SearchRequest request;
        request.mode = searchMode(m_options.verb);
        request.fromNumber = m_options.fromNumber;
        request.toNumber = m_options.toNumber;
        request.fromDate = m_options.fromDate;
        request.fromTime = m_options.fromTime;
        request.toDate = m_options.toDate;
        request.toTime = m_options.toTime;
        request.showOnScreen = true;
        request.saveConverted = m_options.decoded;
        request.askBeforeLargeAll = false;
        request.directory = m_options.directory;
        request.fiscalMemory = identity.fiscalMemory;

        RequestListState requests;
        SearchState searchState;
        SummaryView view(m_out, m_options.json);
        JournalSearch search(ExchangeContext{m_usb, state, commands, records, m_port}, requests, searchState, settings,
                             readTimer, view);
        const JournalSearch::Outcome outcome = search.run(request);
        switch (outcome) {
        case JournalSearch::Outcome::Completed:
            status = ExitDone;
            break;
        case JournalSearch::Outcome::NotStarted:
            status = ExitNothingRead;
            break;
        case JournalSearch::Outcome::BadNumber:
            status = ExitBadArguments;
            break;
        case JournalSearch::Outcome::Cancelled:
            m_port.messages.messageBox(MessagePort::Box::Warning,
                                       QStringLiteral("Read cancelled; the %1 lines received stay in the journal file.")
                                           .arg(searchState.journal.JournalLineCount));
            status = ExitCancelled;
            break;
        case JournalSearch::Outcome::EndedOnError:
        case JournalSearch::Outcome::FileError:
            status = ExitSearchFailed;
            break;
        }
        if (m_options.json && outcome != JournalSearch::Outcome::NotStarted
            && outcome != JournalSearch::Outcome::BadNumber) {
            try {
                // The documents come from the index; without it there is no
                // telling where one ends.
                if (!searchState.documents.isOpen())
                    throw JournalFileError(searchState.documentsError);
                // A signal that ended the read leaves the output to be
                // written (a second one ends the program); one that comes
                // while it is written ends it.
                ProgressPort &progress = m_port.progress;
                const bool signalledBefore = progress.cancelRequested();
                WriteJsonLines(m_out, searchState.journal, searchState.documents, requests.StrList,
                               {view.summary, OutcomeName(outcome)},
                               [&progress, signalledBefore] { return !signalledBefore && progress.cancelRequested(); });
            } catch (const JournalFileError &e) {
                m_port.messages.messageBox(MessagePort::Box::Error, e.message());
                status = ExitSearchFailed;
                outputSaid = std::ferror(m_out) != 0;
            } catch (const JsonOutputStopped &) {
                m_port.messages.messageBox(MessagePort::Box::Warning, QStringLiteral("Output cancelled."));
                status = ExitCancelled;
            }
        }
        outputError = view.outputError;
    }
    // Standard output is a file like any other: a write it refused (a full
    // disk) is a failure, said on standard error.
    if (outputError == 0)
        outputError = FlushOutput(m_out);
    if (outputError != 0 && !outputSaid) {
        m_port.messages.messageBox(MessagePort::Box::Error, CannotWriteOutputText(outputError));
        if (status == ExitDone)
            status = ExitSearchFailed;
    }
    if (status == ExitSearchFailed)
        nameUntoldErrorCode(records);
    CloseDevice(m_usb, state.DevHandle);
    return status;
}

void HeadlessReader::nameUntoldErrorCode(const AnswerRecords &records)
{
    // Codes 2 to 9 are on the error label already; any other leaves it
    // hidden, and a log would not say why the reading ended.
    if (records.lastErrorCode && ErrMsgText(*records.lastErrorCode).isEmpty())
        m_port.messages.messageBox(
            MessagePort::Box::Error,
            QStringLiteral("The journal answered with error code %1.").arg(*records.lastErrorCode));
}
