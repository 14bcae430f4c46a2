#include "PassUnit.h"

#include "ControlNames.h"
#include "WindowFont.h"
#include "DialogProvider.h"
#include "ExchangeState.h"
#include "Packets.h"

#include <QScreen>
#include <QApplication>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

QToolButton *serviceButton(QWidget *parent, const QString &text, const QRect &place)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setAutoRaise(true);
    b->setGeometry(place);
    b->setStyleSheet(QStringLiteral("QToolButton { color: red; font-weight: bold; }"));
    return b;
}

} // namespace

TPassForm::TPassForm(DialogProvider &dialogs, CommandQueue &commands, ExchangeState &link, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_dialogs(dialogs)
    , m_commands(commands)
    , m_link(link)
{
    setWindowTitle(QStringLiteral("Enter password"));
    setFixedSize(414, 166);
    setFont(WindowFont());

    auto *label = new QLabel(QStringLiteral("Password: "), this);
    label->setGeometry(12, 16, 60, 16);
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setGeometry(76, 12, 170, 21);
    MaskEdit1->setEchoMode(QLineEdit::Password);
    MaskEdit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(254, 10, 70, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Close"), this);
    Button2->setGeometry(332, 10, 70, 25);
    connect(Button1, &QPushButton::clicked, this, &TPassForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPassForm::Button2Click);
    // Enter in the entry presses the default button.
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TPassForm::Button1Click);

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(8, 44, 398, 114);
    auto *memLabel = new QLabel(QStringLiteral("Fiscal Memory"), Panel1);
    memLabel->setGeometry(10, 10, 80, 16);
    MemNum = new QLineEdit(Panel1);
    MemNum->setGeometry(96, 8, 100, 21);
    MemNum->setMaxLength(8);
    auto *clientLabel = new QLabel(QStringLiteral("Client ID"), Panel1);
    clientLabel->setGeometry(10, 38, 80, 16);
    ClientNumEdit = new QLineEdit(Panel1);
    ClientNumEdit->setGeometry(96, 36, 100, 21);
    ClientNumEdit->setMaxLength(13);
    InitBtn = serviceButton(Panel1, QStringLiteral("INIT"), {96, 66, 100, 36});
    auto *bevel = new QFrame(Panel1);
    bevel->setFrameShape(QFrame::VLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(212, 6, 4, 102);
    GenBtn = serviceButton(Panel1, QStringLiteral("GENERATE"), {236, 10, 140, 40});
    EraseBtn = serviceButton(Panel1, QStringLiteral("ERASE"), {236, 62, 140, 40});
    connect(InitBtn, &QToolButton::clicked, this, &TPassForm::InitBtnClick);
    connect(GenBtn, &QToolButton::clicked, this, &TPassForm::GenBtnClick);
    connect(EraseBtn, &QToolButton::clicked, this, &TPassForm::EraseBtnClick);
    Panel1->hide();
    NameControls({EJ_NAMED(MaskEdit1), EJ_NAMED(Button1), EJ_NAMED(Button2), EJ_NAMED(Panel1), EJ_NAMED(MemNum),
                  EJ_NAMED(ClientNumEdit), EJ_NAMED(InitBtn), EJ_NAMED(GenBtn), EJ_NAMED(EraseBtn)});
}

void TPassForm::showEvent(QShowEvent *event)
{
    FormShow();
    // The service window stands in the middle of the screen it opens on.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    QWidget::showEvent(event);
}

void TPassForm::FormShow()
{
    Panel1->hide();
    MemNum->clear();
    ClientNumEdit->clear();
    MaskEdit1->setFocus();
}

void TPassForm::Button1Click()
{
    if (MaskEdit1->text() == QLatin1String(ServicePassword)) {
        MaskEdit1->clear();
        Panel1->show();
        ErrCount = 3;
        return;
    }
    QApplication::beep();
    --ErrCount;
    MaskEdit1->clear();
    if (ErrCount <= 0) {
        close();
        return;
    }
    m_dialogs.message(this, UserPort::Box::Error,
                      QStringLiteral("Wrong Password. ") + QString::number(ErrCount) + QStringLiteral(" attepts left."));
}

void TPassForm::Button2Click()
{
    close();
}

bool TPassForm::confirm(std::initializer_list<const char *> pieces)
{
    QStringList parts;
    for (const char *p : pieces)
        parts << QLatin1String(p);
    return m_dialogs.question(this, parts.join(QStringLiteral("\n\r")));
}

void TPassForm::InitBtnClick()
{
    if (!confirm({"  This is an initialization function.  ", "Do you want to initialize the journal? "}))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    Gen131(now, now, MemNum->text(), ClientNumEdit->text(), m_commands);
    close();
}

void TPassForm::GenBtnClick()
{
    if (!confirm({"  This is an generation function.  ", "Do you want to generate fake data? "}))
        return;
    gen_flash(m_commands);
    close();
}

void TPassForm::EraseBtnClick()
{
    if (!confirm({" This is an erase function. ", "All data will be DESTOYED!!!", "Do you want to erase flash? "}))
        return;
    m_link.timeout = EraseAnswerTimeoutTicks;
    erase_flash(m_commands);
}
