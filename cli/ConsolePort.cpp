#include "ConsolePort.h"

#include <QDateTime>

#include <chrono>
#include <thread>
#include <unistd.h>

ConsolePort::ConsolePort(FILE *err, bool showProgress, const char *program)
    : m_err(err)
    , m_terminal(showProgress && isatty(fileno(err)) == 1)
    , m_program(program)
{}

void ConsolePort::say(const QString &text, bool diagnostic)
{
    endProgressLine();
    // Message texts break lines as LF CR; a console wants plain LF. Some
    // pad their lines with spaces for a box; a console does not.
    QString plain = text;
    plain.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    const QString prefix = diagnostic ? QString::fromLocal8Bit(m_program) + QStringLiteral(": ") : QString();
    QStringList lines = plain.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = prefix + line.trimmed();
    std::fprintf(m_err, "%s\n", lines.join(QLatin1Char('\n')).toLocal8Bit().constData());
    std::fflush(m_err);
}

volatile std::sig_atomic_t ConsolePort::CancelSignal = 0;

void ConsolePort::showErrorLabel(const QString &text)
{
    m_errorShown = true;
    m_lastError = text;
    say(text, true);
}

void ConsolePort::messageBox(Box kind, const QString &text)
{
    if (kind == Box::Error) {
        m_errorShown = true;
        m_lastError = text;
    }
    say(text, kind == Box::Error || kind == Box::Warning);
}

bool ConsolePort::askYesNo(const QString &text)
{
    // Nobody is there to answer.
    say(text + QStringLiteral(" (no)"), true);
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
    // Off a terminal, progress is noise in a log; the summary says the end.
    if (!m_terminal)
        return;
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
