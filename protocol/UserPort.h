#pragma once

#include <QString>

struct data_132;

// How the protocol and the journal reach the user. The windows implement it
// with real widgets, the headless reader on the console, tests as a recorder.
// Every default does nothing, so a peer implements only what it shows.
class UserPort
{
public:
    enum class Box { Error, Warning, Information };

    virtual ~UserPort() = default;

    // The main window's red error label.
    virtual void showErrorLabel(const QString &text) { Q_UNUSED(text); }
    virtual void hideErrorLabel() {}
    virtual void clearErrorLabel() {} // empties the text, keeps the visibility

    // Modal boxes with one OK button, and the Yes/No warning.
    virtual void messageBox(Box kind, const QString &text) { Q_UNUSED(kind); Q_UNUSED(text); }
    virtual bool askYesNo(const QString &text) { Q_UNUSED(text); return false; }

    // The progress dialog protocol.
    virtual void progressOpen(int total) { Q_UNUSED(total); }
    virtual void progressListBuilt() {}
    virtual void progressTotalKnown(int total) { Q_UNUSED(total); }
    virtual void progressOneMore(int done) { Q_UNUSED(done); }
    virtual void progressRestart() {}
    virtual void progressFinish() {}
    virtual void progressAbort() {}

    // A journal identity arrived: fill the information dialog.
    virtual void showIdentity(const data_132 &identity) { Q_UNUSED(identity); }

    virtual void beep() {}
    virtual void showBusyPointer() {}    // saves the pointer, shows the hourglass
    virtual void restoreBusyPointer() {} // back to the saved pointer
    virtual void setFindEnabled(bool enabled) { Q_UNUSED(enabled); }
    virtual void processPendingMessages() {}
    virtual void pause(int milliseconds) { Q_UNUSED(milliseconds); }

    // The diagnostic window's counters, refreshed at every exchange tick.
    virtual void diagnosticTick(quint32 tickCount, int queuedPackets, bool deviceOpen)
    {
        Q_UNUSED(tickCount); Q_UNUSED(queuedPackets); Q_UNUSED(deviceOpen);
    }
};
