#include "StatusUnit.h"

#include "widgets/WindowFont.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

TStatusForm::TStatusForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setupUi(this);
    setFixedSize(size());
    setFont(WindowFont()); // a window of its own: it does not take the main window's
    setModal(false);
    // The design's red gauge, its trough in the palette's colours so that a
    // dark desktop theme does not leave a white bar in a dark dialog.
    Gauge1->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid palette(mid); background: palette(base); }"
                                         "QProgressBar::chunk { background: #E02020; }"));
    Label4->setFont(WindowFont(13, true));
    Label4->adjustSize();
    connect(CancelBtn, &QPushButton::clicked, this, &TStatusForm::requestCancel);
    m_paintLater = new QTimer(this);
    m_paintLater->setSingleShot(true);
    m_paintLater->setInterval(int(PaintEveryMs));
    connect(m_paintLater, &QTimer::timeout, this, &TStatusForm::paintNow);
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
    m_sincePaint.start();
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
    paintSoon();
}

void TStatusForm::restart()
{
    Label1->setText(QStringLiteral("0"));
    m_progress = 0;
    paintSoon();
}

void TStatusForm::paintSoon()
{
    // The gauge repaints itself whenever its value changes, so it too is
    // set only when the dialog is painted.
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < PaintEveryMs) {
        if (!m_paintLater->isActive())
            m_paintLater->start();
        return;
    }
    paintNow();
}

void TStatusForm::paintNow()
{
    m_paintLater->stop();
    showGauge();
    repaint();
    m_sincePaint.start();
}

void TStatusForm::finish()
{
    m_paintLater->stop();
    Label1->setText(QStringLiteral("0"));
    Label2->show();
    Label3->show();
    hide();
}

void TStatusForm::abort()
{
    m_paintLater->stop();
    hide();
}
