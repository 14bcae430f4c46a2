#pragma once

#include <QString>

#include <algorithm>
#include <functional>
#include <limits>

struct data_132;
struct IdentityTexts;

// Progress counts and scroll ranges are ints; document ranges and line
// counts can be wider, so they saturate.
inline int ClampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// How the protocol and the journal reach the user. The windows implement it
// with real widgets, the headless reader on the console, tests as a recorder.
// Every method is pure: a call the core gains must be answered by every peer,
// or the compiler says so. Peers that want silence start from NullUserPort.
class UserPort
{
public:
    enum class Box { Error, Warning, Information };

    virtual ~UserPort() = default;

    // The main window's red error label.
    virtual void showErrorLabel(const QString &text) = 0;
    virtual void hideErrorLabel() = 0;
    virtual void clearErrorLabel() = 0; // empties the text, keeps the visibility

    // Modal boxes with one OK button, and the Yes/No warning.
    virtual void messageBox(Box kind, const QString &text) = 0;
    virtual bool askYesNo(const QString &text) = 0;

    // The progress dialog protocol.
    virtual void progressOpen(int total) = 0;
    virtual void progressListBuilt() = 0;
    virtual void progressTotalKnown(int total) = 0;
    virtual void progressOneMore(int done) = 0;
    virtual void progressRestart() = 0;
    virtual void progressFinish() = 0;
    virtual void progressAbort() = 0;

    // A journal identity arrived: fill the information dialog.
    virtual void showIdentity(const IdentityTexts &texts, const data_132 &identity) = 0;

    // Runs work soon, outside the current tick. A modal box opened from inside
    // a timer's slot would stop the ticks underneath it (a timer never
    // re-enters its slot), so the exchange opens its boxes this way. Peers
    // without an event loop run it at once.
    virtual void deferred(std::function<void()> work) = 0;

    virtual void beep() = 0;
    virtual void showBusyPointer() = 0;    // saves the pointer, shows the hourglass
    virtual void restoreBusyPointer() = 0; // back to the saved pointer
    virtual void setFindEnabled(bool enabled) = 0;
    virtual void processPendingMessages() = 0;
    virtual void pause(int milliseconds) = 0;

    // Called very often during a long read: lets the window's events through
    // now and then (the peer keeps it cheap), so the window repaints, the
    // clock ticks and Cancel answers.
    virtual void keepAlive() = 0;
    // The user asked to end the read (the progress dialog's Cancel, Ctrl+C).
    virtual bool cancelRequested() = 0;

    // The diagnostic window's counters: the tick count at the start of every
    // tick, the queue length on ticks with an open device.
    virtual void diagnosticTick(quint32 tickCount) = 0;
    virtual void diagnosticQueue(int queuedPackets) = 0;
};

// A user who sees nothing and answers No: for peers that show only part of
// what the core says (the console, benchmarks, tests).
class NullUserPort : public UserPort
{
public:
    void showErrorLabel(const QString &) override {}
    void hideErrorLabel() override {}
    void clearErrorLabel() override {}
    void messageBox(Box, const QString &) override {}
    bool askYesNo(const QString &) override { return false; }
    void progressOpen(int) override {}
    void progressListBuilt() override {}
    void progressTotalKnown(int) override {}
    void progressOneMore(int) override {}
    void progressRestart() override {}
    void progressFinish() override {}
    void progressAbort() override {}
    void showIdentity(const IdentityTexts &, const data_132 &) override {}
    void deferred(std::function<void()> work) override { work(); }
    void beep() override {}
    void showBusyPointer() override {}
    void restoreBusyPointer() override {}
    void setFindEnabled(bool) override {}
    void processPendingMessages() override {}
    void pause(int) override {}
    void keepAlive() override {}
    bool cancelRequested() override { return false; }
    void diagnosticTick(quint32) override {}
    void diagnosticQueue(int) override {}
};
