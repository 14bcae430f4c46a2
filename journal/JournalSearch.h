#pragma once

#include "protocol/AnswerHandlers.h"
#include "DocumentIndex.h"
#include "JournalFile.h"
#include "protocol/RequestListExchange.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The user's choice, as plain data: which radio button, what the inputs hold.
struct SearchRequest
{
    enum class Mode { None, ByNumbers, ByDates, All };

    Mode mode = Mode::None;
    QString fromNumber, toNumber; // as typed
    QDate fromDate, toDate;
    QTime fromTime, toTime;
    bool showOnScreen = true;      // "Show on screen"
    bool saveConverted = false;    // "Save converted to file"
    bool askBeforeLargeAll = true; // a headless read shows nothing, so it never asks
    QString directory;             // where the journal files go
    QString fiscalMemory;          // the information dialog's fiscal memory number
};

// What the search shows besides the port: the result panes, the scroll bar
// and the status bar.
class SearchView
{
public:
    virtual ~SearchView() = default;
    virtual void clearResultPanes() {}
    virtual void setElapsedText(const QString &text) { Q_UNUSED(text); }
    // Scroll range 0..max(lines - 1, 0) and position 0.
    virtual void setResultRange(qint64 lineCount) { Q_UNUSED(lineCount); }
    virtual void showResultWindow(qint64 position) { Q_UNUSED(position); }
    virtual void setSummaryText(const QString &text) { Q_UNUSED(text); }
    virtual void uncheckShowOnScreen() {}
};

// The search fields of the main window.
struct SearchState
{
    // The mode of the last search (the design's 0 to 3, in the order of
    // SearchRequest::Mode).
    SearchRequest::Mode SearchType = SearchRequest::Mode::None;
    QString Title;
    QDate FromDate, ToDate;
    QTime FromTime, ToTime;
    QDateTime StartDT, EndDT;
    DocumentIndex documents; // which lines of the journal file are which document's
    QString documentsError;  // why the last search has no index, when it has none
    JournalFileInfo journal;
};

class JournalSearch
{
public:
    enum class Outcome {
        NotStarted, // no device, no mode, nothing stored, or the user said No
        BadNumber,  // a number field was empty or not a 32-bit integer
        Completed,
        EndedOnError, // an error answer, a time-out or a lost device ended the reading
        FileError,    // the journal file or the decoded file could not be written
        Cancelled,    // the user ended the read; the lines received so far are kept
    };

    // The page estimate of the summary.
    static constexpr int LinesPerPage = 186;
    // Above this many documents "All" asks before it fills the screen.
    static constexpr quint32 LargeAllCount = 5000;

    JournalSearch(const ExchangeContext &ctx, RequestListState &requests, SearchState &state,
                  const JournalSettings &settings, TickTimer &readTimer, SearchView &view);

    // The Find button's work: the whole search, from the request to "Done".
    Outcome run(const SearchRequest &request);

    static QString ElapsedText(const QDateTime &start, const QDateTime &end);
    static QString SummaryText(qint64 documents, qint64 lines);
    static QString CancelledText(qint64 lines);

    // How the exchange of the last run ended.
    RequestListExchange::End end() const { return m_end; }

private:
    class FileSink;

    bool checkNumbers(const SearchRequest &request);
    bool startMode(const SearchRequest &request, bool &showOnScreen);
    // False when the decoded file could not be written (the user was told).
    bool finish(const SearchRequest &request, bool showOnScreen, bool cancelled);
    void done(bool sayDone = true);
    qint64 documentCount(const SearchRequest &request) const;

    ExchangeContext m_ctx;
    RequestListState &m_requests;
    SearchState &m_state;
    // A copy: the window lets events through during a read, and a change of
    // the device type then must not change the line width of a file half written.
    const JournalSettings m_settings;
    TickTimer &m_readTimer;
    SearchView &m_view;
    RequestListExchange::End m_end = RequestListExchange::End::Completed;
};
