#pragma once

#include "protocol/UserPort.h"

#include <QElapsedTimer>

class TMainForm;

// How the core reaches the user of the windows: the main window's error
// label and Find button, the boxes, the progress dialog, the busy pointer,
// the diagnostic window's counters, and the events a long read lets through.
// The window owns it and hands it to the exchange and the search.
class MainWindowPort final : public UserPort
{
public:
    explicit MainWindowPort(TMainForm &window) : m_window(window) {}

    void showErrorLabel(const QString &text) override;
    void hideErrorLabel() override;
    void clearErrorLabel() override;
    void messageBox(Box kind, const QString &text) override;
    bool askYesNo(const QString &text) override;
    void progressOpen(int total) override;
    void progressListBuilt() override;
    void progressTotalKnown(int total) override;
    void progressOneMore(int done) override;
    void progressRestart() override;
    void progressFinish() override;
    void progressAbort() override;
    void showIdentity(const IdentityTexts &texts, const data_132 &identity) override;
    void deferred(std::function<void()> work) override;
    void beep() override;
    void showBusyPointer() override;
    void restoreBusyPointer() override;
    void setFindEnabled(bool enabled) override;
    void processPendingMessages() override;
    void pause(int milliseconds) override;
    void keepAlive() override;
    bool cancelRequested() override;
    void diagnosticTick(quint32 tickCount) override;
    void diagnosticQueue(int queuedPackets) override;

private:
    TMainForm &m_window;
    QElapsedTimer m_sinceEvents; // when a read last let the window's events through
};
