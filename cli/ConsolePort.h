#pragma once

#include "protocol/UserPort.h"

#include <csignal>
#include <cstdio>

// The headless reader's user: errors and messages on standard error, the
// errors and warnings after the program's name as Unix tools say them;
// progress as a live bar only when standard error is a terminal. A console
// has no window controls, no identity dialog and no diagnostic window: of
// the status it shows the errors.
class ConsolePort final : public NullProgressPort, public NullMessagePort, public NullStatusPort
{
public:
    // program: the name before errors and warnings ("ejournal-read");
    // showProgress: false for --quiet, or when the bar would tangle with a trace.
    explicit ConsolePort(FILE *err = stderr, bool showProgress = true, const char *program = "ejournal-read");

    void showErrorLabel(const QString &text) override;
    void messageBox(Box kind, const QString &text) override;
    bool askYesNo(const QString &text) override;

    void progressOpen(int total) override;
    void progressTotalKnown(int total) override;
    void progressOneMore(int done) override;
    void progressRestart() override;
    void progressFinish() override;
    void progressAbort() override;

    void pause(int milliseconds) override;
    bool cancelRequested() override { return CancelSignal != 0; }

    // The signal that asked to end the read (SIGINT, SIGTERM), 0 for none;
    // set from the program's signal handler.
    static volatile std::sig_atomic_t CancelSignal;

    // Whether anything reported an error since the last reset.
    bool errorShown() const { return m_errorShown; }
    QString lastError() const { return m_lastError; }

private:
    void say(const QString &text, bool diagnostic = false);
    void drawProgress();
    void endProgressLine();

    FILE *m_err;
    bool m_terminal;
    const char *m_program;
    bool m_errorShown = false;
    QString m_lastError;
    int m_total = 0;
    int m_done = 0;
    bool m_barDrawn = false;
    qint64 m_lastDrawMs = 0;
};
