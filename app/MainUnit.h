#pragma once

#include "DialogProvider.h"
#include "ExchangeEngine.h"
#include "FindBar.h"
#include "JournalFind.h"
#include "JournalSearch.h"
#include "MainWindowPort.h"
#include "RequestListExchange.h"
#include "UserPort.h"
#include "ui_MainUnit.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class SpreadsheetDriver;
class QWheelEvent;
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
// core, which reaches the user through the window's port.
class TMainForm : public QWidget, public SearchView, public Ui::TMainForm
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

    // ---- Run-time state ----
    ExchangeState Link;       // DevHandle, SendReady, ..., timeout
    CommandQueue Commands;
    AnswerRecords Answers;    // Data122 .. Data132
    JournalSettings Settings; // LineWidth, LinesPerRequest
    RequestListState Requests; // CmdList, CmdIndex, FromDoc, ToDoc, CCC, PrevNum, StrList
    SearchState Search;       // SearchType, Title, dates, StartDT, EndDT, the journal file
    QStringList StrList1;     // the decoded lines of the window on screen
    bool maximized = false;

    ExchangeEngine &engine() { return *m_engine; }
    QtTickTimer &readTimer() { return m_readTimerControl; }
    SIUSBXP &usb() { return m_usb; }
    DialogProvider &dialogs() { return m_dialogs; }
    UserPort &port() { return m_port; }
    TDebugForm *debugForm() const { return DebugForm; }
    TSysInfoForm *sysInfoForm() const { return SysInfoForm; }
    TStatusForm *statusForm() const { return StatusForm; }
    bool reading() const { return m_reading; }

    // ---- Controls (the form's, and these) ----
    QLabel *StatusPanel[3]; // StatusPanel0..2 of the form, by number
    QTimer *ReadTimer, *ClockTimer;
    QString SaveDialogDirectory;

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
    void OriginalScrollBarChange();
    void ShowJournalWindow(qint64 position);
    void ClockTimerTimer();
    void CloseBtnClick();
    void FormResize();
    void FormKeyDown(QKeyEvent *event);
    void Image1Click(Qt::KeyboardModifiers held);

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
    void createControls();
    void FormCreate();
    void FormDestroy();
    void layOutAnchors();

    // The decoded lines of the last search into a new file (empty before any search).
    void writeDecodedLines(const QString &path);

    SIUSBXP &m_usb;
    DialogProvider &m_dialogs;
    MainWindowPort m_port;
    std::unique_ptr<SpreadsheetDriver> m_spreadsheet;
    QtTickTimer m_readTimerControl;
    std::unique_ptr<ExchangeEngine> m_engine;
    // Line i of "Original" beside line i of "Decoded": the other pane follows
    // the one that scrolled, both with a whole line at the top.
    void alignPanes(QTextEdit *scrolled);
    // The wheel over a pane at its end goes on into the journal file.
    bool wheelIntoFile(QTextEdit *pane, QWheelEvent *event);
    int firstVisibleLine(QTextEdit *pane) const;
    void matchRowHeights();
    void layOutStatusPanels();
    void showLineAtTop(QTextEdit *pane, int line);
    void createNavigation();
    // A line of the journal file on screen: its window loaded, the panes
    // scrolled to it when it is not in view, context lines above it (or at
    // the top, with atTop).
    void showJournalLine(qint64 line, int context, bool atTop);
    bool lineInView(QTextEdit *pane, int line) const;
    void markHit();
    void showDocumentOfTopLine();
    bool navigationRefused();

    // The one read state: while the Find click reads, everything that would
    // start another exchange, an output or a modal window is disabled.
    void setReading(bool reading);

    bool m_reading = false;    // the Find click is reading (setReading)
    bool m_closeRequested = false; // closed during the read: close once it has ended
    bool m_aligning = false;
    qint64 m_windowFirst = -1; // the journal line of the panes' first line; -1: no window shown
    JournalHit m_hit;          // the last find's hit, marked while its line is on screen
    QString m_hitText;

    TDebugForm *DebugForm = nullptr;
    TSysInfoForm *SysInfoForm = nullptr;
    TStatusForm *StatusForm = nullptr;
    TPassForm *PassForm = nullptr;
};
