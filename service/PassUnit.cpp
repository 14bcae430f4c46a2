#include "PassUnit.h"

#include "widgets/WindowFont.h"
#include "widgets/DialogProvider.h"
#include "protocol/Packets.h"

#include <QScreen>
#include <QApplication>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

TPassForm::TPassForm(DialogProvider &dialogs, CommandQueue &commands, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_dialogs(dialogs)
    , m_commands(commands)
{
    setupUi(this);
    setFixedSize(size());
    setFont(WindowFont());
    connect(Button1, &QPushButton::clicked, this, &TPassForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPassForm::Button2Click);
    // Enter in the entry presses the default button.
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TPassForm::Button1Click);
    connect(InitBtn, &QToolButton::clicked, this, &TPassForm::InitBtnClick);
    connect(GenBtn, &QToolButton::clicked, this, &TPassForm::GenBtnClick);
    connect(EraseBtn, &QToolButton::clicked, this, &TPassForm::EraseBtnClick);
    Panel1->hide();
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
    m_dialogs.message(this, MessagePort::Box::Error,
                      tr("Wrong Password. ") + QString::number(ErrCount) + tr(" attepts left."));
}

void TPassForm::Button2Click()
{
    close();
}

bool TPassForm::confirm(std::initializer_list<const char *> pieces)
{
    QStringList parts;
    for (const char *p : pieces)
        parts << tr(p);
    return m_dialogs.question(this, parts.join(QStringLiteral("\n\r")));
}

void TPassForm::InitBtnClick()
{
    if (!confirm({QT_TR_NOOP("  This is an initialization function.  "),
                  QT_TR_NOOP("Do you want to initialize the journal? ")}))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    Gen131(now, now, MemNum->text(), ClientNumEdit->text(), m_commands);
    close();
}

void TPassForm::GenBtnClick()
{
    if (!confirm(
            {QT_TR_NOOP("  This is an generation function.  "), QT_TR_NOOP("Do you want to generate fake data? ")}))
        return;
    gen_flash(m_commands);
    close();
}

void TPassForm::EraseBtnClick()
{
    if (!confirm({QT_TR_NOOP(" This is an erase function. "), QT_TR_NOOP("All data will be DESTOYED!!!"),
                  QT_TR_NOOP("Do you want to erase flash? ")}))
        return;
    erase_flash(m_commands);
}
