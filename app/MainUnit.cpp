#include "MainUnit.h"

#include "widgets/ControlNames.h"
#include "widgets/WindowFont.h"
#include "protocol/CodecErrors.h"
#include "protocol/Codecs.h"
#include "service/DebugUnit.h"
#include "protocol/DeviceLink.h"
#include "Glyphs.h"
#include "widgets/GroupBoxStyle.h"
#include "protocol/IdentityDisplay.h"
#include "service/PassUnit.h"
#include "widgets/RawPaneText.h"
#include "journal/ResultWindow.h"
#include "platform/spreadsheet/SpreadsheetDriver.h"
#include "StatusUnit.h"
#include "SysInfoUnit.h"
#include "widgets/TextEmphasis.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QCloseEvent>
#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextCursor>
#include <QScopedValueRollback>
#include <QWheelEvent>
#include <QTextBlock>
#include <QAbstractTextDocumentLayout>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {

constexpr int DesignWidth = 875;
constexpr int DesignHeight = 722;
constexpr int StatusBarHeight = 20;

} // namespace

// ---- ReadTimer ------------------------------------------------------------------

void QtTickTimer::start()
{
    m_timer->start();
}

void QtTickTimer::stop()
{
    m_timer->stop();
}

bool QtTickTimer::isActive() const
{
    return m_timer->isActive();
}

// ---- Construction -----------------------------------------------------------------

TMainForm::TMainForm(SIUSBXP &usb, DialogProvider &dialogs, bool simulated, QWidget *parent)
    : QWidget(parent)
    , m_usb(usb)
    , m_dialogs(dialogs)
    , m_port(*this)
    , m_spreadsheet(std::make_unique<LibreOfficeCalc>())
    , m_readTimerControl(nullptr)
{
    ReadTimer = new QTimer(this);
    ReadTimer->setInterval(TickPeriodMs);
    ClockTimer = new QTimer(this);
    ClockTimer->setInterval(1000);
    m_readTimerControl = QtTickTimer(ReadTimer);
    m_engine = std::make_unique<ExchangeEngine>(m_usb, Link, Commands, Answers, m_port, m_readTimerControl);

    createControls();
    setWindowTitle(QLatin1String(Caption) + (simulated ? tr(" (simulated journal)") : QString()));
    // The installed icon of the desktop's theme, or the drawn logo when the
    // program runs from its build folder.
    setWindowIcon(QIcon::fromTheme(QStringLiteral("ejournal"), QIcon(Glyphs::logo(64, 64))));
    setFont(WindowFont());
    NameControls({EJ_NAMED(ReadTimer), EJ_NAMED(ClockTimer)}); // the controls are named by the form
    connect(ReadTimer, &QTimer::timeout, this, [this] {
        // No exception may cross the event loop; the tick's own failures are
        // already boxes, anything else is shown as the toolkit would.
        try {
            m_engine->ReadTimerTimer();
        } catch (const std::exception &e) {
            m_port.deferred(
                [this, text = QString::fromLocal8Bit(e.what())] { m_port.messageBox(MessagePort::Box::Error, text); });
        }
    });
    connect(ClockTimer, &QTimer::timeout, this, &TMainForm::ClockTimerTimer);
    // The window sees every key press before the focused control does.
    qApp->installEventFilter(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::createControls()
{
    // The form places and names the controls; what it cannot say (drawn
    // icons, the fonts, validators) and the handlers come here.
    setupUi(this);
    StatusPanel[0] = StatusPanel0;
    StatusPanel[1] = StatusPanel1;
    StatusPanel[2] = StatusPanel2;
    for (QGroupBox *box : {DeviceTypeGroup, GroupBox1, GroupBox2})
        PutTitleOnFrame(box);

    const std::pair<QToolButton *, Glyphs::Button> icons[] = {
        {CloseBtn, Glyphs::Button::Close},           {PrintBtn, Glyphs::Button::Print},
        {ExportBtn, Glyphs::Button::ExportText},     {ExcelBtn, Glyphs::Button::ExportSpreadsheet},
        {SpeedButton1, Glyphs::Button::Information}, {FindBtn, Glyphs::Button::Find},
    };
    for (const auto &[button, glyph] : icons) {
        const int icon = qMin(button->width(), button->height()) - 8;
        button->setIcon(Glyphs::icon(glyph, icon));
        button->setIconSize(QSize(icon, icon));
    }
    connect(CloseBtn, &QToolButton::clicked, this, &TMainForm::CloseBtnClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);
    connect(ExportBtn, &QToolButton::clicked, this, &TMainForm::ExportBtnClick);
    connect(ExcelBtn, &QToolButton::clicked, this, &TMainForm::ExcelBtnClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TMainForm::PrintBtnClick);
    // The device types are the group's radio buttons, each naming its model.
    for (QRadioButton *type : DeviceTypeGroup->findChildren<QRadioButton *>())
        connect(type, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                DeviceTypeGroupClick();
        });

    QFont errorFont(QStringLiteral("Times New Roman"));
    errorFont.setPixelSize(16);
    ErrorLabel->setFont(errorFont);
    QPalette red = ErrorLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ErrorLabel->setPalette(red);
    ErrorLabel->hide();
    Image1->setPixmap(Glyphs::logo(Image1->width(), Image1->height()));

    auto digitsOnly = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), this);
    FromNumberEdit->setValidator(digitsOnly);
    ToNumberEdit->setValidator(digitsOnly);
    // The three share the group box, so Qt keeps at most one checked; none is
    // until the user picks a mode.
    connect(ByDocRadio, &QRadioButton::clicked, this, &TMainForm::ByDocRadioClick);
    connect(ByDatesRadio, &QRadioButton::clicked, this, &TMainForm::ByDatesRadioClick);
    connect(AllRadio, &QRadioButton::clicked, this, &TMainForm::AllRadioClick);
    connect(FindBtn, &QToolButton::clicked, this, &TMainForm::FindBtnClick);

    ResultPanes->setSource(Search.journal);
    connect(ResultPanes, &ResultView::topLineChanged, this, &TMainForm::showDocumentOfLine);
    connect(ResultPanes, &ResultView::loadFailed, this,
            [this](const QString &message) { m_port.messageBox(MessagePort::Box::Error, message); });

    createNavigation();
    layOutStatusPanels();
    setSmallestSize();
}

void TMainForm::setSmallestSize()
{
    // The window keeps its design's layout and only stretches the right and
    // bottom edges, so its smallest size is where the moving controls would
    // reach the fixed ones: the Find button the filter's check boxes, the
    // logo the device type; and where the panes still show a fair part of a
    // receipt with the find bar open.
    int filterRight = 0;
    for (QWidget *c : GroupBox1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (c != FindBtn)
            filterRight = qMax(filterRight, c->geometry().right());
    }
    constexpr int Gap = 8;
    const int findButtonRoom = filterRight + 1 + Gap + (GroupBox1->width() - FindBtn->x());
    const int byFilter = DesignWidth + findButtonRoom - GroupBox1->width();
    const int byLogo = DesignWidth + (DeviceTypeGroup->geometry().right() + 1 + Gap) - Image1->x();
    constexpr int SmallestPaneHeight = 160; // a dozen rows
    const int paneHeight = ResultPanes->originalPane()->height();
    setMinimumSize(qMax(byFilter, byLogo), DesignHeight - (paneHeight - SmallestPaneHeight) + FindBar::BarHeight);
}

void TMainForm::FormCreate()
{
    Link.timeout = DefaultAnswerTimeoutTicks;
    Settings = SettingsFor(DeviceType::CashRegister);
    Link.SendReady = true;
    Commands.clear();
    Requests.StrList.clear();
    Requests.CCC = 0;
    // Only the days the journal's date word can name.
    for (QDateEdit *picker : {FromDatePicker, ToDatePicker})
        picker->setDateRange(FirstJournalDate, LastJournalDate);
    FromDatePicker->setDate(QDate::currentDate());
    ToDatePicker->setDate(QDate::currentDate());
    FromTimePicker->setTime(QTime(0, 0, 0));
    ToTimePicker->setTime(QTime(23, 59, 59));
    ClockTimer->start();
    FindConnectDevice(m_usb, Link.DevHandle, m_port, m_port);
    ReadTimer->start();
    SaveDialogDirectory = QDir::currentPath();
    get_info_initial(Commands);
}

void TMainForm::FormDestroy()
{
    Requests.StrList.clear();
    ReadTimer->stop();
    if (Link.DevHandle != 0)
        CloseDevice(m_usb, Link.DevHandle);
    Commands.clear();
    ResultPanes->clear();
}

// ---- Layout -----------------------------------------------------------------------

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutAnchors();
    FormResize();
}

void TMainForm::changeEvent(QEvent *event)
{
    // The system's maximize command: the diagnostic window goes inside a
    // maximized window.
    if (event->type() == QEvent::WindowStateChange)
        maximized = windowState() & Qt::WindowMaximized;
    QWidget::changeEvent(event);
}

void TMainForm::layOutAnchors()
{
    const int dw = width() - DesignWidth;
    // The find bar, when open, takes its height from the result.
    const int bar = ResultFindBar->isHidden() ? 0 : FindBar::BarHeight;
    const int dh = height() - DesignHeight - bar;
    Image1->move(824 + dw, -1);
    GroupBox1->resize(qMax(100, 861 + dw), 86);
    FindBtn->move(GroupBox1->width() - 61, 9);
    GroupBox2->resize(qMax(100, 860 + dw), qMax(100, 553 + dh));
    // The result view fills its box below the title and lays its panes out.
    ResultPanes->setGeometry(0, ResultPanes->y(), GroupBox2->width(), GroupBox2->height() - ResultPanes->y());
    StatusBar1->setGeometry(0, height() - StatusBarHeight, width(), StatusBarHeight);
    ResultFindBar->setGeometry(GroupBox2->x(), height() - StatusBarHeight - bar, GroupBox2->width(), bar);
}

void TMainForm::layOutStatusPanels()
{
    // The panels abut, as the design's do: panel 0 takes the bar's width less
    // the two fixed ones. (QStatusBar's own layout would space them apart.)
    // The document panel stands between the summary and the time taken.
    const int fixed = DocumentPanel->width() + StatusPanel[1]->width() + StatusPanel[2]->width();
    const int first = qMax(0, StatusBar1->width() - fixed);
    StatusPanel[0]->setGeometry(0, 0, first, StatusBarHeight);
    DocumentPanel->setGeometry(first, 0, DocumentPanel->width(), StatusBarHeight);
    StatusPanel[1]->move(first + DocumentPanel->width(), 0);
    StatusPanel[2]->move(StatusPanel[1]->x() + StatusPanel[1]->width(), 0);
}

void TMainForm::FormResize()
{
    // The panes follow their box in the result view's own resize.
    layOutStatusPanels();
}

// ---- Handlers ----------------------------------------------------------------------

void TMainForm::setDebugForm(TDebugForm *form)
{
    DebugForm = form;
    if (DebugForm)
        DebugForm->setMainViews(ResultPanes->originalPane(), ResultPanes->decodedPane());
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        // A key that a control passes on reaches its parents too; showing
        // an open window again changes nothing, so that does no harm.
        if (static_cast<QWidget *>(watched)->window() == this)
            FormKeyDown(static_cast<QKeyEvent *>(event));
    }
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress)
        Image1Click(static_cast<QMouseEvent *>(event)->modifiers());
    if (event->type() == QEvent::FocusIn)
        tabToCheckedRadio(watched, static_cast<QFocusEvent *>(event)->reason());
    return QWidget::eventFilter(watched, event);
}

void TMainForm::tabToCheckedRadio(QObject *watched, Qt::FocusReason reason)
{
    // Qt's Tab stops at the first radio button of a group, whichever is
    // chosen; a keyboard user expects the chosen one, as in any dialog.
    auto *radio = qobject_cast<QRadioButton *>(watched);
    if (!radio || radio->window() != this || radio->isChecked() || !radio->autoExclusive()
        || (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason))
        return;
    for (QRadioButton *other : radio->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly)) {
        if (other->isChecked() && other->autoExclusive() && other->isEnabled()) {
            other->setFocus(reason);
            return;
        }
    }
}

void TMainForm::FormKeyDown(QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    if (event->key() == Qt::Key_E && (held & Qt::ControlModifier) && (held & Qt::AltModifier) && PassForm && !m_reading)
        PassForm->show();
}

void TMainForm::Image1Click(Qt::KeyboardModifiers held)
{
    const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
    if ((held & all) != all || !DebugForm)
        return;
    // Its frame is known once it is on screen, so it is placed right after.
    ResultPanes->originalPane()->setReadOnly(false);
    ResultPanes->decodedPane()->setReadOnly(false);
    DebugForm->show();
    const QRect m = frameGeometry();
    const int debugWidth = DebugForm->frameGeometry().width();
    const QScreen *screen = this->screen();
    const int screenWidth = screen ? screen->geometry().width() : m.right();
    // The raw pane's top in its box, as the design placed it.
    const int paneTop = ResultPanes->paneTop();
    if (maximized)
        DebugForm->move(m.width() - debugWidth - 32, paneTop + 20);
    else if (m.left() + m.width() + debugWidth + 4 > screenWidth)
        DebugForm->move(screenWidth - debugWidth - 4, m.top() + paneTop + 20);
    else
        DebugForm->move(m.left() + m.width() + 4, m.top());
}

void TMainForm::ClockTimerTimer()
{
    StatusPanel[2]->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void TMainForm::DeviceTypeGroupClick()
{
    for (const QRadioButton *type : DeviceTypeGroup->findChildren<QRadioButton *>()) {
        if (!type->isChecked())
            continue;
        if (const DeviceModel *model = ModelNamed(type->property("deviceModel").toString()))
            Settings = model->settings;
    }
}

void TMainForm::chooseDeviceType(DeviceType type)
{
    const QLatin1String name(ModelOf(type).optionName);
    for (QRadioButton *button : DeviceTypeGroup->findChildren<QRadioButton *>()) {
        if (button->property("deviceModel").toString() == name)
            button->setChecked(true);
    }
    DeviceTypeGroupClick();
}

void TMainForm::CloseBtnClick()
{
    close();
}

void TMainForm::ByDocRadioClick()
{
    for (QWidget *w : std::initializer_list<QWidget *>{FromNumberEdit, ToNumberEdit})
        w->setEnabled(true);
    for (QWidget *w : std::initializer_list<QWidget *>{FromDatePicker, ToDatePicker, FromTimePicker, ToTimePicker})
        w->setEnabled(false);
}

void TMainForm::ByDatesRadioClick()
{
    for (QWidget *w : std::initializer_list<QWidget *>{FromNumberEdit, ToNumberEdit})
        w->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{FromDatePicker, ToDatePicker, FromTimePicker, ToTimePicker})
        w->setEnabled(true);
}

void TMainForm::AllRadioClick()
{
    for (QWidget *w : std::initializer_list<QWidget *>{FromNumberEdit, ToNumberEdit, FromDatePicker, ToDatePicker,
                                                       FromTimePicker, ToTimePicker})
        w->setEnabled(false);
}

void TMainForm::FindBtnClick()
{
    SearchRequest request;
    if (ByDocRadio->isChecked())
        request.mode = SearchRequest::Mode::ByNumbers;
    else if (ByDatesRadio->isChecked())
        request.mode = SearchRequest::Mode::ByDates;
    else if (AllRadio->isChecked())
        request.mode = SearchRequest::Mode::All;
    request.fromNumber = FromNumberEdit->text();
    request.toNumber = ToNumberEdit->text();
    request.fromDate = FromDatePicker->date();
    request.toDate = ToDatePicker->date();
    request.fromTime = FromTimePicker->time();
    request.toTime = ToTimePicker->time();
    request.showOnScreen = ShowOnScreenCheck->isChecked();
    request.saveConverted = SaveConvertedToFile->isChecked();
    request.directory = QDir::currentPath();
    // The information dialog's field is the program's record of the number.
    request.fiscalMemory = SysInfoForm ? SysInfoForm->FiscalMemoryEdit->text() : FiscalMemoryText(Answers.Data132);

    m_closeRequested = false;
    setReading(true);
    try {
        JournalSearch search(ExchangeContext{m_usb, Link, Commands, Answers, m_port}, Requests, Search, Settings,
                             m_readTimerControl, *this);
        search.run(request);
    } catch (const std::exception &e) {
        m_port.messageBox(MessagePort::Box::Error, QString::fromLocal8Bit(e.what()));
        m_port.setFindEnabled(true);
        m_port.restoreBusyPointer();
        if (!ReadTimer->isActive())
            ReadTimer->start();
    }
    setReading(false);
    if (m_closeRequested)
        close();
}

void TMainForm::setReading(bool reading)
{
    m_reading = reading;
    ResultPanes->setReading(reading);
    // The diagnostic window is not modal and exists to watch the exchange:
    // it stays reachable. Ctrl+Alt+E asks the state in FormKeyDown.
    for (QWidget *w :
         std::initializer_list<QWidget *>{FindBtn, SpeedButton1, PrintBtn, ExportBtn, ExcelBtn, DeviceTypeGroup})
        w->setEnabled(!reading);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // The read runs inside the Find click, on this window; closing it now
    // would pull the windows from under it. Cancel the read, then close.
    if (m_reading) {
        m_closeRequested = true;
        if (StatusForm)
            StatusForm->requestCancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TMainForm::SpeedButton1Click()
{
    if (ReadTimer->isActive()) {
        get_info_initial(Commands);
        if (Answers.Data132.init_date != 0 && SysInfoForm) {
            try {
                SysInfoForm->showIdentity(IdentityDisplay(Answers.Data132));
            } catch (const CodecError &e) {
                m_port.messageBox(MessagePort::Box::Error, QString::fromLatin1(e.what()));
            }
        }
    }
    if (SysInfoForm)
        SysInfoForm->exec();
}

// ---- SearchView ----------------------------------------------------------------------

void TMainForm::clearResultPanes()
{
    ResultPanes->clear();
    ResultFindBar->say(QString());
}

void TMainForm::setElapsedText(const QString &text)
{
    StatusPanel[1]->setText(text);
}

void TMainForm::setResultRange(qint64 lineCount)
{
    ResultPanes->setRange(lineCount);
}

void TMainForm::showResultWindow(qint64 position)
{
    ResultPanes->ShowJournalWindow(position);
}

void TMainForm::setSummaryText(const QString &text)
{
    StatusPanel[0]->setText(text);
}

void TMainForm::uncheckShowOnScreen()
{
    ShowOnScreenCheck->setChecked(false);
}
