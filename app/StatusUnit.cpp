#include "StatusUnit.h"

#include "ControlNames.h"
#include "WindowFont.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TStatusForm::TStatusForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(441, 145);
    setModal(false);

    Gauge1 = new QProgressBar(this);
    Gauge1->setGeometry(41, 17, 353, 36);
    Gauge1->setTextVisible(true);
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #808080; background: white; }"
                                         "QProgressBar::chunk { background: #E02020; }"));

    Label1 = new QLabel(QStringLiteral("0"), this);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(111, 83, 100, 16);
    Label2 = new QLabel(QStringLiteral("/"), this);
    Label2->move(215, 83);
    Label3 = new QLabel(QStringLiteral("0"), this);
    Label3->setGeometry(225, 83, 100, 16);
    Label4 = new QLabel(QStringLiteral("Please Wait..."), this);
    Label4->setFont(WindowFont(13, true));
    Label4->move(184, 59);
    Label4->adjustSize();
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(183, 109, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &TStatusForm::requestCancel);
    NameControls({EJ_NAMED(Gauge1), EJ_NAMED(Label1), EJ_NAMED(Label2), EJ_NAMED(Label3), EJ_NAMED(Label4)});
    showGauge();
}

void TStatusForm::requestCancel()
{
    m_cancelRequested = true;
    CancelBtn->setEnabled(false); // said once; the read ends at its next step
}

void TStatusForm::reject()
{
    requestCancel();
}

void TStatusForm::showGauge()
{
    // A maximum of 0 would make the bar a busy indicator; the gauge shows 0 %.
    Gauge1->setRange(0, qMax(1, m_maximum));
    Gauge1->setValue(qBound(0, m_progress, qMax(1, m_maximum)));
    const int percent = m_maximum > 0 ? int(qint64(qBound(0, m_progress, m_maximum)) * 100 / m_maximum) : 0;
    Gauge1->setFormat(QStringLiteral("%1%").arg(percent));
}

void TStatusForm::start(int total)
{
    m_cancelRequested = false;
    CancelBtn->setEnabled(true);
    m_progress = 0;
    m_maximum = total;
    Label3->setText(QString::number(total));
    Label4->show();
    showGauge();
    show();
    repaint();
}

void TStatusForm::listBuilt()
{
    Label4->hide();
}

void TStatusForm::totalKnown(int total)
{
    m_maximum = total;
    Label3->setText(QString::number(total));
    showGauge();
}

void TStatusForm::oneMore(int done)
{
    Label1->setText(QString::number(done));
    ++m_progress;
    showGauge();
    repaint();
}

void TStatusForm::restart()
{
    Label1->setText(QStringLiteral("0"));
    m_progress = 0;
    showGauge();
    repaint();
}

void TStatusForm::finish()
{
    Label1->setText(QStringLiteral("0"));
    Label2->show();
    Label3->show();
    hide();
}

void TStatusForm::abort()
{
    hide();
}
