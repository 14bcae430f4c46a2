#pragma once

#include <QString>

#include <algorithm>
#include <functional>
#include <limits>

struct data_132;
struct IdentityTexts;

// Progress counts are ints; document ranges can be wider.
inline int ProgressCount(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

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
    virtual void showIdentity(const IdentityTexts &texts, const data_132 &identity)
    {
        Q_UNUSED(texts); Q_UNUSED(identity);
    }

    // Runs work soon, outside the current tick. A modal box opened from inside
    // a timer's slot would stop the ticks underneath it (a timer never
    // re-enters its slot), so the exchange opens its boxes this way. Peers
    // without an event loop simply run it at once.
    virtual void deferred(std::function<void()> work) { work(); }

    virtual void beep() {}
    virtual void showBusyPointer() {}    // saves the pointer, shows the hourglass
    virtual void restoreBusyPointer() {} // back to the saved pointer
    virtual void setFindEnabled(bool enabled) { Q_UNUSED(enabled); }
    virtual void processPendingMessages() {}
    virtual void pause(int milliseconds) { Q_UNUSED(milliseconds); }

    // The diagnostic window's counters: the tick count at the start of every
    // tick, the queue length on ticks with an open device.
    virtual void diagnosticTick(quint32 tickCount) { Q_UNUSED(tickCount); }
    virtual void diagnosticQueue(int queuedPackets) { Q_UNUSED(queuedPackets); }
};
