#pragma once

#include <QString>

#include <algorithm>
#include <functional>
#include <limits>
#include <type_traits>

struct data_132;
struct IdentityTexts;

// Progress counts and scroll ranges are ints; document ranges and line
// counts can be wider, so they saturate.
inline int ClampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// How the protocol and the journal reach the user, in four roles. The
// windows play all four with real widgets, the headless reader the first
// three on the console, tests as a recorder. Every method of a role is pure:
// a call the core gains must be answered by every peer that plays the role,
// or the compiler says so. A peer that plays only part of a role starts from
// its Null class.

// A long read: the progress dialog's steps, the user's Cancel, and the
// window's events let through meanwhile.
class ProgressPort
{
public:
    virtual ~ProgressPort() = default;

    virtual void progressOpen(int total) = 0;
    virtual void progressListBuilt() = 0;
    virtual void progressTotalKnown(int total) = 0;
    virtual void progressOneMore(int done) = 0;
    virtual void progressRestart() = 0;
    virtual void progressFinish() = 0;
    virtual void progressAbort() = 0;

    // Called very often during a long read: lets the window's events through
    // now and then (the peer keeps it cheap), so the window repaints, the
    // clock ticks and Cancel answers.
    virtual void keepAlive() = 0;
    // The same, asked for every ten documents.
    virtual void processPendingMessages() = 0;
    // The wait between two tries after a failure.
    virtual void pause(int milliseconds) = 0;
    // The user asked to end the read (the progress dialog's Cancel, Ctrl+C).
    virtual bool cancelRequested() = 0;
};

// What the user is told and asked.
class MessagePort
{
public:
    enum class Box { Error, Warning, Information };

    virtual ~MessagePort() = default;

    // Modal boxes with one OK button, and the Yes/No warning.
    virtual void messageBox(Box kind, const QString &text) = 0;
    virtual bool askYesNo(const QString &text) = 0;
    virtual void beep() = 0;

    // Runs work soon, outside the current tick. A modal box opened from inside
    // a timer's slot would stop the ticks underneath it (a timer never
    // re-enters its slot), so the exchange opens its boxes this way. Peers
    // without an event loop run it at once.
    virtual void deferred(std::function<void()> work) = 0;
};

// The state of the link and of the journal on it: the main window's red
// error label, the identity, the diagnostic window's counters.
class StatusPort
{
public:
    virtual ~StatusPort() = default;

    virtual void showErrorLabel(const QString &text) = 0;
    virtual void hideErrorLabel() = 0;
    virtual void clearErrorLabel() = 0; // empties the text, keeps the visibility

    // A journal identity arrived: fill the information dialog.
    virtual void showIdentity(const IdentityTexts &texts, const data_132 &identity) = 0;

    // The tick count at the start of every tick, the queue length on ticks
    // with an open device.
    virtual void diagnosticTick(quint32 tickCount) = 0;
    virtual void diagnosticQueue(int queuedPackets) = 0;
};

// The window's controls a read holds while it runs.
class ControlsPort
{
public:
    virtual ~ControlsPort() = default;

    virtual void showBusyPointer() = 0;    // saves the pointer, shows the hourglass
    virtual void restoreBusyPointer() = 0; // back to the saved pointer
    virtual void setFindEnabled(bool enabled) = 0;
};

// Each role for a user who sees nothing and answers No.
class NullProgressPort : public ProgressPort
{
public:
    void progressOpen(int) override {}
    void progressListBuilt() override {}
    void progressTotalKnown(int) override {}
    void progressOneMore(int) override {}
    void progressRestart() override {}
    void progressFinish() override {}
    void progressAbort() override {}
    void keepAlive() override {}
    void processPendingMessages() override {}
    void pause(int) override {}
    bool cancelRequested() override { return false; }
};

class NullMessagePort : public MessagePort
{
public:
    void messageBox(Box, const QString &) override {}
    bool askYesNo(const QString &) override { return false; }
    void beep() override {}
    void deferred(std::function<void()> work) override { work(); }
};

class NullStatusPort : public StatusPort
{
public:
    void showErrorLabel(const QString &) override {}
    void hideErrorLabel() override {}
    void clearErrorLabel() override {}
    void showIdentity(const IdentityTexts &, const data_132 &) override {}
    void diagnosticTick(quint32) override {}
    void diagnosticQueue(int) override {}
};

class NullControlsPort : public ControlsPort
{
public:
    void showBusyPointer() override {}
    void restoreBusyPointer() override {}
    void setFindEnabled(bool) override {}
};

// The user as the core sees it: one peer for each role. It only refers to
// the peers, which outlive it; it is passed by value.
struct UserPort
{
private:
    // The silent roles hold no state, so one of each serves every port.
    template <typename Null>
    static Null &silent()
    {
        static Null null;
        return null;
    }
    template <typename Role, typename Null, typename Peer>
    static Role &role(Peer &peer)
    {
        if constexpr (std::is_base_of_v<Role, Peer>)
            return peer;
        else
            return silent<Null>();
    }

public:
    ProgressPort &progress;
    MessagePort &messages;
    StatusPort &status;
    ControlsPort &controls;

    // Nobody: every role silent.
    UserPort()
        : UserPort(silent<NullProgressPort>(), silent<NullMessagePort>(), silent<NullStatusPort>(),
                   silent<NullControlsPort>())
    {}

    UserPort(ProgressPort &progressPeer, MessagePort &messagesPeer, StatusPort &statusPeer, ControlsPort &controlsPeer)
        : progress(progressPeer)
        , messages(messagesPeer)
        , status(statusPeer)
        , controls(controlsPeer)
    {}

    // The roles one peer plays, silence for the rest: a console that has no
    // Find button need not pretend to have one.
    template <typename Peer>
    requires(!std::is_same_v<std::remove_cv_t<Peer>, UserPort>)
        UserPort(Peer &peer) // NOLINT(google-explicit-constructor): a peer stands for the user
        : UserPort(role<ProgressPort, NullProgressPort>(peer), role<MessagePort, NullMessagePort>(peer),
                   role<StatusPort, NullStatusPort>(peer), role<ControlsPort, NullControlsPort>(peer))
    {}
};
