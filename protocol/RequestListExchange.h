#pragma once

#include "AnswerHandlers.h"
#include "ExchangeState.h"
#include "RequestList.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <optional>

// Where the journal lines of document-lines answers go (the search's journal
// file). It may throw to end the search, for example when the disk is full.
class JournalLineSink
{
public:
    virtual ~JournalLineSink() = default;
    virtual void documentLines(const data_124 &answer) = 0;
    // Where each document starts and ends, for a sink that indexes them.
    virtual void documentHeader(const data_123 &answer) { Q_UNUSED(answer); }
    virtual void serviceLines(quint32 document, qint64 first, qint64 count)
    {
        Q_UNUSED(document);
        Q_UNUSED(first);
        Q_UNUSED(count);
    }
};

// A sink for an exchange that asks for no lines.
class NullLineSink final : public JournalLineSink
{
public:
    void documentLines(const data_124 &) override {}
};

// The search's part of the main window's state.
struct RequestListState
{
    RequestList CmdList;
    qint64 CmdIndex = 0;
    quint32 FromDoc = 0;
    quint32 ToDoc = 0;
    qint32 CCC = 0;
    quint32 PrevNum = 0;
    QList<QByteArray> StrList; // service lines of 130 answers, device codes
};

// Serves a search's request list on the link, one request at a time, inside
// the search: date ranges become documents, documents become line and
// service-line requests, lines go to the sink.
class RequestListExchange
{
public:
    enum class End {
        Completed,
        ErrorAnswer,
        TimedOut,
        DeviceLost,
        Cancelled,
        OtherJournal,  // after a reconnection another journal answered
        WrongLineWidth // the lines do not have the width of the chosen device type
    };

    // A journal by its fiscal memory number, as the identity answer carries it.
    using JournalId = std::array<quint8, 5>;

    // Passes without a device between two discovery attempts.
    static constexpr quint32 PassesBeforeDiscovery = 60000;
    static constexpr int DiscoveryPauseMs = 100;
    // Passes on which the link refuses the waiting-bytes query before the
    // answer counts as lost.
    static constexpr quint16 PassesBeforeTimeout = 5000;
    // How long a search waits for a device that went away: a hundred
    // discovery attempts 100 ms apart give a replugged device ten seconds.
    static constexpr int MaxDiscoveryAttempts = 100;
    // How often one request is sent again after failed writes or reads.
    static constexpr int MaxResends = 3;

    // journal: the journal whose lines the search is writing; a device that
    // says it is another one after a reconnection ends the search. Without
    // it, any journal is taken.
    RequestListExchange(const ExchangeContext &ctx, RequestListState &search, const JournalSettings &settings,
                        JournalLineSink &sink, std::optional<JournalId> journal = std::nullopt);

    End Run();
    // Only asks the identity, if the device has not said it since it was
    // opened; Completed when it has.
    End ConfirmJournal();

    static QString OtherJournalText();
    // What a lines answer of payloadLength bytes and rows rows says about the
    // device type, when its lines are not lineWidth characters long.
    static QString WrongLineWidthText(int payloadLength, int rows, int lineWidth);

private:
    enum class Pass { Continue, Finished };
    Pass onePass();
    bool linkFailure(); // after a failed write or read; false when the search must end
    bool sendAgain();   // the same request once more, if it has not failed too often
    bool handleFrame(); // false when an error frame ends the search
    bool answersCurrentRequest() const;
    bool checkIdentity(); // false when another journal answered
    int answeredRows() const;
    bool linesFitTheWidth() const;
    void endOnFault(End why, const QString &text);
    void endWithoutWaiting(End why); // nothing awaited, the window's controls back
    void answerRange();
    void answerDocumentInfo();
    void answerDocumentLines();
    void answerServiceLines();
    void endLikeTimeout(End why);
    void endCancelled();

    ExchangeContext m_ctx;
    RequestListState &m_search;
    const JournalSettings &m_settings;
    JournalLineSink &m_sink;
    std::optional<JournalId> m_journal;
    bool m_askingIdentity = false; // the request out is the identity, not the list's
    Tusb_cmd m_packet;
    AnswerFrame m_buffer{};
    int m_discoveries = 0;
    int m_failures = 0;
    End m_end = End::Completed;
};
