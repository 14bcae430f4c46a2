#pragma once

#include "protocol/UserPort.h"

#include <QElapsedTimer>

class TMainForm;

// How the core reaches the user of the windows: the main window's error
// label and Find button, the boxes, the progress dialog, the busy pointer,
// the diagnostic window's counters, and the events a long read lets through.
// The window owns it and hands it to the exchange and the search.
class MainWindowPort final : public ProgressPort, public MessagePort, public StatusPort, public ControlsPort
{
public:
    explicit MainWindowPort(TMainForm &window) : m_window(window) {}

    // The progress dialog, and the window's events during a read.
    void progressOpen(int total) override;
    void progressListBuilt() override;
    void progressTotalKnown(int total) override;
    void progressOneMore(int done) override;
    void progressRestart() override;
    void progressFinish() override;
    void progressAbort() override;
    void keepAlive() override;
    void processPendingMessages() override;
    void pause(int milliseconds) override;
    bool cancelRequested() override;

    void messageBox(Box kind, const QString &text) override;
    bool askYesNo(const QString &text) override;
    void beep() override;
    void deferred(std::function<void()> work) override;

    // The error label, the information dialog, the diagnostic window.
    void showErrorLabel(const QString &text) override;
    void hideErrorLabel() override;
    void clearErrorLabel() override;
    void showIdentity(const IdentityTexts &texts, const data_132 &identity) override;
    void diagnosticTick(quint32 tickCount) override;
    void diagnosticQueue(int queuedPackets) override;

    void showBusyPointer() override;
    void restoreBusyPointer() override;
    void setFindEnabled(bool enabled) override;

private:
    TMainForm &m_window;
    QElapsedTimer m_sinceEvents; // when a read last let the window's events through
};
