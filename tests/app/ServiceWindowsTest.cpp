#include "protocol/Codecs.h"
#include "tests/support/Controls.h"
#include "tests/support/GuiRig.h"
#include "widgets/RawPaneText.h"
#include "protocol/DeviceCharset.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QScrollBar>
#include <QDateEdit>
#include <QProgressBar>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <QAccessible>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>
#include <QMap>

#include <gtest/gtest.h>

using namespace Codecs;

namespace {

const char *Password = "Mrenvoskit#4ze";

void typePassword(GuiRig &gui, const QString &text)
{
    gui.pass->MaskEdit1->setText(text);
    gui.pass->Button1->click();
}

QStringList memoLines(const QPlainTextEdit *memo)
{
    return memo->toPlainText().split(QLatin1Char('\n'));
}

TEST(ServiceWindow, WrongPasswordsCountDownAndCloseTheWindow)
{
    GuiRig gui;
    gui.pass->show();
    typePassword(gui, QStringLiteral("guess"));
    typePassword(gui, QStringLiteral("mrenvoskit#4ze"));
    EXPECT_TRUE(gui.pass->isVisible());
    typePassword(gui, QStringLiteral(" Mrenvoskit#4ze"));
    EXPECT_FALSE(gui.pass->isVisible()) << "the third closes it without a word";
    EXPECT_EQ(gui.dialogs.shown, (QStringList{QStringLiteral("error: Wrong Password. 2 attepts left."),
                                              QStringLiteral("error: Wrong Password. 1 attepts left.")}));
    EXPECT_TRUE(gui.pass->MaskEdit1->text().isEmpty());

    // Shown again: no attempts left, a wrong one closes at once.
    gui.dialogs.shown.clear();
    gui.pass->show();
    typePassword(gui, QStringLiteral("Mrenvoskit#4ze "));
    EXPECT_FALSE(gui.pass->isVisible());
    EXPECT_TRUE(gui.dialogs.shown.isEmpty());

    // The right one still opens it and gives three attempts again.
    gui.pass->show();
    typePassword(gui, QLatin1String(Password));
    EXPECT_TRUE(gui.pass->Panel1->isVisible());
    EXPECT_EQ(gui.pass->ErrCount, 3);
}

TEST(ServiceWindow, OneWrongThenRightRestoresThreeAndShowingLocksAgain)
{
    GuiRig gui;
    gui.pass->show();
    typePassword(gui, QStringLiteral("x"));
    EXPECT_EQ(gui.pass->ErrCount, 2);
    gui.pass->MaskEdit1->setText(QLatin1String(Password));
    QTest::keyClick(gui.pass->MaskEdit1, Qt::Key_Return); // Enter presses OK
    EXPECT_EQ(gui.pass->ErrCount, 3);
    EXPECT_TRUE(gui.pass->Panel1->isVisible());
    gui.pass->MemNum->setText(QStringLiteral("AB123456"));
    gui.pass->close();
    gui.pass->show();
    EXPECT_FALSE(gui.pass->Panel1->isVisible());
    EXPECT_TRUE(gui.pass->MemNum->text().isEmpty());
    EXPECT_EQ(gui.pass->MemNum->maxLength(), 8);
    EXPECT_EQ(gui.pass->ClientNumEdit->maxLength(), 13);
}

TEST(ServiceWindow, AnsweringNoQueuesNothing)
{
    GuiRig gui;
    gui.tick();
    gui.pass->show();
    typePassword(gui, QLatin1String(Password));
    gui.pass->MemNum->setText(QStringLiteral("KL123456"));
    for (QToolButton *b : {gui.pass->InitBtn, gui.pass->GenBtn, gui.pass->EraseBtn})
        b->click();
    EXPECT_TRUE(gui.main->exchange().Commands.empty());
    EXPECT_TRUE(gui.pass->isVisible());
    EXPECT_EQ(gui.main->exchange().state.timeout, DefaultAnswerTimeoutTicks);
    EXPECT_EQ(
        gui.dialogs.shown,
        (QStringList{
            QStringLiteral(
                "question:   This is an initialization function.  \n\rDo you want to initialize the journal? "),
            QStringLiteral("question:   This is an generation function.  \n\rDo you want to generate fake data? "),
            QStringLiteral("question:  This is an erase function. \n\rAll data will be DESTOYED!!!\n\rDo you want to "
                           "erase flash? ")}));
}

TEST(ServiceWindow, InitEraseAndGenerateReachTheJournal)
{
    SimulatorOptions options;
    options.documents = 40;
    options.eraseTimeUs = 100'000;
    GuiRig gui(options);
    gui.tick();
    ASSERT_EQ(gui.info->DocNumEdit->text(), QStringLiteral("40"));

    // INIT: the request with the entries and the current date and time.
    gui.pass->show();
    typePassword(gui, QLatin1String(Password));
    gui.pass->MemNum->setText(QStringLiteral("KL123456"));
    gui.pass->ClientNumEdit->setText(QStringLiteral("CLIENT0000042"));
    gui.dialogs.answers = {true};
    const QDateTime before = QDateTime::currentDateTime();
    gui.pass->InitBtn->click();
    EXPECT_FALSE(gui.pass->isVisible()) << "INIT closes the window";
    ASSERT_EQ(gui.main->exchange().Commands.size(), 1);
    const QByteArray init = gui.main->exchange().Commands.at(0).bytes();
    ASSERT_EQ(init.size(), 27);
    EXPECT_EQ(init.left(5), QByteArray::fromHex("1B00018316"));
    EXPECT_EQ(init.mid(9, 5), QByteArray::fromHex("4B4C123456"));
    EXPECT_EQ(init.mid(14), QByteArray("CLIENT0000042"));
    const quint16 date = quint16(quint8(init[5]) << 8 | quint8(init[6]));
    EXPECT_EQ(DecodeDateVuze(date), before.date());
    gui.tick();
    EXPECT_TRUE(gui.dialogs.shown.contains(QStringLiteral("information: Electronic journal was initialized")));
    gui.tick();
    EXPECT_EQ(gui.info->FiscalMemoryEdit->text(), QStringLiteral("KL123456"));
    EXPECT_EQ(gui.info->ClientNumEdit->text(), QStringLiteral("CLIENT0000042"));

    // ERASE: the long time-out, the window stays, no document is left.
    gui.pass->show();
    typePassword(gui, QLatin1String(Password));
    gui.dialogs.answers = {true};
    gui.pass->EraseBtn->click();
    EXPECT_TRUE(gui.pass->isVisible());
    ASSERT_EQ(gui.main->exchange().Commands.size(), 1);
    EXPECT_EQ(gui.main->exchange().Commands.at(0).bytes(), QByteArray::fromHex("050001FE00"));
    gui.tick(); // the engine sends it, with the erase's long time-out
    EXPECT_EQ(gui.main->exchange().state.timeout, EraseAnswerTimeoutTicks);
    gui.tick(20);
    EXPECT_TRUE(gui.dialogs.shown.contains(QStringLiteral("information: Electronic journal was erased.")));
    EXPECT_EQ(gui.main->exchange().state.timeout, DefaultAnswerTimeoutTicks);
    EXPECT_EQ(gui.info->DocNumEdit->text(), QStringLiteral("0"));

    // GENERATE fills it again.
    gui.dialogs.answers = {true};
    gui.pass->GenBtn->click();
    EXPECT_FALSE(gui.pass->isVisible());
    gui.tick(3);
    EXPECT_TRUE(gui.dialogs.shown.contains(QStringLiteral("information: Starting generation of data....")));
    EXPECT_EQ(gui.info->DocNumEdit->text(), QStringLiteral("40"));
}

TEST(DiagnosticWindow, TestButtonsWriteTheirLines)
{
    GuiRig gui;
    TDebugForm &d = *gui.debug;
    struct Case
    {
        const char *input;
        QPushButton *button;
        QStringList appended;
    };
    const Case cases[] = {
        {"ABC", d.Button2, {QStringLiteral("BCD=414243")}},
        {"", d.Button2, {QStringLiteral("BCD=")}},
        {"Ж", d.Button2, {QStringLiteral("BCD=416")}},
        {"1234", d.Button3, {QStringLiteral("INT=") + QChar(18) + QChar(52), QStringLiteral("BCD1=1234")}},
        {"123", d.Button3, {QStringLiteral("INT=") + QChar(1) + QChar(35), QStringLiteral("BCD1=0123")}},
        {"", d.Button3, {QStringLiteral("INT="), QStringLiteral("BCD1=")}},
        {"5929", d.Button4, {QStringLiteral("Date = 09.09.2011")}},
        {"65535", d.Button4, {QStringLiteral("Date = 31.12.2127")}},
        {"1435", d.Button5, {QStringLiteral("Time = 14:35:00")}},
        {"2400", d.Button5, {QStringLiteral("Time = 23:59:00")}},
    };
    for (const auto &c : cases) {
        d.Memo3->setPlainText(QStringLiteral("POP"));
        d.Edit1->setText(QString::fromUtf8(c.input));
        c.button->click();
        EXPECT_EQ(memoLines(d.Memo3), QStringList{QStringLiteral("POP")} + c.appended) << c.input;
    }
    EXPECT_TRUE(gui.dialogs.shown.isEmpty());
}

TEST(DiagnosticWindow, BadInputIsReportedAndAppendsNothing)
{
    GuiRig gui;
    TDebugForm &d = *gui.debug;
    const std::pair<QPushButton *, const char *> cases[] = {
        {d.Button3, "error: Assertion failure (FunctionUnit, line 168)"},
        {d.Button4, "error: 'ABC' is not a valid integer value"},
        {d.Button5, "error: 'ABC' is not a valid integer value"},
    };
    for (const auto &[button, box] : cases) {
        gui.dialogs.shown.clear();
        d.Edit1->setText(QStringLiteral("ABC"));
        button->click();
        EXPECT_EQ(gui.dialogs.shown, QStringList{QLatin1String(box)});
        EXPECT_EQ(d.Memo3->toPlainText(), QStringLiteral("POP"));
    }
    gui.dialogs.shown.clear();
    d.Edit1->setText(QString::number((11 << 9) | (2 << 5) | 30)); // 30 February
    d.Button4->click();
    EXPECT_EQ(gui.dialogs.shown, QStringList{QStringLiteral("error: Invalid argument to date encode")});
}

TEST(DiagnosticWindow, ConvUsesOnlyTheCharacterTable)
{
    GuiRig gui;
    Control<QTextEdit>(gui.main, "DataMemo")
        ->setPlainText(QString::fromLatin1("\x80\xA0^ (logo)\nH V A L A        #\n\x12"));
    gui.debug->Button1->click();
    const QStringList decoded = Control<QTextEdit>(gui.main, "ConvertMemo")->toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(decoded,
              (QStringList{QStringLiteral("АаČ (logo)"), QStringLiteral("H V A L A        #"), QString(QChar(0x12))}));
    const QTextBlock first = Control<QTextEdit>(gui.main, "ConvertMemo")->document()->begin();
    bool blue = false;
    for (auto it = first.begin(); !it.atEnd(); ++it) {
        if (it.fragment().text() == QLatin1String("(logo)"))
            blue = it.fragment().charFormat().foreground().color() == QColor(0, 0, 255);
    }
    EXPECT_TRUE(blue);

    Control<QTextEdit>(gui.main, "DataMemo")->clear();
    gui.debug->Button1->click();
    EXPECT_TRUE(Control<QTextEdit>(gui.main, "ConvertMemo")->toPlainText().isEmpty());

    // What a search puts in the pane reads back to the device's bytes.
    QByteArray bytes("\x12\x13");
    for (int b = 0x20; b <= 0xFF; ++b)
        bytes += char(b);
    Control<QTextEdit>(gui.main, "DataMemo")->setPlainText(RawLineForDisplay(bytes));
    gui.debug->Button1->click();
    QString expected;
    for (char b : bytes)
        expected += ConvertToBosnian(quint8(b));
    EXPECT_EQ(Control<QTextEdit>(gui.main, "ConvertMemo")->document()->toRawText(), expected);
}

TEST(DiagnosticWindow, CountersMoveWithTicksOnlyWhileVisible)
{
    GuiRig gui;
    gui.tick(5);
    EXPECT_EQ(gui.debug->Label5->text(), QStringLiteral("0"));
    gui.debug->show();
    get_info_initial(gui.main->exchange().Commands);
    get_info_initial(gui.main->exchange().Commands);
    gui.tick();
    EXPECT_EQ(gui.debug->Label5->text(), QStringLiteral("6")) << "catches up on the next tick";
    EXPECT_EQ(gui.debug->Label6->text(), QStringLiteral("2")) << "before this tick takes one";
    gui.debug->close();
    gui.tick(3);
    EXPECT_EQ(gui.debug->Label5->text(), QStringLiteral("6"));

    // Without a device the queue value keeps the last number shown.
    gui.debug->show();
    gui.usb->unplug();
    gui.main->exchange().state.DevHandle = 0;
    gui.tick();
    EXPECT_EQ(gui.debug->Label5->text(), QStringLiteral("10"));
    EXPECT_EQ(gui.debug->Label6->text(), QStringLiteral("2"));
}

TEST(Gestures, CtrlAltEOpensTheServiceWindow)
{
    GuiRig gui;
    gui.main->show();
    Control<QLineEdit>(gui.main, "FromNumberEdit")->setEnabled(true);
    Control<QLineEdit>(gui.main, "FromNumberEdit")->setFocus();
    QTest::keyClick(Control<QLineEdit>(gui.main, "FromNumberEdit"), Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(Control<QLineEdit>(gui.main, "FromNumberEdit"), Qt::Key_E, Qt::AltModifier);
    EXPECT_FALSE(gui.pass->isVisible());
    QTest::keyClick(Control<QLineEdit>(gui.main, "FromNumberEdit"), Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(gui.pass->isVisible());
    // in the middle of the screen, wherever the main window stands
    const QPoint middle = gui.pass->screen()->availableGeometry().center();
    EXPECT_LE((gui.pass->geometry().center() - middle).manhattanLength(), 2)
        << gui.pass->geometry().center().x() << "," << gui.pass->geometry().center().y();
}

TEST(Gestures, LogoWithCtrlShiftAltOpensTheDiagnosticWindowBesideTheMain)
{
    GuiRig gui;
    gui.main->show();
    QTest::mouseClick(Control<QLabel>(gui.main, "Image1"), Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(gui.debug->isVisible());

    const QRect screen = gui.main->screen()->geometry();
    // The raw pane's top in the result box, as the design measures it.
    const int paneTop =
        Control<QTextEdit>(gui.main, "DataMemo")->mapTo(Control<QGroupBox>(gui.main, "GroupBox2"), QPoint()).y();
    EXPECT_EQ(paneTop, 34);
    gui.main->move(10, 20);
    QTest::mouseClick(Control<QLabel>(gui.main, "Image1"), Qt::LeftButton,
                      Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    ASSERT_TRUE(gui.debug->isVisible());
    const int debugWidth = gui.debug->frameGeometry().width();
    const QRect m = gui.main->frameGeometry();
    if (m.left() + m.width() + debugWidth + 4 > screen.width()) {
        EXPECT_EQ(gui.debug->pos(), QPoint(screen.width() - debugWidth - 4, m.top() + paneTop + 20));
    } else {
        EXPECT_EQ(gui.debug->pos(), QPoint(m.left() + m.width() + 4, m.top()));
    }
    EXPECT_FALSE(Control<QTextEdit>(gui.main, "DataMemo")->isReadOnly());
    EXPECT_FALSE(Control<QTextEdit>(gui.main, "ConvertMemo")->isReadOnly());

    gui.debug->close();
    EXPECT_TRUE(Control<QTextEdit>(gui.main, "DataMemo")->isReadOnly());
    EXPECT_TRUE(Control<QTextEdit>(gui.main, "ConvertMemo")->isReadOnly());

    // Against the screen's right edge when there is no room.
    gui.main->move(screen.width() - gui.main->frameGeometry().width(), 30);
    QTest::mouseClick(Control<QLabel>(gui.main, "Image1"), Qt::LeftButton,
                      Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(gui.debug->x(), screen.width() - debugWidth - 4);
    EXPECT_EQ(gui.debug->y(), gui.main->frameGeometry().top() + paneTop + 20);
    gui.debug->close();

    // Inside a maximized window.
    gui.main->setWindowState(Qt::WindowMaximized);
    QTest::mouseClick(Control<QLabel>(gui.main, "Image1"), Qt::LeftButton,
                      Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(gui.debug->pos(), QPoint(gui.main->frameGeometry().width() - debugWidth - 32, paneTop + 20));
}

} // namespace

namespace {

// A control as a message names it: class, name, text and place.
std::string Describe(const QWidget *w)
{
    QString text;
    if (const auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    const QRect g = w->geometry();
    return QStringLiteral("%1 %2 \"%3\" at %4,%5 %6x%7")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .toStdString();
}

// The room a control gives its caption, and the caption's width in its font.
std::pair<int, int> CaptionRoom(QWidget *w)
{
    QStyleOptionButton option;
    option.initFrom(w);
    const QFontMetrics fm = w->fontMetrics();
    if (auto *label = qobject_cast<QLabel *>(w))
        return {label->contentsRect().width(), fm.horizontalAdvance(label->text())};
    auto *button = qobject_cast<QAbstractButton *>(w);
    const int text = fm.horizontalAdvance(button->text());
    if (qobject_cast<QRadioButton *>(w))
        return {w->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, w).width(), text};
    if (qobject_cast<QCheckBox *>(w))
        return {w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w).width(), text};
    return {w->width() - 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) / 2, text};
}

// What a person sees on a stock Debian: no caption cut off by its control,
// no control lying on another, in any window.
void ExpectNothingClippedOrOverlapping(const QList<QWidget *> &windows, const char *where)
{
    for (QWidget *window : windows) {
        window->show();
        QApplication::processEvents();
        const std::string name = window->windowTitle().toStdString() + " " + where;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(window))
                continue;
            const auto *label = qobject_cast<QLabel *>(w);
            if (label
                && (label->wordWrap() || !label->pixmap().isNull() || label->text().isEmpty()
                    || label->textFormat() == Qt::RichText))
                continue;
            const auto *button = qobject_cast<QAbstractButton *>(w);
            if (!label && !(button && !button->text().isEmpty()))
                continue;
            const auto [room, text] = CaptionRoom(w);
            EXPECT_LE(text, room) << name << ": " << Describe(w) << " cuts its caption off";
        }
        for (QWidget *parent : QList<QWidget *>{window} + window->findChildren<QWidget *>()) {
            if (parent->inherits("QAbstractScrollArea") || parent->inherits("QAbstractSpinBox")
                || parent->inherits("QComboBox"))
                continue; // their parts are theirs to place
            QList<QWidget *> siblings;
            for (QObject *o : parent->children()) {
                auto *c = qobject_cast<QWidget *>(o);
                if (c && c->isVisibleTo(window) && !c->isWindow())
                    siblings << c;
            }
            // (The design puts the logo one pixel above the window's top.)
            for (QWidget *c : siblings) {
                EXPECT_TRUE(parent->rect().adjusted(-1, -1, 1, 1).contains(c->geometry()))
                    << name << ": " << Describe(c) << " is cut by " << Describe(parent);
            }
            for (int i = 0; i < siblings.size(); ++i) {
                for (int j = i + 1; j < siblings.size(); ++j) {
                    const QRect overlap = siblings[i]->geometry() & siblings[j]->geometry();
                    EXPECT_TRUE(overlap.isEmpty())
                        << name << ": " << Describe(siblings[i]) << " and " << Describe(siblings[j]) << " overlap";
                }
            }
        }
    }
}

TEST(WindowLayout, NoTextIsClippedAndNoControlsOverlap)
{
    GuiRig gui;
    gui.pass->Panel1->show(); // the service panel, as after the password
    // The find bar open, in its wider mode, saying its longest words.
    gui.main->openFindBar(FindBar::Mode::GoTo);
    Control<FindBar>(gui.main, "ResultFindBar")->say(QStringLiteral("no document 4294967295 in this result"));
    ExpectNothingClippedOrOverlapping({gui.main, gui.info, gui.status, gui.pass, gui.debug}, "as designed");

    // The main window shrinks no further than its controls allow.
    gui.main->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(gui.main->size(), gui.main->minimumSize());
    EXPECT_LT(gui.main->minimumWidth(), 875);
    EXPECT_LT(gui.main->minimumHeight(), 722);
    ExpectNothingClippedOrOverlapping({gui.main}, "at its smallest");
    // Both panes still show a fair number of rows, with the find bar open.
    EXPECT_GE(Control<QTextEdit>(gui.main, "ConvertMemo")->viewport()->height(), 10 * 13);
}

} // namespace

namespace {

// The windows in Bosnian, as LANGUAGE=bs shows them: every text in the
// user's language, and still nothing cut off and nothing overlapping.
TEST(WindowLayout, InBosnianTooNothingIsClippedOrOverlapping)
{
    const QString before = qEnvironmentVariable("LANGUAGE");
    qputenv("LANGUAGE", "bs");
    QTranslator bosnian;
    ASSERT_TRUE(bosnian.load(QLocale(QLocale::Bosnian), QStringLiteral("ejournal"), QStringLiteral("_"),
                             QStringLiteral(EJOURNAL_BUILD_QM_DIR)));
    QCoreApplication::installTranslator(&bosnian);
    {
        GuiRig gui;
        gui.pass->Panel1->show();
        gui.main->openFindBar(FindBar::Mode::GoTo);
        Control<FindBar>(gui.main, "ResultFindBar")->say(QStringLiteral("dokumenta 4294967295 nema u ovom rezultatu"));
        EXPECT_EQ(Control<QRadioButton>(gui.main, "ByDocRadio")->text(), QStringLiteral("Po broju računa"));
        EXPECT_EQ(Control<QToolButton>(gui.main, "FindBtn")->toolTip(), QStringLiteral("Čitaj elektronski žurnal"));
        EXPECT_EQ(gui.status->CancelBtn->text(), QStringLiteral("Otkaži"));
        EXPECT_EQ(gui.info->windowTitle(), QStringLiteral("Podaci o elektronskom žurnalu"));
        ExpectNothingClippedOrOverlapping({gui.main, gui.info, gui.status, gui.pass, gui.debug}, "in Bosnian");
        gui.main->resize(1, 1);
        ExpectNothingClippedOrOverlapping({gui.main}, "in Bosnian at its smallest");
        // A text of the core, as the window shows it.
        Control<QRadioButton>(gui.main, "ByDocRadio")->click();
        Control<QLineEdit>(gui.main, "FromNumberEdit")->setText(QStringLiteral("x"));
        gui.tick();
        Control<QToolButton>(gui.main, "FindBtn")->click();
        EXPECT_TRUE(gui.dialogs.shown.join(QLatin1Char('|')).contains(QStringLiteral("Broj računa u \"Od\"")))
            << gui.dialogs.shown.join(QLatin1Char('|')).toStdString();
    }
    QCoreApplication::removeTranslator(&bosnian);
    if (before.isEmpty())
        qunsetenv("LANGUAGE");
    else
        qputenv("LANGUAGE", before.toLocal8Bit());
}

TEST(WindowLayout, ControlsAreFoundByTheirNames)
{
    GuiRig gui;
    struct Case
    {
        QWidget *window;
        const char *name;
        QObject *control;
    };
    // (The main window's tests find every control by its name.)
    const Case cases[] = {
        {gui.info, "FiscalMemoryEdit", gui.info->FiscalMemoryEdit},
        {gui.status, "Gauge1", gui.status->Gauge1},
        {gui.status, "CancelBtn", gui.status->CancelBtn},
        {gui.pass, "MaskEdit1", gui.pass->MaskEdit1},
        {gui.pass, "EraseBtn", gui.pass->EraseBtn},
        {gui.debug, "Button3", gui.debug->Button3},
        {gui.debug, "Edit1", gui.debug->Edit1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.window->findChild<QObject *>(QLatin1String(c.name)), c.control) << c.name;
    // and every control of the windows has a name
    for (QWidget *window : QList<QWidget *>{gui.main, gui.info, gui.status, gui.pass, gui.debug}) {
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            if (!b->objectName().startsWith(QLatin1String("qt_"))) {
                EXPECT_FALSE(b->objectName().isEmpty()) << window->windowTitle().toStdString() << ": " << Describe(b);
            }
        }
    }
}

// What a screen reader says of each control: its accessible name, read
// through Qt's accessibility interface. Every control a person can reach has
// one, and no two inputs of a window share one.
TEST(Accessibility, EveryControlHasANameAndNoTwoInputsShareOne)
{
    GuiRig gui;
    gui.pass->Panel1->show();
    gui.main->openFindBar(FindBar::Mode::Find);
    for (QWidget *window : QList<QWidget *>{gui.main, gui.info, gui.status, gui.pass, gui.debug}) {
        window->show();
        QApplication::processEvents();
        const std::string title = window->windowTitle().toStdString();
        QMap<QString, QString> inputs; // name -> control
        for (QWidget *w : window->findChildren<QWidget *>()) {
            // The toolkit's own parts (a spin box's editor, a view's scroll
            // bars) are named by the control they belong to.
            if (!w->isVisibleTo(window) || w->objectName().isEmpty()
                || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr) << title << ": " << Describe(w);
            const QAccessible::Role role = a->role();
            const bool input = role == QAccessible::EditableText || role == QAccessible::SpinBox
                               || role == QAccessible::ScrollBar || role == QAccessible::ComboBox;
            const bool control = input || role == QAccessible::PushButton || role == QAccessible::RadioButton
                                 || role == QAccessible::CheckBox || role == QAccessible::ButtonMenu;
            if (!control && !(w->focusPolicy() & Qt::TabFocus))
                continue;
            const QString name = a->text(QAccessible::Name).trimmed();
            EXPECT_FALSE(name.isEmpty()) << title << ": " << Describe(w) << " (role " << int(role) << ") has no name";
            if (input && !name.isEmpty()) {
                EXPECT_FALSE(inputs.contains(name))
                    << title << ": " << Describe(w) << " and " << inputs.value(name).toStdString() << " are both \""
                    << name.toStdString() << "\"";
                inputs.insert(name, w->objectName());
            }
        }
        EXPECT_FALSE(inputs.isEmpty() && window == gui.main);
    }
    // The names a person hears on the main window, in the program's words.
    const std::pair<const char *, const char *> named[] = {
        {"CloseBtn", "Close program"},
        {"PrintBtn", "Print"},
        {"ExportBtn", "Export as TXT"},
        {"ExcelBtn", "Export to Excel"},
        {"SpeedButton1", "Information about Elctronic journal"},
        {"FindBtn", "Read electronic journal"},
        {"FromNumberEdit", "From receipt number"},
        {"ToDatePicker", "To date"},
        {"DataMemo", "Original"},
        {"ConvertMemo", "Decoded"},
    };
    for (const auto &[control, name] : named) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(Control<QWidget>(gui.main, control));
        EXPECT_EQ(a->text(QAccessible::Name), QLatin1String(name)) << control;
    }
}

// As a person sees the boxes: each title on its frame's top line, which is
// drawn at the title's height and above every control of the box.
TEST(WindowLayout, GroupTitlesSitOnTheirFrames)
{
    GuiRig gui;
    gui.main->show();
    QApplication::processEvents();
    for (QGroupBox *box : {Control<QGroupBox>(gui.main, "DeviceTypeGroup"), Control<QGroupBox>(gui.main, "GroupBox1"),
                           Control<QGroupBox>(gui.main, "GroupBox2")}) {
        const QImage image = box->grab().toImage();
        const QFontMetrics fm = box->fontMetrics();
        const QColor background = box->palette().color(QPalette::Window);
        // A column just right of the title: the first row that is not the
        // background is the frame's top line.
        const int x = qMin(image.width() - 4, 6 + fm.horizontalAdvance(box->title()) + 12);
        int line = -1;
        for (int y = 0; y < image.height() && line < 0; ++y) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.lightness() - background.lightness()) > 30)
                line = y;
        }
        const std::string name = box->objectName().toStdString();
        ASSERT_GE(line, 0) << name << ": no frame drawn";
        EXPECT_LT(line, fm.height()) << name << ": the frame starts below its title";
        EXPECT_GT(line, 0) << name;
        for (QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible()) {
                EXPECT_GT(child->y(), line) << name << ": " << Describe(child) << " stands above the frame";
            }
        }
    }
}

} // namespace

namespace {

TEST(Keyboard, TabGoesThroughTheWindowFromTopLeftToBottomRight)
{
    GuiRig gui;
    gui.main->show();
    gui.main->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == gui.main; }, 2000));
    auto tabOrder = [&] {
        Control<QToolButton>(gui.main, "CloseBtn")->setFocus(Qt::TabFocusReason);
        QStringList order;
        for (int i = 0; i < 40; ++i) {
            QWidget *focus = QApplication::focusWidget();
            if (!focus || (!order.isEmpty() && focus->objectName() == order.first()))
                break;
            // A date or time field takes Tab from section to section first.
            if (order.isEmpty() || order.last() != focus->objectName())
                order << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        return order.join(QLatin1Char(' ')).toStdString();
    };
    // A group of radio buttons is one stop, at the one chosen; what is
    // disabled is passed over.
    Control<QRadioButton>(gui.main, "ByDocRadio")->click();
    EXPECT_EQ(tabOrder(),
              "CloseBtn PrintBtn ExportBtn ExcelBtn SpeedButton1 CashRegisterItem ByDocRadio FromNumberEdit "
              "ToNumberEdit ShowOnScreenCheck SaveOriginalToFileCheck SaveConvertedToFile FindBtn DataMemo "
              "ConvertMemo");
    Control<QRadioButton>(gui.main, "ByDatesRadio")->click();
    gui.main->openFindBar(FindBar::Mode::Find);
    EXPECT_EQ(tabOrder(), "CloseBtn PrintBtn ExportBtn ExcelBtn SpeedButton1 CashRegisterItem ByDatesRadio "
                          "FromDatePicker FromTimePicker ToDatePicker ToTimePicker ShowOnScreenCheck "
                          "SaveOriginalToFileCheck SaveConvertedToFile FindBtn DataMemo ConvertMemo Input CloseButton");
}

} // namespace

namespace {

// What a desktop user sees of the windows in their theme: the window's icon,
// and the progress gauge's trough in the palette's colours (a dark theme
// has no white bar).
TEST(DesktopTheme, TheWindowHasItsIconAndTheGaugeFollowsThePalette)
{
    const QPalette original = QApplication::palette();
    for (const QColor base : {QColor(Qt::white), QColor(30, 30, 30)}) {
        // The theme's palette is the application's from the start.
        QPalette palette = original;
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Mid, base.lighter(150));
        QApplication::setPalette(palette);
        {
            GuiRig gui;
            EXPECT_FALSE(gui.main->windowIcon().isNull());
            gui.status->start(10);
            QApplication::processEvents();
            const QImage gauge = gui.status->Gauge1->grab().toImage();
            // Right of the percentage, left of the frame: the empty trough.
            const QColor trough = gauge.pixelColor(gauge.width() - 6, gauge.height() / 2);
            EXPECT_NEAR(trough.lightness(), base.lightness(), 40) << trough.name().toStdString();
            gui.status->abort();
        }
        QApplication::setPalette(original);
    }
}

} // namespace
