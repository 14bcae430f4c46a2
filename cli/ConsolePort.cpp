#include "ConsolePort.h"

#include <QDateTime>

#include <chrono>
#include <thread>
#include <unistd.h>

ConsolePort::ConsolePort(FILE *err, bool liveBar)
    : m_err(err)
    , m_terminal(liveBar && isatty(fileno(err)) == 1)
{
}

void ConsolePort::say(const QString &text)
{
    endProgressLine();
    // Message texts break lines as LF CR; a console wants plain LF.
    QString plain = text;
    plain.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    std::fprintf(m_err, "%s\n", plain.toLocal8Bit().constData());
    std::fflush(m_err);
}

volatile std::sig_atomic_t ConsolePort::CancelSignal = 0;

void ConsolePort::showErrorLabel(const QString &text)
{
    m_errorShown = true;
    m_lastError = text;
    say(text);
}

void ConsolePort::messageBox(Box kind, const QString &text)
{
    if (kind == Box::Error) {
        m_errorShown = true;
        m_lastError = text;
    }
    say(text);
}

bool ConsolePort::askYesNo(const QString &text)
{
    // Nobody is there to answer.
    say(text + QStringLiteral(" (no)"));
    return false;
}

void ConsolePort::progressOpen(int total)
{
    m_total = total;
    m_done = 0;
    drawProgress();
}

void ConsolePort::progressTotalKnown(int total)
{
    m_total = total;
    drawProgress();
}

void ConsolePort::progressOneMore(int done)
{
    m_done = done;
    drawProgress();
}

void ConsolePort::progressRestart()
{
    m_done = 0;
    drawProgress();
}

void ConsolePort::progressFinish()
{
    endProgressLine();
}

void ConsolePort::progressAbort()
{
    endProgressLine();
}

void ConsolePort::pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ConsolePort::drawProgress()
{
    if (!m_terminal) {
        // Off a terminal: a plain line at every tenth of the way.
        const int step = m_total > 0 ? qMax(1, m_total / 10) : 0;
        if (step > 0 && m_done > 0 && (m_done % step == 0 || m_done == m_total)) {
            std::fprintf(m_err, "%d/%d documents\n", m_done, m_total);
            std::fflush(m_err);
        }
        return;
    }
    // A terminal redrawn thousands of times a second only slows the reading.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_barDrawn && now - m_lastDrawMs < 100 && m_done != m_total)
        return;
    m_lastDrawMs = now;
    constexpr int Width = 40;
    const int filled = m_total > 0 ? int(qint64(Width) * qBound(0, m_done, m_total) / m_total) : 0;
    std::fprintf(m_err, "\r[%s%s] %d/%d documents", QByteArray(filled, '#').constData(),
                 QByteArray(Width - filled, '.').constData(), m_done, m_total);
    std::fflush(m_err);
    m_barDrawn = true;
}

void ConsolePort::endProgressLine()
{
    if (m_barDrawn) {
        std::fputc('\n', m_err);
        m_barDrawn = false;
    }
}
