#pragma once

#include "protocol/AnswerHandlers.h"
#include "widgets/DialogProvider.h"
#include "protocol/ExchangeEngine.h"
#include "FindBar.h"
#include "journal/JournalFind.h"
#include "journal/JournalSearch.h"
#include "MainWindowPort.h"
#include "protocol/RequestListExchange.h"
#include "ResultView.h"
#include "protocol/UserPort.h"
#include "ui_MainUnit.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class SpreadsheetDriver;
class QTimer;
class TDebugForm;
class TPassForm;
class TStatusForm;
class TSysInfoForm;

// ReadTimer: the exchange engine's tick, on a QTimer.
class QtTickTimer final : public TickTimer
{
public:
    explicit QtTickTimer(QTimer *timer) : m_timer(timer) {}
    void start() override;
    void stop() override;
    bool isActive() const override;

private:
    QTimer *m_timer;
};

// The main window. It holds the run-time state of the program and binds the
// core's operations to its controls; the protocol and the search live in the
// core, which reaches the user through the window's port, and the result is
// shown by its result view. Its form and its state are its own: the other
// windows get what they share through the accessors below, and tests find
// the controls by their names.
class TMainForm : public QWidget, public SearchView, private Ui::TMainForm
{
    Q_OBJECT

public:
    static constexpr const char *Caption = "Velmora Tavrello 1.2";

    // usb: the link to the journal (real or simulated); simulated: say so in the caption.
    TMainForm(SIUSBXP &usb, DialogProvider &dialogs, bool simulated, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The other windows, created after this one (start-up order).
    void setDebugForm(TDebugForm *form);
    void setSysInfoForm(TSysInfoForm *form) { SysInfoForm = form; }
    void setStatusForm(TStatusForm *form) { StatusForm = form; }
    void setPassForm(TPassForm *form) { PassForm = form; }
    // The spreadsheet application the export drives (LibreOffice Calc unless
    // replaced).
    void setSpreadsheetDriver(std::unique_ptr<SpreadsheetDriver> driver);
    // The device type chosen at start (the command line's), as if clicked.
    void chooseDeviceType(DeviceType type);

    // The exchange with the journal the windows share: the service window
    // queues its commands on it, the information dialog reads its identity.
    ExchangeContext exchange() { return ExchangeContext{m_usb, Link, Commands, Answers, m_port}; }
    const JournalSettings &settings() const { return Settings; }
    // What the last search wrote: its journal file, index and title.
    const SearchState &lastSearch() const { return Search; }

    ExchangeEngine &engine() { return *m_engine; }
    QtTickTimer &readTimer() { return m_readTimerControl; }
    DialogProvider &dialogs() { return m_dialogs; }
    TDebugForm *debugForm() const { return DebugForm; }
    TSysInfoForm *sysInfoForm() const { return SysInfoForm; }
    TStatusForm *statusForm() const { return StatusForm; }
    bool reading() const { return m_reading; }

    // ---- Finding in the result ----
    void openFindBar(FindBar::Mode mode);
    // The next (or previous) place of text in the whole result, from the
    // last hit or from the top of the panes; the window moves to show it.
    void findInResult(const QString &text, bool backwards);
    // The window moves so the document's first line is at the top.
    void goToDocument(quint32 number);
    // The journal line at the top of the panes; -1 with nothing shown.
    qint64 topJournalLine() const;

    // ---- SearchView ----
    void clearResultPanes() override;
    void setElapsedText(const QString &text) override;
    void setResultRange(qint64 lineCount) override;
    void showResultWindow(qint64 position) override;
    void setSummaryText(const QString &text) override;
    void uncheckShowOnScreen() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class MainWindowPort; // the window's own port shows in its controls

    // ---- Handlers ----
    void FindBtnClick();
    void ExportBtnClick();
    void ExcelBtnClick();
    void PrintBtnClick();
    void ByDocRadioClick();
    void ByDatesRadioClick();
    void AllRadioClick();
    void DeviceTypeGroupClick();
    void SpeedButton1Click();
    void ClockTimerTimer();
    void CloseBtnClick();
    void FormResize();
    void FormKeyDown(QKeyEvent *event);
    void Image1Click(Qt::KeyboardModifiers held);
    void tabToCheckedRadio(QObject *watched, Qt::FocusReason reason);

    void createControls();
    void FormCreate();
    void FormDestroy();
    void layOutAnchors();
    void layOutStatusPanels();
    void setSmallestSize();
    void createNavigation();
    void showDocumentOfLine(qint64 line);
    bool navigationRefused();

    // The decoded lines of the last search into a new file (empty before any search).
    void writeDecodedLines(const QString &path);

    // The one read state: while the Find click reads, everything that would
    // start another exchange, an output or a modal window is disabled.
    void setReading(bool reading);

    // ---- Run-time state ----
    ExchangeState Link; // DevHandle, SendReady, ..., timeout
    CommandQueue Commands;
    AnswerRecords Answers;     // Data122 .. Data132
    JournalSettings Settings;  // LineWidth, LinesPerRequest
    RequestListState Requests; // CmdList, CmdIndex, FromDoc, ToDoc, CCC, PrevNum, StrList
    SearchState Search;        // SearchType, Title, dates, StartDT, EndDT, the journal file
    bool maximized = false;

    // ---- Controls (the form's, and these) ----
    QLabel *StatusPanel[3]; // StatusPanel0..2 of the form, by number
    QTimer *ReadTimer, *ClockTimer;
    QString SaveDialogDirectory;

    SIUSBXP &m_usb;
    DialogProvider &m_dialogs;
    MainWindowPort m_port;
    std::unique_ptr<SpreadsheetDriver> m_spreadsheet;
    QtTickTimer m_readTimerControl;
    std::unique_ptr<ExchangeEngine> m_engine;

    bool m_reading = false;        // the Find click is reading (setReading)
    bool m_closeRequested = false; // closed during the read: close once it has ended
    QString m_hitText;             // the text of the last find; its hit is the view's

    TDebugForm *DebugForm = nullptr;
    TSysInfoForm *SysInfoForm = nullptr;
    TStatusForm *StatusForm = nullptr;
    TPassForm *PassForm = nullptr;
};
