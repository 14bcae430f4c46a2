#include "JournalSearch.h"

#include <QCoreApplication>

#include "protocol/Codecs.h"
#include "FileNaming.h"
#include "protocol/IdentityDisplay.h"
#include "LineDecoding.h"
#include "protocol/UserPort.h"

#include <QDir>
#include <QTime>

#include <memory>
#include <optional>

using namespace Codecs;

// Writes the lines of every document-lines answer to the journal file as
// they arrive, so the result never has to fit in memory.
class JournalSearch::FileSink final : public JournalLineSink
{
public:
    FileSink(JournalFileWriter &file, qint64 &lineCount, int lineWidth, DocumentIndexWriter &index)
        : m_file(file)
        , m_lineCount(lineCount)
        , m_lineWidth(lineWidth)
        , m_index(index)
    {}
    void documentLines(const data_124 &answer) override
    {
        const qint64 first = m_lineCount;
        for (const QByteArray &line : SplitJournalRecord(answer, m_lineWidth)) {
            m_file.writeLine(line);
            ++m_lineCount;
        }
        m_index.lines(answer.doc_num, first, quint32(m_lineCount - first));
    }
    void documentHeader(const data_123 &answer) override { m_index.header(answer); }
    void serviceLines(quint32 document, qint64 first, qint64 count) override
    {
        m_index.serviceLines(document, qint32(first), quint16(qMin<qint64>(count, 0xFFFF)));
    }

private:
    JournalFileWriter &m_file;
    qint64 &m_lineCount;
    int m_lineWidth;
    DocumentIndexWriter &m_index;
};

namespace {

// Where a search's files go: the journal file, its index, the decoded file.
QDir ResultFolder(const SearchRequest &request)
{
    return QDir(request.directory.isEmpty() ? QDir::currentPath() : request.directory);
}

std::optional<qint32> toInt32(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return qint32(value);
}

} // namespace

JournalSearch::JournalSearch(const ExchangeContext &ctx, RequestListState &requests, SearchState &state,
                             const JournalSettings &settings, TickTimer &readTimer, SearchView &view)
    : m_ctx(ctx)
    , m_requests(requests)
    , m_state(state)
    , m_settings(settings)
    , m_readTimer(readTimer)
    , m_view(view)
{}

QString JournalSearch::ElapsedText(const QDateTime &start, const QDateTime &end)
{
    const qint64 seconds = qMax<qint64>(0, start.secsTo(end)) % 86400;
    return QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("HH:mm:ss"));
}

QString JournalSearch::CancelledText(qint64 lines)
{
    return QCoreApplication::translate("ejournal", "Read cancelled; the %1 lines received are kept").arg(lines);
}

QString JournalSearch::SummaryText(qint64 documents, qint64 lines)
{
    return QCoreApplication::translate("ejournal", "Found %1 documents, %2 lines, about %3 pages")
        .arg(documents)
        .arg(lines)
        .arg(lines / LinesPerPage + 1);
}

bool JournalSearch::checkNumbers(const SearchRequest &request)
{
    const std::pair<const QString *, const char *> fields[] = {
        {&request.fromNumber, QT_TRANSLATE_NOOP("TMainForm", "From")},
        {&request.toNumber, QT_TRANSLATE_NOOP("TMainForm", "To")}};
    for (const auto &[text, name] : fields) {
        if (!toInt32(*text)) {
            m_ctx.port.messages.messageBox(
                MessagePort::Box::Warning,
                QCoreApplication::translate("ejournal",
                                            "The receipt number in \"%1\" must be a whole number up to 2147483647.")
                    .arg(QCoreApplication::translate("TMainForm", name)));
            return false;
        }
    }
    return true;
}

JournalSearch::Outcome JournalSearch::run(const SearchRequest &asked)
{
    // A wrong number field changes nothing at all, not even the panes.
    if (asked.mode == SearchRequest::Mode::ByNumbers && !checkNumbers(asked))
        return Outcome::BadNumber;

    m_requests.PrevNum = 0;
    m_requests.CCC = 0;
    m_view.clearResultPanes();
    // The status bar speaks of this read from now on, even one that never starts.
    m_view.setSummaryText(QString());
    m_state.journal.JournalLineCount = 0;
    m_requests.CmdList.clear();
    m_requests.CmdIndex = 0;
    m_end = RequestListExchange::End::Completed;

    if (m_ctx.state.DevHandle == 0) {
        m_ctx.port.messages.beep();
        done();
        return Outcome::NotStarted;
    }

    m_readTimer.stop();
    SearchRequest request = asked;
    if (!m_ctx.state.identityConfirmed) {
        // A device opened since its last identity may be another journal:
        // it says which before the files are named after it.
        NullLineSink none;
        RequestListExchange confirm(m_ctx, m_requests, m_settings, none);
        m_end = confirm.ConfirmJournal();
        if (m_end != RequestListExchange::End::Completed) {
            done(m_end != RequestListExchange::End::Cancelled);
            return m_end == RequestListExchange::End::Cancelled ? Outcome::Cancelled : Outcome::EndedOnError;
        }
        request.fiscalMemory = FiscalMemoryText(m_ctx.records.Data132);
    }

    const QString path = ResultFolder(request).filePath(JournalFileName(request.fiscalMemory));
    const int lineWidth = m_settings.LineWidth;
    std::unique_ptr<JournalFileWriter> file;
    try {
        file = std::make_unique<JournalFileWriter>(path, lineWidth);
    } catch (const JournalFileError &e) {
        m_ctx.port.messages.messageBox(MessagePort::Box::Error, e.message());
        m_ctx.port.controls.setFindEnabled(true);
        m_readTimer.start();
        return Outcome::FileError;
    }
    m_state.journal = JournalFileInfo{path, lineWidth, 0, true};
    m_state.documents.close();
    DocumentIndexWriter index;
    const QString indexPath = ResultFolder(request).filePath(DocumentIndexFileName(request.fiscalMemory));
    index.create(indexPath);
    // However the search ends, the index describes the lines that reached
    // the file.
    auto closeIndex = [&] {
        m_state.documentsError.clear();
        if (!index.finish(m_state.journal.JournalLineCount))
            m_state.documentsError = index.error();
        else if (!m_state.documents.open(indexPath, m_state.journal.JournalLineCount))
            m_state.documentsError = m_state.documents.error();
    };

    bool showOnScreen = request.showOnScreen;
    if (!startMode(request, showOnScreen)) {
        file->close();
        closeIndex();
        done();
        return Outcome::NotStarted;
    }

    // The journal whose lines go into this file (its identity is confirmed
    // by now): another one found after a reconnection ends the search.
    FileSink sink(*file, m_state.journal.JournalLineCount, lineWidth, index);
    RequestListExchange exchange(m_ctx, m_requests, m_settings, sink, m_ctx.records.Data132.fisc_ser_num);
    try {
        m_end = exchange.Run();
        file->close();
        closeIndex();
    } catch (const JournalFileError &e) {
        // The lines counted may not all have reached the disk: the file was
        // cut back to its last whole line, and that is what the search holds.
        m_state.journal.JournalLineCount = qMin(m_state.journal.JournalLineCount, file->linesOnDisk());
        closeIndex();
        // The disk refused a line: say so, and leave the program usable. The
        // lines written before stay in the file.
        m_ctx.state.SendPending = false;
        m_ctx.state.AwaitingAnswer = false;
        m_ctx.state.SendReady = true;
        m_requests.CmdList.clear();
        m_ctx.port.progress.progressAbort();
        m_ctx.port.messages.messageBox(MessagePort::Box::Error, e.message());
        m_ctx.port.controls.restoreBusyPointer();
        m_ctx.port.controls.setFindEnabled(true);
        m_readTimer.start();
        return Outcome::FileError;
    }

    if (!finish(request, showOnScreen, m_end == RequestListExchange::End::Cancelled))
        return Outcome::FileError;
    // A cancel while the decoded file was written ends the search too.
    if (m_end == RequestListExchange::End::Cancelled)
        return Outcome::Cancelled;
    return m_end == RequestListExchange::End::Completed ? Outcome::Completed : Outcome::EndedOnError;
}

bool JournalSearch::startMode(const SearchRequest &request, bool &showOnScreen)
{
    UserPort &port = m_ctx.port;
    switch (request.mode) {
    case SearchRequest::Mode::ByNumbers: {
        m_state.StartDT = QDateTime::currentDateTime();
        port.controls.setFindEnabled(false);
        port.controls.showBusyPointer();
        m_requests.StrList.clear();
        m_state.SearchType = SearchRequest::Mode::ByNumbers;
        const qint32 from = *toInt32(request.fromNumber);
        const qint32 to = *toInt32(request.toNumber);
        m_requests.FromDoc = quint32(from);
        m_requests.ToDoc = quint32(to);
        m_state.Title = QCoreApplication::translate("ejournal", "from document ") + request.fromNumber
                        + QCoreApplication::translate("ejournal", " to document ") + request.toNumber;
        port.progress.progressOpen(ClampToInt(qint64(to) - qint64(from) + 1));
        m_requests.CmdList.appendDocumentRange(CmdDocumentInfo, from, to);
        port.progress.progressListBuilt();
        return true;
    }
    case SearchRequest::Mode::ByDates: {
        m_state.StartDT = QDateTime::currentDateTime();
        port.controls.setFindEnabled(false);
        m_requests.StrList.clear();
        m_state.SearchType = SearchRequest::Mode::ByDates;
        m_state.FromDate = request.fromDate;
        m_state.FromTime = request.fromTime;
        m_state.ToDate = request.toDate;
        m_state.ToTime = request.toTime;
        const QString dateFormat = QStringLiteral("dd.MM.yyyy");
        const QString timeFormat = QStringLiteral("HH:mm:ss");
        m_state.Title = QCoreApplication::translate("ejournal", "from %1 %2 to %3 %4")
                            .arg(request.fromDate.toString(dateFormat), request.fromTime.toString(timeFormat),
                                 request.toDate.toString(dateFormat), request.toTime.toString(timeFormat));
        port.progress.progressOpen(0);
        TCmd range;
        range.Cmd = CmdJournalRange;
        range.BeginDate = EncodeDateVuze(request.fromDate);
        range.EndDate = EncodeDateVuze(request.toDate);
        range.BeginTime = EncodeTimeVuze(request.fromTime);
        range.EndTime = EncodeTimeVuze(request.toTime);
        m_requests.CmdList.append(range);
        port.progress.progressListBuilt();
        return true;
    }
    case SearchRequest::Mode::All: {
        const quint32 count = m_ctx.records.identityReceived ? m_ctx.records.Data132.doc_count : 0;
        if (count == 0) {
            port.messages.messageBox(MessagePort::Box::Warning,
                                     QCoreApplication::translate("ejournal", "No stored documents"));
            return false;
        }
        m_state.StartDT = QDateTime::currentDateTime();
        port.controls.setFindEnabled(false);
        m_state.Title = QCoreApplication::translate("ejournal", "all stored documents");
        m_requests.StrList.clear();
        m_state.SearchType = SearchRequest::Mode::All;
        m_requests.FromDoc = 0;
        m_requests.ToDoc = count - 1;
        if (count > LargeAllCount && showOnScreen && request.askBeforeLargeAll) {
            const QString question =
                QCoreApplication::translate("ejournal", "       Number of documents are more then 5000.       \n\r"
                                                        "Information about documents will not be dislayed on PC\n\r"
                                                        "Do you want to continue?");
            if (!port.messages.askYesNo(question)) {
                port.controls.restoreBusyPointer();
                port.controls.setFindEnabled(true);
                return false;
            }
            showOnScreen = false;
            m_view.uncheckShowOnScreen();
        }
        port.progress.progressOpen(ClampToInt(count));
        m_requests.CmdList.appendDocumentRange(CmdDocumentInfo, 0, qint64(count) - 1);
        port.progress.progressListBuilt();
        return true;
    }
    case SearchRequest::Mode::None:
        break;
    }
    m_state.SearchType = SearchRequest::Mode::None;
    port.messages.messageBox(MessagePort::Box::Warning,
                             QCoreApplication::translate("ejournal", "Please choose type of serching"));
    return false;
}

qint64 JournalSearch::documentCount(const SearchRequest &request) const
{
    switch (m_state.SearchType) {
    case SearchRequest::Mode::ByNumbers: {
        const auto from = toInt32(request.fromNumber);
        const auto to = toInt32(request.toNumber);
        return from && to ? qint64(*to) - qint64(*from) + 1 : 0;
    }
    case SearchRequest::Mode::ByDates: {
        // Compared as signed numbers, like the list the answer built.
        const data_122 &r = m_ctx.records.Data122;
        return qint64(qint32(r.last_doc)) - qint64(qint32(r.first_doc)) + 1;
    }
    case SearchRequest::Mode::All:
        return m_ctx.records.Data132.doc_count;
    default:
        return 0;
    }
}

bool JournalSearch::finish(const SearchRequest &request, bool showOnScreen, bool cancelled)
{
    bool decodedWritten = true;
    m_state.EndDT = QDateTime::currentDateTime();
    m_view.setElapsedText(ElapsedText(m_state.StartDT, m_state.EndDT));
    m_ctx.port.progress.progressFinish();
    m_requests.CmdList.clear();

    m_view.setResultRange(m_state.journal.JournalLineCount);

    m_requests.CCC = 0;
    if (request.saveConverted) {
        const QString decoded = ResultFolder(request).filePath(DecodedFileName(request.fiscalMemory));
        try {
            ProgressPort &progress = m_ctx.port.progress;
            // A cancel that ended the read leaves the decoded file to be
            // written; one that comes while it is written stops it.
            const bool cancelledBefore = progress.cancelRequested();
            if (!WriteDecodedFile(m_state.journal, decoded, [&progress, cancelledBefore] {
                    progress.processPendingMessages();
                    return !cancelledBefore && progress.cancelRequested();
                }))
                m_end = RequestListExchange::End::Cancelled;
        } catch (const JournalFileError &e) {
            m_ctx.port.messages.messageBox(MessagePort::Box::Error, e.message());
            decodedWritten = false;
        }
    }

    if (showOnScreen) {
        m_view.showResultWindow(0);
        m_view.setSummaryText(cancelled ? CancelledText(m_state.journal.JournalLineCount)
                                        : SummaryText(documentCount(request), m_state.journal.JournalLineCount));
    } else if (cancelled) {
        // Nothing is shown of a large read, but how it ended is said.
        m_view.setSummaryText(CancelledText(m_state.journal.JournalLineCount));
    }
    // A cancelled read has said how it ended in the status bar; "Done" would
    // say it finished.
    done(m_end != RequestListExchange::End::Cancelled);
    return decodedWritten;
}

void JournalSearch::done(bool sayDone)
{
    m_ctx.port.controls.restoreBusyPointer();
    m_ctx.port.controls.setFindEnabled(true);
    // The tick sends what waits in the queue and finds a lost device again;
    // it runs again however the search ended.
    if (!m_readTimer.isActive())
        m_readTimer.start();
    if (sayDone)
        m_ctx.port.messages.messageBox(MessagePort::Box::Information, QCoreApplication::translate("ejournal", "Done"));
}
