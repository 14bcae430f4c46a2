#include "MainWindowPort.h"

#include "service/DebugUnit.h"
#include "MainUnit.h"
#include "StatusUnit.h"
#include "SysInfoUnit.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QToolButton>

void MainWindowPort::showErrorLabel(const QString &text)
{
    m_window.ErrorLabel->setText(text);
    m_window.ErrorLabel->show();
}

void MainWindowPort::hideErrorLabel()
{
    m_window.ErrorLabel->hide();
}

void MainWindowPort::clearErrorLabel()
{
    m_window.ErrorLabel->clear();
}

void MainWindowPort::messageBox(Box kind, const QString &text)
{
    QWidget *parent = QApplication::activeModalWidget();
    m_window.dialogs().message(parent ? parent : &m_window, kind, text);
}

bool MainWindowPort::askYesNo(const QString &text)
{
    return m_window.dialogs().question(&m_window, text);
}

void MainWindowPort::progressOpen(int total)
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->start(total);
    // A window just shown is drawn only when events run: show it now, not at
    // the read's first progress step.
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void MainWindowPort::progressListBuilt()
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->listBuilt();
}

void MainWindowPort::progressTotalKnown(int total)
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->totalKnown(total);
}

void MainWindowPort::progressOneMore(int done)
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->oneMore(done);
}

void MainWindowPort::progressRestart()
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->restart();
}

void MainWindowPort::progressFinish()
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->finish();
}

void MainWindowPort::progressAbort()
{
    if (TStatusForm *dialog = m_window.statusForm())
        dialog->abort();
}

void MainWindowPort::showIdentity(const IdentityTexts &texts, const data_132 &identity)
{
    Q_UNUSED(identity);
    if (TSysInfoForm *info = m_window.sysInfoForm())
        info->showIdentity(texts);
}

void MainWindowPort::deferred(std::function<void()> work)
{
    QMetaObject::invokeMethod(
        &m_window,
        [this, work = std::move(work)] {
            try {
                work();
            } catch (const std::exception &e) {
                messageBox(Box::Error, QString::fromLocal8Bit(e.what()));
            }
        },
        Qt::QueuedConnection);
}

void MainWindowPort::beep()
{
    QApplication::beep();
}

void MainWindowPort::showBusyPointer()
{
    if (!QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindowPort::restoreBusyPointer()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void MainWindowPort::setFindEnabled(bool enabled)
{
    // While the window reads, the read state owns the button; an error that
    // ends the exchange early must not offer a second read inside the first.
    m_window.FindBtn->setEnabled(enabled && !m_window.reading());
}

void MainWindowPort::processPendingMessages()
{
    // The read asks every ten documents; on a fast link that is thousands of
    // times a second, and each time repaints what changed. The window is
    // just as alive when it runs its events at most every few milliseconds.
    keepAlive();
}

void MainWindowPort::pause(int milliseconds)
{
    // The window waits awake: a read's pauses come after failures, exactly
    // when a user may want to look or cancel.
    const QDeadlineTimer until(milliseconds);
    while (!until.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(ulong(qBound(qint64(0), until.remainingTime(), qint64(5))));
    }
    m_sinceEvents.start();
}

void MainWindowPort::keepAlive()
{
    // Often enough that the window never looks hung (repaints, the clock,
    // Cancel), rarely enough to cost the read next to nothing.
    constexpr qint64 EventsEveryMs = 20;
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < EventsEveryMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

bool MainWindowPort::cancelRequested()
{
    return m_window.statusForm() && m_window.statusForm()->cancelRequested();
}

void MainWindowPort::diagnosticTick(quint32 tickCount)
{
    if (TDebugForm *debug = m_window.debugForm(); debug && debug->isVisible()) {
        const QTextDocument *raw = m_window.ResultPanes->originalPane()->document();
        const int lines = raw->isEmpty() ? 0 : raw->blockCount();
        debug->showCounters(tickCount, lines);
    }
}

void MainWindowPort::diagnosticQueue(int queuedPackets)
{
    if (TDebugForm *debug = m_window.debugForm(); debug && debug->isVisible())
        debug->showQueue(queuedPackets);
}
