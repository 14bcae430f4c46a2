#include "protocol/Codecs.h"
#include "tests/support/Controls.h"
#include "tests/support/GuiRig.h"
#include "journal/LineDecoding.h"
#include "widgets/RawPaneText.h"
#include "app/StatusUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QStatusBar>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextEdit>
#include <QTimeEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

SimulatorOptions withDocuments(quint32 n)
{
    SimulatorOptions o;
    o.documents = n;
    return o;
}

QStringList lines(const QTextEdit *pane)
{
    const QString text = pane->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(MainWindow, StartUpFillsTheInformationDialogWithoutShowingIt)
{
    GuiRig gui(withDocuments(77));
    EXPECT_EQ(gui.main->windowTitle(), QStringLiteral("Velmora Tavrello 1.2 (simulated journal)"));
    EXPECT_EQ(gui.main->exchange().Commands.size(), 1) << "the identity request waits for the first tick";
    gui.tick();
    EXPECT_EQ(gui.info->DocNumEdit->text(), QStringLiteral("77"));
    EXPECT_EQ(gui.info->FiscalMemoryEdit->text().size(), 8);
    EXPECT_EQ(gui.info->InitTimeEdit->text(), QStringLiteral("09:05:00"));
    EXPECT_FALSE(gui.info->isVisible());
    EXPECT_TRUE(gui.dialogs.shown.isEmpty());
    EXPECT_FALSE(Control<QLabel>(gui.main, "ErrorLabel")->isVisible());
    // The defaults of the form.
    EXPECT_EQ(Control<QTimeEdit>(gui.main, "FromTimePicker")->time(), QTime(0, 0, 0));
    EXPECT_EQ(Control<QTimeEdit>(gui.main, "ToTimePicker")->time(), QTime(23, 59, 59));
    EXPECT_EQ(Control<QDateEdit>(gui.main, "FromDatePicker")->date(), QDate::currentDate());
    EXPECT_FALSE(Control<QRadioButton>(gui.main, "ByDocRadio")->isChecked()
                 || Control<QRadioButton>(gui.main, "ByDatesRadio")->isChecked()
                 || Control<QRadioButton>(gui.main, "AllRadio")->isChecked());
    EXPECT_FALSE(Control<QLineEdit>(gui.main, "FromNumberEdit")->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(gui.main, "ShowOnScreenCheck")->isChecked());
}

// The date word holds the years 2000 to 2127: a picker that took 1899 would
// send a request for 2027.
TEST(MainWindow, DatePickersHoldOnlyTheDaysTheJournalCanName)
{
    GuiRig gui;
    for (const char *name : {"FromDatePicker", "ToDatePicker"}) {
        auto *picker = gui.main->findChild<QDateEdit *>(QLatin1String(name));
        ASSERT_NE(picker, nullptr) << name;
        picker->setDate(QDate(1899, 12, 31));
        EXPECT_EQ(picker->date(), QDate(2000, 1, 1)) << name;
        picker->setDate(QDate(2200, 1, 1));
        EXPECT_EQ(picker->date(), QDate(2127, 12, 31)) << name;
    }
}

// A fiscal printer's journal read as a cash register's is named, not
// garbled; ejournal --simulator --device-type fiscal-printer chooses the
// right type from the start.
TEST(MainWindow, TheDeviceTypeIsSaidWhenWrongAndTakenFromTheCommandLine)
{
    SimulatorOptions printer;
    printer.deviceType = DeviceType::FiscalPrinter;
    printer.documents = 5;
    GuiRig gui(printer);
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    EXPECT_TRUE(gui.dialogs.shown.contains(
        QStringLiteral("error: The journal's lines are 32 characters long: choose Fiscal Printer.")))
        << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();
    QFile wrong(gui.journalPath());
    ASSERT_TRUE(wrong.open(QIODevice::ReadOnly));
    EXPECT_EQ(wrong.size(), 0) << "no garbled line";
    wrong.close();

    gui.dialogs.shown.clear();
    gui.main->chooseDeviceType(DeviceType::FiscalPrinter);
    EXPECT_TRUE(gui.main->findChild<QRadioButton *>(QStringLiteral("FiscalPrinterItem"))->isChecked());
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QFile journal(gui.journalPath());
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    EXPECT_EQ(journal.readLine().size(), 32 + 2);
    EXPECT_FALSE(gui.dialogs.shown.join(QLatin1Char('|')).contains(QLatin1String("characters long")));
}

TEST(MainWindow, StartUpWithoutDeviceStillOpens)
{
    GuiRig gui({}, false);
    EXPECT_EQ(gui.main->exchange().state.DevHandle, 0u);
    EXPECT_TRUE(gui.dialogs.shown.isEmpty()) << "nothing attached: nothing to say";
    EXPECT_EQ(gui.main->exchange().Commands.size(), 1);
    // The clock ticks once a second, device or not.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Control<QLabel>(gui.main, "StatusPanel2")->text().size() == 8; }, 2500));
}

struct ModeCase
{
    const char *name;
    std::function<void(TMainForm &, SimulatedUsb &)> choose;
    int documents;
};

TEST(MainWindow, SearchInEachModeFillsPanesStatusAndFiles)
{
    const ModeCase cases[] = {
        {"by numbers",
         [](TMainForm &m, SimulatedUsb &) {
             Control<QRadioButton>(&m, "ByDocRadio")->click();
             Control<QLineEdit>(&m, "FromNumberEdit")->setText(QStringLiteral("5"));
             Control<QLineEdit>(&m, "ToNumberEdit")->setText(QStringLiteral("6"));
         },
         2},
        {"by dates",
         [](TMainForm &m, SimulatedUsb &usb) {
             Control<QRadioButton>(&m, "ByDatesRadio")->click();
             const QDate day = DecodeDateVuze(usb.journal().generator().dateWord(0));
             Control<QDateEdit>(&m, "FromDatePicker")->setDate(day);
             Control<QDateEdit>(&m, "ToDatePicker")->setDate(day.addDays(1));
         },
         -1},
        {"all", [](TMainForm &m, SimulatedUsb &) { Control<QRadioButton>(&m, "AllRadio")->click(); }, 40},
    };
    for (const auto &c : cases) {
        GuiRig gui(withDocuments(40));
        gui.tick();
        c.choose(*gui.main, *gui.usb);
        Control<QCheckBox>(gui.main, "SaveConvertedToFile")->setChecked(true);
        Control<QToolButton>(gui.main, "FindBtn")->click();

        EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("information: Done")}) << c.name;
        const QByteArray journal = fileBytes(gui.journalPath());
        const qsizetype count = journal.count("\r\n");
        ASSERT_GT(count, 0) << c.name;
        const QStringList raw = lines(Control<QTextEdit>(gui.main, "DataMemo"));
        const QStringList decoded = lines(Control<QTextEdit>(gui.main, "ConvertMemo"));
        EXPECT_EQ(raw.size(), qMin<qsizetype>(count, 200)) << c.name;
        EXPECT_EQ(decoded.size(), raw.size()) << c.name;
        EXPECT_EQ(raw.first(), RawLineForDisplay(journal.left(18))) << c.name;
        EXPECT_TRUE(decoded.first().startsWith(QLatin1String("(Logo)"))) << c.name;
        const QString summary = Control<QLabel>(gui.main, "StatusPanel0")->text();
        EXPECT_TRUE(summary.contains(QStringLiteral(" %1 lines, about ").arg(count))) << summary.toStdString();
        if (c.documents > 0) {
            EXPECT_TRUE(summary.startsWith(QStringLiteral("Found %1 documents").arg(c.documents)))
                << summary.toStdString();
        }
        EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel1")->text(), QStringLiteral("00:00:00"));
        EXPECT_TRUE(
            QFile::exists(gui.dir.filePath(QStringLiteral("Bosnian_%1.txt").arg(gui.info->FiscalMemoryEdit->text()))));
        EXPECT_FALSE(gui.status->isVisible()) << c.name;
        EXPECT_TRUE(Control<QToolButton>(gui.main, "FindBtn")->isEnabled()) << c.name;
        EXPECT_EQ(Control<QScrollBar>(gui.main, "OriginalScrollBar")->maximum(), count - 1) << c.name;
    }
}

TEST(MainWindow, ScrollingShowsTheWindowAtThePosition)
{
    GuiRig gui(withDocuments(60));
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    const QList<QByteArray> journal = fileBytes(gui.journalPath()).split('\n');
    const int count = int(journal.size()) - 1;
    ASSERT_GT(count, 700);
    auto journalLine = [&](int i) { return RawLineForDisplay(journal[i].chopped(1)); };

    Control<QScrollBar>(gui.main, "OriginalScrollBar")->setValue(500);
    QStringList raw = lines(Control<QTextEdit>(gui.main, "DataMemo"));
    ASSERT_EQ(raw.size(), 200);
    EXPECT_EQ(raw.first(), journalLine(500));
    EXPECT_EQ(raw.last(), journalLine(699));

    Control<QScrollBar>(gui.main, "OriginalScrollBar")
        ->setValue(Control<QScrollBar>(gui.main, "OriginalScrollBar")->maximum());
    raw = lines(Control<QTextEdit>(gui.main, "DataMemo"));
    ASSERT_EQ(raw.size(), 200);
    EXPECT_EQ(raw.first(), journalLine(count - 200));
    EXPECT_EQ(raw.last(), journalLine(count - 1)) << "the last line, and no empty one after it";
    EXPECT_EQ(Control<ResultView>(gui.main, "ResultPanes")->decodedWindow().size(), 200);
}

// What Qt draws from: every block of a pane laid out with at least one line,
// taking space, each below the one before.
void ExpectEveryLineLaidOut(QTextEdit *pane, const char *name, int position)
{
    QTextDocument *doc = pane->document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    int blocks = 0;
    double bottom = -1;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++blocks) {
        ASSERT_TRUE(b.layout() && b.layout()->lineCount() > 0)
            << name << " at " << position << ": block " << b.blockNumber() << " (\"" << b.text().toStdString()
            << "\") has no laid-out line";
        const QRectF r = layout->blockBoundingRect(b);
        ASSERT_GT(r.height(), 0) << name << " at " << position << ": block " << b.blockNumber() << " takes no space";
        if (bottom >= 0) {
            // below the line before (a fixed row height may leave air between)
            ASSERT_GE(r.top(), bottom - 0.5) << name << " at " << position << ": block " << b.blockNumber();
        }
        bottom = r.bottom();
    }
    EXPECT_EQ(blocks, 200) << name;
    EXPECT_GE(layout->documentSize().height(), bottom) << name << " at " << position;
}

TEST(MainWindow, BothPanesLayOutEveryLineAtEveryPosition)
{
    GuiRig gui(withDocuments(300));
    gui.main->show();
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QScrollBar *bar = Control<QScrollBar>(gui.main, "OriginalScrollBar");
    ASSERT_GT(bar->maximum(), 2000);
    for (int position : {0, bar->maximum() / 2, bar->maximum() - 150, bar->maximum()}) {
        bar->setValue(position);
        // Qt finishes a long layout in idle steps; a window that is left alone
        // for a moment has had them.
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 300)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        // EJOURNAL_SAVE_GRABS=folder keeps what the window looks like, to look at.
        if (qEnvironmentVariableIsSet("EJOURNAL_SAVE_GRABS"))
            gui.main->grab().save(
                QStringLiteral("%1/window-%2.png").arg(qEnvironmentVariable("EJOURNAL_SAVE_GRABS")).arg(position));
        ExpectEveryLineLaidOut(Control<QTextEdit>(gui.main, "DataMemo"), "Original", position);
        ExpectEveryLineLaidOut(Control<QTextEdit>(gui.main, "ConvertMemo"), "Decoded", position);
    }
}

TEST(RawPane, ShowsTheBytesAsCodePage1251AndTheMarksAsPictures)
{
    const std::pair<quint8, char16_t> cases[] = {
        {'A', u'A'},    {0x20, u' '},   {0x12, 0x25A3}, {0x13, 0x25A4}, {0x7F, 0x232B}, {0x80, 0x0402},
        {0x88, 0x20AC}, {0x98, 0x2592}, {0x9F, 0x045F}, {0xA0, 0x00A0}, {0xA3, 0x0408}, {0xB9, 0x2116},
        {0xC0, 0x0410}, {0xDF, 0x042F}, {0xE0, 0x0430}, {0xFF, 0x044F},
    };
    for (const auto &[byte, shown] : cases) {
        const char b = char(byte);
        EXPECT_EQ(RawLineForDisplay(QByteArrayView(&b, 1)), QString(QChar(shown))) << int(byte);
        EXPECT_EQ(DeviceByteShownBy(QChar(shown)), int(byte)) << int(byte);
    }
    EXPECT_EQ(DeviceByteShownBy(QChar(0x1234)), 0x1234) << "what no byte shows stands for itself";
}

TEST(MainWindow, DecodedPaneEmphasisesTheMarkers)
{
    GuiRig gui(withDocuments(3));
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QTextDocument *doc = Control<QTextEdit>(gui.main, "ConvertMemo")->document();
    bool sawLogo = false, sawClosing = false;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat fmt = f.charFormat();
            if (f.text() == QLatin1String("(Logo)")) {
                sawLogo = true;
                EXPECT_EQ(fmt.foreground().color(), QColor(0, 0, 255));
                EXPECT_TRUE(fmt.font().bold() && fmt.font().italic());
                EXPECT_EQ(fmt.font().pointSize(), 10);
                EXPECT_EQ(fmt.background().color(), QColor(255, 255, 255));
            }
            if (f.text() == QLatin1String("H V A L A")) {
                sawClosing = true;
                EXPECT_EQ(fmt.foreground().color(), QColor(0, 0, 0));
                EXPECT_TRUE(fmt.font().bold());
                EXPECT_FALSE(fmt.font().italic());
                EXPECT_EQ(fmt.font().pointSize(), 14);
            }
        }
    }
    EXPECT_TRUE(sawLogo);
    EXPECT_TRUE(sawClosing);
}

TEST(MainWindow, SearchesThatDoNotRun)
{
    {
        GuiRig gui({}, false);
        Control<QTextEdit>(gui.main, "DataMemo")->setPlainText(QStringLiteral("old"));
        Control<QRadioButton>(gui.main, "ByDocRadio")->click();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("information: Done")}) << "beep, then Done";
        EXPECT_TRUE(Control<QTextEdit>(gui.main, "DataMemo")->toPlainText().isEmpty());
    }
    {
        GuiRig gui;
        gui.tick();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        EXPECT_EQ(gui.dialogs.shown, (QStringList{QStringLiteral("warning: Please choose type of serching"),
                                                  QStringLiteral("information: Done")}));
        EXPECT_EQ(fileBytes(gui.journalPath()), QByteArray());
    }
    {
        GuiRig gui(withDocuments(0));
        gui.tick();
        Control<QRadioButton>(gui.main, "AllRadio")->click();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        EXPECT_EQ(gui.dialogs.shown,
                  (QStringList{QStringLiteral("warning: No stored documents"), QStringLiteral("information: Done")}));
    }
}

TEST(MainWindow, AllAboveFiveThousandAsksFirst)
{
    for (bool yes : {false, true}) {
        GuiRig gui(withDocuments(5001));
        gui.tick();
        gui.dialogs.answers = {yes};
        Control<QRadioButton>(gui.main, "AllRadio")->click();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        ASSERT_FALSE(gui.dialogs.shown.isEmpty());
        EXPECT_TRUE(gui.dialogs.shown.first().startsWith(
            QStringLiteral("question:        Number of documents are more then 5000.")));
        EXPECT_EQ(gui.dialogs.shown.last(), QStringLiteral("information: Done"));
        EXPECT_EQ(Control<QCheckBox>(gui.main, "ShowOnScreenCheck")->isChecked(), !yes);
        EXPECT_TRUE(Control<QLabel>(gui.main, "StatusPanel0")->text().isEmpty()) << "no summary either way";
        EXPECT_EQ(fileBytes(gui.journalPath()).isEmpty(), !yes);
    }
}

TEST(MainWindow, InformationDialogWarnings)
{
    auto openDialog = [](GuiRig &gui) {
        // The dialog is modal: close it once its own boxes have been shown
        // (they come right after it is on screen), however slow the machine.
        QTimer closer;
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&closer, &QTimer::timeout, gui.info, [&] {
            if (!gui.dialogs.shown.isEmpty() || waited.elapsed() > 3000)
                gui.info->close();
        });
        closer.start(10);
        Control<QToolButton>(gui.main, "SpeedButton1")->click();
    };
    {
        GuiRig gui({}, false);
        openDialog(gui);
        EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("error: No connection with Electronic Journal")});
        EXPECT_TRUE(gui.info->InitDateEdit->text().isEmpty());
    }
    {
        SimulatorOptions o;
        GuiRig gui(o);
        SimulatedJournal::Identity id = gui.usb->journal().identity();
        id.initDate = 0xFFFF;
        gui.usb->journal().setIdentity(id);
        gui.tick();
        Control<QTimer>(gui.main, "ReadTimer")->start();
        openDialog(gui);
        Control<QTimer>(gui.main, "ReadTimer")->stop();
        EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("warning: Electronic Journal is not initialized")});
        EXPECT_EQ(gui.info->InitDateEdit->text(),
                  QLocale::system().toString(QDate(2127, 12, 31), QLocale::ShortFormat));
        EXPECT_EQ(gui.main->exchange().Commands.size() + gui.usb->requests().size(), 2u) << "the button asked again";
    }
}

TEST(MainWindow, DeviceTypeSwitchSetsWidthAndLinesPerRequest)
{
    GuiRig gui;
    Control<QRadioButton>(gui.main, "FiscalPrinterItem")->click();
    EXPECT_EQ(gui.main->settings().LineWidth, 32);
    EXPECT_EQ(gui.main->settings().LinesPerRequest, 7);
    Control<QRadioButton>(gui.main, "CashRegisterItem")->click();
    EXPECT_EQ(gui.main->settings().LineWidth, 18);
    EXPECT_EQ(gui.main->settings().LinesPerRequest, 12);
}

TEST(MainWindow, ResizeKeepsBothPanesEqual)
{
    GuiRig gui;
    gui.main->show(); // resize events come to shown windows
    const std::pair<int, int> cases[] = {{860, 410}, {861, 410}, {863, 412}, {1000, 480}, {1001, 480}};
    for (const auto &[group, pane] : cases) {
        gui.main->resize(875 + (group - 860), 722);
        ASSERT_EQ(Control<QGroupBox>(gui.main, "GroupBox2")->width(), group);
        EXPECT_EQ(Control<QTextEdit>(gui.main, "DataMemo")->width(), pane) << group;
        EXPECT_EQ(Control<QTextEdit>(gui.main, "ConvertMemo")->width(), pane) << group;
        EXPECT_EQ(Control<QScrollBar>(gui.main, "OriginalScrollBar")->x(), 7 + pane + 3) << group;
        EXPECT_EQ(Control<QTextEdit>(gui.main, "ConvertMemo")->x(), 7 + pane + 17 + 6) << group;
        EXPECT_EQ(Control<QLabel>(gui.main, "Label6")->x(), Control<QTextEdit>(gui.main, "ConvertMemo")->x()) << group;
        EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel0")->width(),
                  Control<QStatusBar>(gui.main, "StatusBar1")->width()
                      - Control<QLabel>(gui.main, "DocumentPanel")->width() - 200)
            << group;
    }
}

TEST(MainWindow, ClosingClosesTheDeviceOnce)
{
    GuiRig gui;
    ASSERT_TRUE(gui.usb->isOpen());
    gui.closeProgram();
    EXPECT_EQ(gui.usb->closeCount(), 1);
    EXPECT_FALSE(gui.usb->isOpen());
}

} // namespace

namespace {

// The read runs inside the Find click; what the user does meanwhile arrives
// through the events the read lets through. A zero-delay timer is such an
// event: it fires as soon as the progress dialog has opened.
TEST(ProgressDialog, CancelOrEscapeEndsTheReadAndTheNextReadsEverything)
{
    for (const bool escape : {false, true}) {
        GuiRig gui(withDocuments(20));
        gui.main->show();
        gui.tick();
        Control<QRadioButton>(gui.main, "AllRadio")->click();
        QTimer::singleShot(0, gui.status, [&] {
            if (escape)
                QTest::keyClick(gui.status, Qt::Key_Escape);
            else
                gui.status->CancelBtn->click();
        });
        Control<QToolButton>(gui.main, "FindBtn")->click();
        EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel0")->text(), JournalSearch::CancelledText(0)) << escape;
        EXPECT_FALSE(gui.status->isVisible()) << escape;
        EXPECT_TRUE(Control<QToolButton>(gui.main, "FindBtn")->isEnabled()) << escape;
        EXPECT_TRUE(Control<QTimer>(gui.main, "ReadTimer")->isActive()) << escape;

        Control<QToolButton>(gui.main, "FindBtn")->click();
        const qsizetype lines = fileBytes(gui.journalPath()).count("\r\n");
        EXPECT_GT(lines, 300) << escape;
        EXPECT_TRUE(Control<QLabel>(gui.main, "StatusPanel0")
                        ->text()
                        .startsWith(QStringLiteral("Found 20 documents, %1 lines").arg(lines)))
            << Control<QLabel>(gui.main, "StatusPanel0")->text().toStdString();
    }
}

// Counts the paints of a widget, as the screen gets them.
struct PaintCounter : QObject
{
    int paints = 0;
    QStringList countsPainted;
    QLabel *count = nullptr;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            countsPainted << count->text();
        }
        return false;
    }
};

TEST(ProgressDialog, AFastReadIsPaintedAboutOnceAFrameNotOnceAStep)
{
    GuiRig gui(withDocuments(4000));
    gui.main->show();
    gui.tick();
    PaintCounter counter;
    counter.count = gui.status->Label1;
    gui.status->installEventFilter(&counter);
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    QElapsedTimer took;
    took.start();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    const qint64 ms = took.elapsed();
    ASSERT_TRUE(Control<QLabel>(gui.main, "StatusPanel0")->text().startsWith(QStringLiteral("Found 4000 documents")));
    // Two steps a document (its information, then its lines): painted at
    // each, that would be 8000 paints however long the read takes. Painted
    // at most every 16 ms, plus what the window's events (every 20 ms) bring,
    // it is at most about one paint per 8 ms of the read, on any machine.
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, 4 + ms / 8) << "in " << ms << " ms";
    EXPECT_LT(counter.paints, 8000 / 4) << "in " << ms << " ms";
    // The read's progress was seen on the way.
    int highest = 0;
    for (const QString &count : counter.countsPainted)
        highest = qMax(highest, count.toInt());
    EXPECT_GT(highest, 0) << counter.countsPainted.join(QLatin1Char(' ')).toStdString();

    // Steps that come faster than the paints, then a wait (an answer that is
    // late): the wait shows the latest count, not the last one painted.
    gui.status->start(10);
    for (int done = 1; done <= 3; ++done)
        gui.status->oneMore(done);
    counter.countsPainted.clear();
    QTest::qWait(100);
    EXPECT_EQ(gui.status->Gauge1->value(), 3);
    EXPECT_EQ(gui.status->Gauge1->text(), QStringLiteral("30%"));
    ASSERT_FALSE(counter.countsPainted.isEmpty());
    EXPECT_EQ(counter.countsPainted.last(), QStringLiteral("3"));
}

TEST(ProgressDialog, DuringAReadOnlyTheDiagnosticWindowIsReachableAndClosingCancelsIt)
{
    GuiRig gui(withDocuments(20));
    gui.main->show();
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    gui.dialogs.saveNames = {gui.dir.filePath(QStringLiteral("report.txt"))};
    QString findSaid, goToSaid;
    qint64 topDuringRead = 0;
    QStringList enabledDuringRead;
    bool serviceShown = false;
    QTimer::singleShot(0, gui.main, [&] {
        for (const char *name : {"FindBtn", "SpeedButton1", "PrintBtn", "ExportBtn", "ExcelBtn", "DeviceTypeGroup"}) {
            if (gui.main->findChild<QWidget *>(QLatin1String(name))->isEnabled())
                enabledDuringRead << QLatin1String(name);
        }
        // What a user does: the buttons, the information button, the keys.
        Control<QToolButton>(gui.main, "ExportBtn")->click();
        Control<QToolButton>(gui.main, "PrintBtn")->click();
        Control<QToolButton>(gui.main, "SpeedButton1")->click();
        QTest::keyClick(gui.main, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
        serviceShown = gui.pass->isVisible();
        gui.main->findInResult(QStringLiteral("kafa"), false);
        findSaid = Control<FindBar>(gui.main, "ResultFindBar")->Outcome->text();
        gui.main->goToDocument(3);
        goToSaid = Control<FindBar>(gui.main, "ResultFindBar")->Outcome->text();
        topDuringRead = gui.main->topJournalLine();
    });
    Control<QToolButton>(gui.main, "FindBtn")->click();
    EXPECT_TRUE(enabledDuringRead.isEmpty()) << enabledDuringRead.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(serviceShown) << "no modal window opens inside the read";
    EXPECT_FALSE(gui.info->isVisible());
    EXPECT_FALSE(gui.dialogs.shown.join(QLatin1Char('\n')).contains(QLatin1String("save dialog")))
        << "no output while the read writes the journal file";
    EXPECT_EQ(findSaid, QStringLiteral("the read is still running"));
    EXPECT_EQ(goToSaid, QStringLiteral("the read is still running"));
    EXPECT_EQ(topDuringRead, -1) << "nothing of the file half written is shown";
    EXPECT_FALSE(QFile::exists(gui.dir.filePath(QStringLiteral("report.txt"))));
    for (const char *name : {"FindBtn", "SpeedButton1", "PrintBtn", "ExportBtn", "ExcelBtn", "DeviceTypeGroup"})
        EXPECT_TRUE(gui.main->findChild<QWidget *>(QLatin1String(name))->isEnabled()) << name << " after the read";

    gui.dialogs.shown.clear();
    QTimer::singleShot(0, gui.main, [&] { gui.main->close(); });
    Control<QToolButton>(gui.main, "FindBtn")->click();
    EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel0")->text(), JournalSearch::CancelledText(0));
    EXPECT_FALSE(gui.main->isVisible()) << "the window closes once the read has ended";
    EXPECT_FALSE(gui.dialogs.shown.join(QLatin1Char('|')).contains(QLatin1String("Done")))
        << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();
}

// The status bar speaks of the last read: a read that never starts, or one
// cancelled without showing its lines, leaves no word of the one before.
TEST(ProgressDialog, TheStatusBarSpeaksOfTheLastReadAndACancelSaysNoDone)
{
    GuiRig gui(withDocuments(20));
    gui.main->show();
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    ASSERT_TRUE(Control<QLabel>(gui.main, "StatusPanel0")->text().startsWith(QLatin1String("Found 20 documents")));

    gui.dialogs.shown.clear();
    QTimer::singleShot(0, gui.status, [&] { gui.status->CancelBtn->click(); });
    Control<QToolButton>(gui.main, "FindBtn")->click();
    EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel0")->text(), JournalSearch::CancelledText(0));
    EXPECT_FALSE(gui.dialogs.shown.contains(QStringLiteral("information: Done")))
        << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();

    // The journal erased: "All" does not start, and says nothing of before.
    Control<QToolButton>(gui.main, "FindBtn")->click();
    gui.usb->journal().handle(RequestBytes(CmdErase, {}));
    gui.main->exchange().records.Data132.doc_count = 0;
    gui.dialogs.shown.clear();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    EXPECT_TRUE(gui.dialogs.shown.contains(QStringLiteral("warning: No stored documents")))
        << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Control<QLabel>(gui.main, "StatusPanel0")->text(), QString());
}

} // namespace

namespace {

// The line drawn at the top of the pane: the last one starting at or above
// the scroll position.
int TopLine(QTextEdit *pane)
{
    const QAbstractTextDocumentLayout *layout = pane->document()->documentLayout();
    int line = 0;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next()) {
        if (layout->blockBoundingRect(b).top() > pane->verticalScrollBar()->value() + 0.5)
            break;
        line = b.blockNumber();
    }
    return line;
}

QString TopText(QTextEdit *pane)
{
    return pane->document()->findBlockByNumber(TopLine(pane)).text();
}

// Line i of "Original" beside line i of "Decoded": the same row heights, so
// the same scroll offsets, and the whole last row in view at the end.
void ExpectRowForRow(TMainForm *main, const char *where)
{
    QTextEdit *raw = Control<QTextEdit>(main, "DataMemo");
    QTextEdit *decoded = Control<QTextEdit>(main, "ConvertMemo");
    EXPECT_EQ(raw->verticalScrollBar()->value(), decoded->verticalScrollBar()->value()) << where;
    EXPECT_EQ(raw->verticalScrollBar()->maximum(), decoded->verticalScrollBar()->maximum()) << where;
    EXPECT_EQ(raw->viewport()->height(), decoded->viewport()->height()) << where;
    QTextBlock r = raw->document()->begin(), d = decoded->document()->begin();
    for (; r.isValid() && d.isValid(); r = r.next(), d = d.next()) {
        const QRectF rr = raw->document()->documentLayout()->blockBoundingRect(r);
        const QRectF dr = decoded->document()->documentLayout()->blockBoundingRect(d);
        ASSERT_NEAR(rr.top(), dr.top(), 0.5)
            << where << ", line " << r.blockNumber() << ": \"" << d.text().toStdString() << "\"";
    }
    EXPECT_NEAR(raw->document()->documentLayout()->documentSize().height(),
                decoded->document()->documentLayout()->documentSize().height(), 0.5)
        << where << ": the panes end together";
}

TEST(MainWindow, PanesStaySideBySideAndTheWheelGoesOnIntoTheFile)
{
    GuiRig gui(withDocuments(300));
    gui.main->show();
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QTextEdit *raw = Control<QTextEdit>(gui.main, "DataMemo");
    QTextEdit *decoded = Control<QTextEdit>(gui.main, "ConvertMemo");

    // Every row beside its twin: line i starts at the same height in both.
    QTextBlock r = raw->document()->begin(), d = decoded->document()->begin();
    for (; r.isValid() && d.isValid(); r = r.next(), d = d.next()) {
        ASSERT_NEAR(raw->document()->documentLayout()->blockBoundingRect(r).top(),
                    decoded->document()->documentLayout()->blockBoundingRect(d).top(), 0.5)
            << "line " << r.blockNumber() << ": \"" << d.text().toStdString() << "\"";
    }

    // Whichever pane scrolls, the other shows the same line at the top.
    for (QTextEdit *pane : {decoded, raw, decoded}) {
        QScrollBar *own = pane->verticalScrollBar();
        for (int value : {own->maximum() / 3, own->maximum() / 2 + 7, own->maximum() - 40}) {
            own->setValue(value);
            EXPECT_EQ(TopLine(raw), TopLine(decoded)) << (pane == raw ? "Original" : "Decoded") << " at " << value;
            EXPECT_EQ(raw->verticalScrollBar()->value(), decoded->verticalScrollBar()->value());
            EXPECT_GT(TopLine(raw), 0);
            if (qEnvironmentVariableIsSet("EJOURNAL_SAVE_GRABS"))
                gui.main->grab().save(QStringLiteral("%1/side-by-side-%2.png")
                                          .arg(qEnvironmentVariable("EJOURNAL_SAVE_GRABS"))
                                          .arg(value));
        }
    }

    // Down to the last row, whichever pane is at its end.
    for (QTextEdit *pane : {decoded, raw}) {
        pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
        ExpectRowForRow(gui.main, pane == raw ? "Original at its end" : "Decoded at its end");
        EXPECT_EQ(TopLine(raw), TopLine(decoded));
    }

    // An arrow is one line, the trough one window.
    QScrollBar *file = Control<QScrollBar>(gui.main, "OriginalScrollBar");
    file->setValue(0);
    file->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(file->value(), 200);
    file->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(file->value(), 201);

    // At the pane's end the wheel goes on into the file, keeping the top line.
    decoded->verticalScrollBar()->setValue(decoded->verticalScrollBar()->maximum());
    const int topBefore = TopLine(decoded);
    const QString textBefore = TopText(decoded);
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(decoded->viewport(), &down);
    EXPECT_EQ(file->value(), 201 + topBefore);
    EXPECT_EQ(TopText(decoded), textBefore);
    EXPECT_EQ(TopLine(raw), TopLine(decoded));
}

// The journal lines at the top and at the bottom of the decoded pane, each
// shown whole.
struct Screenful
{
    qint64 top = -1;
    qint64 bottom = -1;
};

Screenful OnScreen(TMainForm *main)
{
    QTextEdit *pane = Control<QTextEdit>(main, "ConvertMemo");
    const qint64 windowFirst = main->topJournalLine() - TopLine(pane);
    const QAbstractTextDocumentLayout *layout = pane->document()->documentLayout();
    const int top = pane->verticalScrollBar()->value(), height = pane->viewport()->height();
    Screenful s{main->topJournalLine(), -1};
    for (QTextBlock b = pane->document()->findBlockByNumber(TopLine(pane)); b.isValid(); b = b.next()) {
        if (layout->blockBoundingRect(b).bottom() > top + height + 0.5)
            break;
        s.bottom = windowFirst + b.blockNumber();
    }
    return s;
}

TEST(ResultKeys, PageKeysGoThroughTheWholeResultAndCtrlHomeEndToItsEnds)
{
    GuiRig gui(withDocuments(60));
    gui.main->show();
    gui.tick();
    Control<QRadioButton>(gui.main, "AllRadio")->click();
    Control<QToolButton>(gui.main, "FindBtn")->click();
    QList<QByteArray> journal = fileBytes(gui.journalPath()).split('\n');
    journal.removeLast();
    const qint64 last = journal.size() - 1;
    ASSERT_GT(last, 3 * 200) << "several windows of 200 lines";
    QTextEdit *raw = Control<QTextEdit>(gui.main, "DataMemo");
    auto rawTop = [&](qint64 line) { return RawLineForDisplay(journal[line].chopped(1)); };

    // Either pane takes the keys; both move together.
    for (const char *paneName : {"ConvertMemo", "DataMemo"}) {
        QTextEdit *pane = Control<QTextEdit>(gui.main, paneName);
        QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
        Screenful before = OnScreen(gui.main);
        ASSERT_EQ(before.top, 0) << paneName;
        ASSERT_GT(before.bottom, 10) << paneName;

        // PgDn to the end: no line skipped, the last row of a page the first
        // of the next, and the panes row for row at every page.
        int pages = 0;
        for (;;) {
            QTest::keyClick(pane, Qt::Key_PageDown);
            const Screenful now = OnScreen(gui.main);
            if (now.top == before.top)
                break;
            // The last page stops at the last line, so it may show again a
            // few rows of the page before it.
            if (now.bottom < last) {
                ASSERT_EQ(now.top, before.bottom) << paneName << " page " << pages;
            } else {
                ASSERT_LE(now.top, before.bottom) << paneName << " page " << pages;
            }
            ASSERT_GT(now.bottom, before.bottom) << paneName << " page " << pages;
            ASSERT_EQ(TopText(raw), rawTop(now.top)) << paneName << " page " << pages;
            ExpectRowForRow(gui.main, paneName);
            ASSERT_LT(++pages, 500);
            before = now;
        }
        EXPECT_EQ(before.bottom, last) << paneName << ": PgDn reaches the last line";
        EXPECT_GT(pages, 15) << paneName;

        // And PgUp all the way back.
        for (;;) {
            QTest::keyClick(pane, Qt::Key_PageUp);
            const Screenful now = OnScreen(gui.main);
            if (now.top == before.top)
                break;
            ASSERT_LT(now.top, before.top) << paneName;
            // Rows differ in height: the page above ends at the old top, or
            // one row below it when that row fits too.
            ASSERT_GE(now.bottom, before.top) << paneName << ": no line skipped";
            if (now.top > 0) {
                ASSERT_LE(now.bottom, before.top + 1) << paneName << ": a whole page up";
            }
            before = now;
        }
        EXPECT_EQ(before.top, 0) << paneName;

        // Ctrl+End: the last line whole at the bottom of both panes.
        QTest::keyClick(pane, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(OnScreen(gui.main).bottom, last) << paneName;
        ExpectRowForRow(gui.main, "at the end");
        QTest::keyClick(pane, Qt::Key_Down);
        EXPECT_EQ(OnScreen(gui.main).bottom, last) << paneName << ": nothing below the last line";

        // The arrows a line, across the edge of a window too.
        QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(OnScreen(gui.main).top, 0);
        QTest::keyClick(pane, Qt::Key_Up);
        EXPECT_EQ(OnScreen(gui.main).top, 0);
        Control<QScrollBar>(gui.main, "OriginalScrollBar")->setValue(300);
        raw->verticalScrollBar()->setValue(raw->verticalScrollBar()->maximum());
        const qint64 bottomOfWindow = OnScreen(gui.main).top;
        QTest::keyClick(pane, Qt::Key_Down);
        QTest::keyClick(pane, Qt::Key_Down);
        EXPECT_EQ(OnScreen(gui.main).top, bottomOfWindow + 2) << paneName;
        EXPECT_EQ(TopText(raw), rawTop(bottomOfWindow + 2)) << paneName;
        QTest::keyClick(pane, Qt::Key_Up);
        EXPECT_EQ(OnScreen(gui.main).top, bottomOfWindow + 1) << paneName;
    }
}

// The find bar and "Go to document", as a person uses them: the keys on the
// window, the text typed into the bar, and what the panes then show.
struct NavigationRig
{
    GuiRig gui{withDocuments(300)};
    QList<QByteArray> journal; // raw lines of the journal file
    int width = 18;

    NavigationRig()
    {
        gui.main->show();
        gui.tick();
        Control<QRadioButton>(gui.main, "AllRadio")->click();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        // The progress dialog had the keyboard; the shortcuts are the window's.
        gui.main->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == gui.main; }, 2000));
        for (const QByteArray &line : fileBytes(gui.journalPath()).split('\n'))
            if (!line.isEmpty())
                journal.append(line.chopped(1));
    }
    FindBar *bar() const { return Control<FindBar>(gui.main, "ResultFindBar"); }
    void type(const QString &text)
    {
        bar()->Input->clear();
        // Key by key, as typed; keyClicks knows only ASCII.
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, bar()->Input, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(bar()->Input, Qt::Key_Return);
    }
    // Where the decoded text holds text, whatever its case.
    QList<qint64> linesHolding(const QString &text) const
    {
        QList<qint64> out;
        for (qint64 i = 0; i < journal.size(); ++i)
            if (ConvertJournalLine(journal[i], width).contains(text, Qt::CaseInsensitive))
                out.append(i);
        return out;
    }
    // The marked hit: its line's decoded text and whether it is in view.
    QString markedLine(bool *inView) const
    {
        const QList<QTextEdit::ExtraSelection> marks = Control<QTextEdit>(gui.main, "ConvertMemo")->extraSelections();
        if (marks.size() != 1)
            return QStringLiteral("<%1 marks>").arg(marks.size());
        const QTextBlock block = marks[0].cursor.block();
        QTextEdit *pane = Control<QTextEdit>(gui.main, "ConvertMemo");
        const QRectF r = pane->document()->documentLayout()->blockBoundingRect(block);
        const int top = pane->verticalScrollBar()->value();
        *inView = r.top() >= top && r.bottom() <= top + pane->viewport()->height();
        return block.text() + QStringLiteral(" | ") + marks[0].cursor.selectedText();
    }
};

TEST(ResultNavigation, FindGoesThroughTheWholeResultAndMarksEachHit)
{
    NavigationRig rig;
    TMainForm *main = rig.gui.main;
    ASSERT_GT(rig.journal.size(), 2000);
    // A text of the last document only, typed in small letters: it is far
    // beyond the window on screen.
    QString text;
    for (const QByteArray &line : rig.journal)
        if (line.startsWith("BF "))
            text = QString::fromLatin1(line).trimmed().toLower();
    const QList<qint64> where = rig.linesHolding(text);
    ASSERT_EQ(where.size(), 1);
    ASSERT_GT(where[0], 1000);

    const int resultHeight = Control<QGroupBox>(main, "GroupBox2")->height();
    QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(rig.bar()->isVisible());
    EXPECT_TRUE(rig.bar()->Input->hasFocus());
    EXPECT_EQ(rig.bar()->geometry().bottom() + 1, Control<QStatusBar>(main, "StatusBar1")->y())
        << "the bar sits on the status bar";
    EXPECT_LE(Control<QGroupBox>(main, "GroupBox2")->geometry().bottom(), rig.bar()->y())
        << "the result makes room for it";
    rig.type(text);
    bool inView = false;
    const QString hitLine = ConvertJournalLine(rig.journal[where[0]], rig.width);
    EXPECT_EQ(rig.markedLine(&inView), hitLine + QStringLiteral(" | ") + text.toUpper());
    EXPECT_TRUE(inView);
    EXPECT_EQ(rig.bar()->Outcome->text(), QString());
    // The raw pane has the same line beside it.
    const int row = Control<QTextEdit>(main, "ConvertMemo")->extraSelections()[0].cursor.blockNumber();
    EXPECT_EQ(Control<QTextEdit>(main, "DataMemo")->document()->findBlockByNumber(row).text(),
              RawLineForDisplay(rig.journal[where[0]]));

    // The only hit: the next is the same one, from the top.
    QTest::keyClick(main, Qt::Key_F3);
    EXPECT_EQ(rig.markedLine(&inView), hitLine + QStringLiteral(" | ") + text.toUpper());
    EXPECT_EQ(rig.bar()->Outcome->text(), QStringLiteral("from the top"));

    // A text on many lines: F3 goes down through them, Shift+F3 back up.
    const QList<qint64> many = rig.linesHolding(QStringLiteral("ферхадија"));
    ASSERT_GT(many.size(), 10);
    Control<QScrollBar>(main, "OriginalScrollBar")->setValue(0);
    rig.type(QStringLiteral("ФЕРХАДИЈА"));
    const QString first = ConvertJournalLine(rig.journal[many[0]], rig.width);
    EXPECT_TRUE(rig.markedLine(&inView).startsWith(first));
    for (int k = 1; k <= 3; ++k) {
        QTest::keyClick(main, Qt::Key_F3);
        EXPECT_LE(main->topJournalLine(), many[k]);
        EXPECT_TRUE(rig.markedLine(&inView).startsWith(ConvertJournalLine(rig.journal[many[k]], rig.width)));
        EXPECT_TRUE(inView) << "hit " << k;
    }
    QTest::keyClick(main, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(main, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(main, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_TRUE(rig.markedLine(&inView).startsWith(first));
    QTest::keyClick(main, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(rig.bar()->Outcome->text(), QStringLiteral("from the end"));
    EXPECT_TRUE(rig.markedLine(&inView).startsWith(ConvertJournalLine(rig.journal[many.last()], rig.width)));
    EXPECT_TRUE(inView);

    // Nothing found is said in the bar; no box.
    rig.type(QStringLiteral("nowhere in it"));
    EXPECT_EQ(rig.bar()->Outcome->text(), QStringLiteral("not found"));
    EXPECT_TRUE(Control<QTextEdit>(main, "ConvertMemo")->extraSelections().isEmpty());
    EXPECT_EQ(rig.gui.dialogs.shown, QStringList{QStringLiteral("information: Done")});

    // Escape closes the bar and gives the result its room back.
    QTest::keyClick(rig.bar()->Input, Qt::Key_Escape);
    EXPECT_FALSE(rig.bar()->isVisible());
    EXPECT_EQ(Control<QGroupBox>(main, "GroupBox2")->height(), resultHeight);
    // F3 with the bar closed looks again, and the bar comes back to say how it went.
    QTest::keyClick(main, Qt::Key_F3);
    EXPECT_TRUE(rig.bar()->isVisible());
    EXPECT_EQ(rig.bar()->Input->text(), QStringLiteral("nowhere in it"));
    EXPECT_EQ(rig.bar()->Outcome->text(), QStringLiteral("not found"));
}

TEST(ResultNavigation, GoToDocumentPutsItAtTheTopAndTheStatusBarNamesIt)
{
    NavigationRig rig;
    TMainForm *main = rig.gui.main;
    // Where document 297 starts, from the journal's own documents.
    qint64 first = 0;
    for (quint32 d = 0; d < 297; ++d)
        first += qint64(rig.gui.usb->journal().document(d).lines.size());
    const SimDocument doc = rig.gui.usb->journal().document(297);
    const QString when = DecodeDateVuze(doc.dateWord).toString(QStringLiteral("dd.MM.yyyy"))
                         + QStringLiteral(" %1:%2")
                               .arg(doc.timeWord / 100, 2, 10, QLatin1Char('0'))
                               .arg(doc.timeWord % 100, 2, 10, QLatin1Char('0'));

    QTest::keyClick(main, Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(rig.bar()->isVisible());
    EXPECT_EQ(rig.bar()->Caption->text(), QStringLiteral("Go to document:"));
    rig.type(QStringLiteral("297"));
    EXPECT_EQ(main->topJournalLine(), first);
    EXPECT_EQ(TopText(Control<QTextEdit>(main, "DataMemo")), RawLineForDisplay(rig.journal[first]));
    EXPECT_EQ(TopText(Control<QTextEdit>(main, "ConvertMemo")), ConvertJournalLine(rig.journal[first], rig.width));
    EXPECT_EQ(Control<QLabel>(main, "DocumentPanel")->text(), QStringLiteral("Document 297 of ") + when);
    EXPECT_EQ(rig.bar()->Outcome->text(), QString());

    rig.type(QStringLiteral("9999"));
    EXPECT_EQ(rig.bar()->Outcome->text(), QStringLiteral("no document 9999 in this result"));
    EXPECT_EQ(main->topJournalLine(), first) << "the window stays";

    // Scrolled by hand, the panel follows the line at the top.
    qint64 line = 0;
    for (quint32 d = 0; d < 150; ++d)
        line += qint64(rig.gui.usb->journal().document(d).lines.size());
    Control<QScrollBar>(main, "OriginalScrollBar")->setValue(int(line + 2));
    EXPECT_TRUE(Control<QLabel>(main, "DocumentPanel")->text().startsWith(QStringLiteral("Document 150 of ")))
        << Control<QLabel>(main, "DocumentPanel")->text().toStdString();
    Control<QTextEdit>(main, "ConvertMemo")
        ->verticalScrollBar()
        ->setValue(Control<QTextEdit>(main, "ConvertMemo")->verticalScrollBar()->maximum());
    const qint64 top = main->topJournalLine();
    EXPECT_GT(top, line + 50);
    EXPECT_FALSE(Control<QLabel>(main, "DocumentPanel")->text().startsWith(QStringLiteral("Document 150 of ")));
    // The status bar's panels abut, the new one between the summary and the time taken.
    EXPECT_EQ(Control<QLabel>(main, "StatusPanel0")->geometry().right() + 1,
              Control<QLabel>(main, "DocumentPanel")->x());
    EXPECT_EQ(Control<QLabel>(main, "DocumentPanel")->geometry().right() + 1,
              Control<QLabel>(main, "StatusPanel1")->x());
}

} // namespace
