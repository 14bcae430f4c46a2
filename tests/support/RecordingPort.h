#pragma once

#include "protocol/IdentityDisplay.h"
#include "protocol/Packets.h"
#include "protocol/UserPort.h"

#include <QString>
#include <QStringList>

#include <deque>

// A user port that writes down what the user would have seen, one entry a
// line ("label: text", "error box: text", ...), and answers Yes/No questions
// from a script.
class RecordingPort : public NullProgressPort, public NullMessagePort, public NullStatusPort, public NullControlsPort
{
public:
    QStringList events;
    QString labelText;
    bool labelVisible = false;
    std::deque<bool> answers; // for askYesNo, first to last; No when empty
    int identities = 0;
    data_132 lastIdentity;
    bool findEnabled = true;
    IdentityTexts lastTexts;
    bool deferWork = false;
    std::deque<std::function<void()>> pending;
    int messagePumps = 0;
    int pauses = 0;
    std::function<void(int)> onPause;
    // Asked at every keep-alive point of a read: true ends it as the user's
    // Cancel would.
    std::function<bool()> cancelWhen;
    int keepAlives = 0;
    void keepAlive() override { ++keepAlives; }
    bool cancelRequested() override { return cancelWhen && cancelWhen(); }

    void showErrorLabel(const QString &text) override
    {
        labelText = text;
        labelVisible = true;
        events << QStringLiteral("label: ") + text;
    }
    void hideErrorLabel() override
    {
        labelVisible = false;
        events << QStringLiteral("label hidden");
    }
    void clearErrorLabel() override { labelText.clear(); }
    void messageBox(Box kind, const QString &text) override
    {
        static const char *Names[] = {"error box: ", "warning box: ", "information box: "};
        events << QLatin1String(Names[int(kind)]) + text;
    }
    bool askYesNo(const QString &text) override
    {
        events << QStringLiteral("question: ") + text;
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void progressOpen(int total) override { events << QStringLiteral("progress open %1").arg(total); }
    void progressListBuilt() override { events << QStringLiteral("progress list built"); }
    void progressTotalKnown(int total) override { events << QStringLiteral("progress total %1").arg(total); }
    void progressOneMore(int done) override { events << QStringLiteral("progress %1").arg(done); }
    void progressRestart() override { events << QStringLiteral("progress restart"); }
    void progressFinish() override { events << QStringLiteral("progress finish"); }
    void progressAbort() override { events << QStringLiteral("progress abort"); }
    void showIdentity(const IdentityTexts &texts, const data_132 &identity) override
    {
        ++identities;
        lastIdentity = identity;
        lastTexts = texts;
        events << QStringLiteral("identity ") + texts.fiscalMemory;
    }
    void deferred(std::function<void()> work) override
    {
        if (deferWork)
            pending.push_back(std::move(work));
        else
            work();
    }
    // Runs what was deferred, as the event loop would after the tick.
    void runDeferred()
    {
        while (!pending.empty()) {
            auto work = std::move(pending.front());
            pending.pop_front();
            work();
        }
    }
    void processPendingMessages() override { ++messagePumps; }
    void beep() override { events << QStringLiteral("beep"); }
    void showBusyPointer() override { events << QStringLiteral("hourglass"); }
    void restoreBusyPointer() override { events << QStringLiteral("pointer restored"); }
    void setFindEnabled(bool enabled) override
    {
        findEnabled = enabled;
        events << (enabled ? QStringLiteral("find enabled") : QStringLiteral("find disabled"));
    }
    void pause(int ms) override
    {
        ++pauses;
        if (onPause)
            onPause(ms);
    }

    QStringList boxes() const
    {
        QStringList out;
        for (const QString &e : events) {
            if (e.contains(QLatin1String(" box: ")) || e.startsWith(QLatin1String("question: ")))
                out << e;
        }
        return out;
    }
};
