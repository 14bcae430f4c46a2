#include "RequestListExchange.h"

#include <QCoreApplication>

#include "WireOrder.h"

#include "DeviceLink.h"
#include "UserPort.h"

RequestListExchange::RequestListExchange(const ExchangeContext &ctx, RequestListState &search,
                                         const JournalSettings &settings, JournalLineSink &sink,
                                         std::optional<JournalId> journal)
    : m_ctx(ctx)
    , m_search(search)
    , m_settings(settings)
    , m_sink(sink)
    , m_journal(journal)
{}

RequestListExchange::End RequestListExchange::Run()
{
    while (m_search.CmdIndex < m_search.CmdList.size()) {
        if (onePass() == Pass::Finished)
            return m_end;
    }
    return End::Completed;
}

RequestListExchange::End RequestListExchange::ConfirmJournal()
{
    while (m_ctx.state.DevHandle == 0 || !m_ctx.state.identityConfirmed) {
        if (onePass() == Pass::Finished)
            return m_end;
    }
    return End::Completed;
}

QString RequestListExchange::OtherJournalText()
{
    return QCoreApplication::translate("ejournal", "Another journal was attached; the read stopped.");
}

QString RequestListExchange::WrongLineWidthText(int payloadLength, int rows, int lineWidth)
{
    const int content = payloadLength - data_124::HeaderSize;
    if (rows > 0 && content > 0 && content % rows == 0) {
        const int width = content / rows;
        // The window's name of the type whose lines these are.
        for (const DeviceModel &model : DeviceModels) {
            if (model.settings.LineWidth == width)
                return QCoreApplication::translate("ejournal", "The journal's lines are %1 characters long: choose %2.")
                    .arg(width)
                    .arg(QCoreApplication::translate("TMainForm", model.shownName));
        }
    }
    return QCoreApplication::translate(
               "ejournal", "The journal's lines are not %1 characters long: an answer of %2 lines carried %3 bytes.")
        .arg(lineWidth)
        .arg(rows)
        .arg(qMax(0, content));
}

RequestListExchange::Pass RequestListExchange::onePass()
{
    ExchangeState &s = m_ctx.state;

    // No answer is awaited between two passes, so a read ends cleanly here.
    m_ctx.port.progress.keepAlive();
    if (m_ctx.port.progress.cancelRequested()) {
        endCancelled();
        return Pass::Finished;
    }

    if (s.DevHandle == 0) {
        if (++s.ReconnectTicks > PassesBeforeDiscovery) {
            s.ReconnectTicks = 0;
            FindConnectDevice(m_ctx);
            m_ctx.port.progress.pause(DiscoveryPauseMs);
            m_ctx.port.progress.processPendingMessages();
            if (s.DevHandle == 0 && ++m_discoveries >= MaxDiscoveryAttempts) {
                endLikeTimeout(End::DeviceLost);
                return Pass::Finished;
            }
        }
        return Pass::Continue;
    }
    s.ReconnectTicks = 0;
    m_discoveries = 0;

    if (!s.SendPending && !s.AwaitingAnswer && s.SendReady) {
        s.SendReady = false;
        s.SendPending = true;
        // A device just opened may be another journal: it says which before
        // it is asked for anything else.
        m_askingIdentity = !s.identityConfirmed;
        TCmd identity;
        identity.Cmd = CmdIdentity;
        BuildCmdRequest(m_askingIdentity ? identity : m_search.CmdList.at(m_search.CmdIndex), m_packet);
    }

    if (s.SendPending && !s.AwaitingAnswer) {
        const WriteResult written = WriteRequestInSlices(m_ctx, m_packet);
        if (!written.ok) {
            m_ctx.usb.SI_FlushBuffers(s.DevHandle, 1, 1);
            if (written.cancelled) {
                endCancelled();
                return Pass::Finished;
            }
            // Nothing was sent, so there is nothing to read on this pass.
            return linkFailure() ? Pass::Continue : Pass::Finished;
        }
    }

    quint32 waiting = 0;
    quint32 queueStatus = 0;
    if (m_ctx.usb.SI_CheckRXQueue(s.DevHandle, &waiting, &queueStatus) != SI_SUCCESS) {
        if (s.AwaitingAnswer && ++s.WaitTicks > PassesBeforeTimeout) {
            endLikeTimeout(End::TimedOut);
            return Pass::Finished;
        }
        return Pass::Continue;
    }

    // The read waits, up to the read time-out, for the whole frame.
    const ReadResult read = ReadAnswerFrameInSlices(m_ctx, m_buffer);
    if (!read.ok && read.cancelled) {
        // The answer did not come in the grace the cancel left it: drop
        // whatever of it came, so the next search starts on a clean link.
        m_ctx.usb.SI_FlushBuffers(s.DevHandle, 1, 1);
        endCancelled();
        return Pass::Finished;
    }
    if (!read.ok)
        return linkFailure() ? Pass::Continue : Pass::Finished;
    if (!read.lengthAgrees && FrameStatus(m_buffer) != AnswerStatusSuccess) {
        // Stray bytes shifted the frame, so its status byte is whatever
        // landed there: the link's fault, not the device's answer. Both
        // buffers were just flushed; the request goes again, within the
        // bound that failed reads have.
        return sendAgain() ? Pass::Continue : Pass::Finished;
    }
    return handleFrame() ? Pass::Continue : Pass::Finished;
}

bool RequestListExchange::linkFailure()
{
    ExchangeState &s = m_ctx.state;
    CloseDevice(m_ctx.usb, s.DevHandle);
    FindConnectDevice(m_ctx);
    m_ctx.port.progress.pause(DiscoveryPauseMs);
    m_ctx.port.progress.processPendingMessages();
    return sendAgain();
}

bool RequestListExchange::sendAgain()
{
    m_ctx.state.SendPending = false;
    m_ctx.state.AwaitingAnswer = false;
    if (++m_failures > MaxResends) {
        endLikeTimeout(End::DeviceLost);
        return false;
    }
    return true;
}

void RequestListExchange::endCancelled()
{
    endWithoutWaiting(End::Cancelled);
}

void RequestListExchange::endOnFault(End why, const QString &text)
{
    endWithoutWaiting(why);
    m_ctx.port.messages.messageBox(MessagePort::Box::Error, text);
}

void RequestListExchange::endWithoutWaiting(End why)
{
    ExchangeState &s = m_ctx.state;
    s.AwaitingAnswer = false;
    s.SendPending = false;
    s.SendReady = true;
    m_ctx.port.progress.progressAbort();
    m_ctx.port.controls.restoreBusyPointer();
    m_ctx.port.controls.setFindEnabled(true);
    m_end = why;
}

void RequestListExchange::endLikeTimeout(End why)
{
    HandleAnswerTimeout(m_ctx);
    m_ctx.state.SendPending = false;
    m_ctx.state.SendReady = true;
    m_end = why;
}

bool RequestListExchange::handleFrame()
{
    ExchangeState &s = m_ctx.state;
    if (FrameStatus(m_buffer) != AnswerStatusSuccess) {
        HandleErrorFrame(m_ctx, m_buffer);
        m_end = End::ErrorAnswer;
        return false;
    }

    if (!answersCurrentRequest()) {
        // A frame for another request (noise on the line, a late answer):
        // taking it would lose this request's lines or add another's. The
        // request is sent again, like after a failed read.
        m_ctx.usb.SI_FlushBuffers(s.DevHandle, 1, 1);
        return sendAgain();
    }

    m_ctx.port.status.clearErrorLabel();
    if (m_askingIdentity) {
        s.AwaitingAnswer = false;
        m_failures = 0;
        return checkIdentity();
    }
    if (FrameCommand(m_buffer) == CmdDocumentLines && !linesFitTheWidth()) {
        // Cut at the chosen width, these lines would be garbage in the file.
        endOnFault(End::WrongLineWidth,
                   WrongLineWidthText(FramePayloadLength(m_buffer), answeredRows(), m_settings.LineWidth));
        return false;
    }
    switch (FrameCommand(m_buffer)) {
    case CmdJournalRange:
        answerRange();
        break;
    case CmdDocumentInfo:
        answerDocumentInfo();
        break;
    case CmdDocumentLines:
        answerDocumentLines();
        break;
    case CmdServiceLines:
        answerServiceLines();
        break;
    default:
        HandleServiceOrIdentityAnswer(m_ctx, m_buffer);
        break;
    }
    s.AwaitingAnswer = false;
    m_failures = 0;
    ++m_search.CmdIndex;
    m_search.CmdList.releaseBefore(m_search.CmdIndex);
    return true;
}

bool RequestListExchange::checkIdentity()
{
    HandleIdentityAnswer(m_ctx, m_buffer);
    if (m_journal && m_ctx.records.Data132.fisc_ser_num != *m_journal) {
        endOnFault(End::OtherJournal, OtherJournalText());
        return false;
    }
    return true;
}

int RequestListExchange::answeredRows() const
{
    return FramePayload(m_buffer)[6]; // a lines answer's row count, after number and first row
}

bool RequestListExchange::linesFitTheWidth() const
{
    return FramePayloadLength(m_buffer) == data_124::HeaderSize + answeredRows() * int(m_settings.LineWidth);
}

bool RequestListExchange::answersCurrentRequest() const
{
    if (m_askingIdentity)
        return FrameCommand(m_buffer) == CmdIdentity;
    const TCmd request = m_search.CmdList.at(m_search.CmdIndex);
    if (FrameCommand(m_buffer) != request.Cmd)
        return false;
    switch (request.Cmd) {
    case CmdDocumentInfo:
    case CmdDocumentLines:
    case CmdServiceLines: {
        // Each of these answers starts with the document's number.
        const quint8 *p = FramePayload(m_buffer);
        const quint32 doc = ReadBE<quint32>(p);
        if (FramePayloadLength(m_buffer) < 4 || doc != quint32(request.DocNum))
            return false;
        if (request.Cmd != CmdDocumentLines)
            return true;
        // A late copy of the same document's earlier answer would write its
        // lines twice and lose these: the stretch must start where asked and
        // hold no more rows than asked (fewer is the device's own word).
        const quint16 startRow = ReadBE<quint16>(p + 4);
        return FramePayloadLength(m_buffer) >= data_124::HeaderSize && startRow == request.NumLine
               && p[6] <= request.LineCount;
    }
    default:
        return true;
    }
}

void RequestListExchange::answerRange()
{
    data_122 &r = m_ctx.records.Data122;
    DecodeAnswer(m_buffer, r);
    m_search.FromDoc = r.first_doc;
    m_search.ToDoc = r.last_doc;
    m_ctx.port.progress.progressTotalKnown(ClampToInt(qint64(r.last_doc) - qint64(r.first_doc) + 1));
    // The document numbers are compared as signed numbers.
    m_search.CmdList.appendDocumentRange(CmdDocumentInfo, qint32(r.first_doc), qint32(r.last_doc));
}

void RequestListExchange::answerDocumentInfo()
{
    data_123 &d = m_ctx.records.Data123;
    DecodeAnswer(m_buffer, d);
    m_sink.documentHeader(d);
    m_search.CmdList.appendDocumentPlan(qint32(d.doc_num), d.row_count, m_settings.LinesPerRequest, d.sys_count != 0);
    ++m_search.CCC;
    m_ctx.port.progress.progressOneMore(m_search.CCC);
    if (d.doc_num == m_search.ToDoc) {
        m_search.CCC = 0;
        m_ctx.port.progress.progressRestart();
    }
}

void RequestListExchange::answerDocumentLines()
{
    data_124 &d = m_ctx.records.Data124;
    DecodeAnswer(m_buffer, d);
    if (d.doc_num != m_search.PrevNum) {
        ++m_search.CCC;
        if (m_search.CCC % 10 == 0)
            m_ctx.port.progress.processPendingMessages();
        m_ctx.port.progress.progressOneMore(m_search.CCC);
    }
    m_search.PrevNum = d.doc_num;
    m_sink.documentLines(d);
}

void RequestListExchange::answerServiceLines()
{
    DecodeAnswer(m_buffer, m_ctx.records.Data130);
    const int L = FramePayloadLength(m_buffer);
    if (L <= 4)
        return;
    // The whole service text the frame carries, not only what the record holds.
    const int length = qMin(L, AnswerPayloadCapacity) - 4;
    const QByteArray text(reinterpret_cast<const char *>(FramePayload(m_buffer)) + 4, length);
    const int width = qMax<int>(1, m_settings.LineWidth);
    const qint64 first = m_search.StrList.size();
    int at = 0;
    for (; at + width <= text.size(); at += width)
        m_search.StrList.append(text.mid(at, width));
    m_search.StrList.append(text.mid(at));
    // The number from the request answered: the record keeps it in the device's order.
    m_sink.serviceLines(quint32(m_search.CmdList.at(m_search.CmdIndex).DocNum), first, m_search.StrList.size() - first);
}
