#pragma once

#include "protocol/ExchangeEngine.h"
#include "journal/FileNaming.h"
#include "protocol/IdentityDisplay.h"
#include "journal/JournalSearch.h"
#include "journal/LineDecoding.h"
#include "TestRig.h"

#include <QFile>
#include <QTemporaryDir>

class RecordingView final : public SearchView
{
public:
    QStringList events;
    QString summary;
    QString elapsed;
    qint64 range = -1;
    bool showOnScreen = true;
    void clearResultPanes() override { events << QStringLiteral("panes cleared"); }
    void setElapsedText(const QString &text) override
    {
        elapsed = text;
        events << QStringLiteral("elapsed");
    }
    void setResultRange(qint64 lines) override
    {
        range = lines;
        events << QStringLiteral("range %1").arg(lines);
    }
    void showResultWindow(qint64 p) override { events << QStringLiteral("window %1").arg(p); }
    void setSummaryText(const QString &text) override
    {
        summary = text;
        events << text;
    }
    void uncheckShowOnScreen() override
    {
        showOnScreen = false;
        events << QStringLiteral("show on screen off");
    }
};

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The program around a simulated journal: connected, identity received.
struct SearchRig : SimRig
{
    QTemporaryDir dir;
    RequestListState requests;
    SearchState searchState;
    JournalSettings settings;
    RecordingView view;
    QString fiscal;

    explicit SearchRig(quint32 documents = 30, const QString &faults = {}, DeviceType type = DeviceType::CashRegister)
        : SimRig(faults, [=] {
            SimulatorOptions o;
            o.documents = documents;
            o.deviceType = type;
            return o;
        }())
    {
        connect();
        ExchangeEngine engine(*usb, state, Commands, records, port, readTimer);
        get_info_initial(Commands);
        engine.ReadTimerTimer();
        fiscal = FiscalMemoryText(records.Data132);
        port.events.clear();
        if (type == DeviceType::FiscalPrinter) {
            settings = SettingsFor(DeviceType::FiscalPrinter);
        }
    }

    JournalSearch::Outcome find(SearchRequest r)
    {
        if (r.directory.isEmpty())
            r.directory = dir.path();
        r.fiscalMemory = fiscal;
        JournalSearch search(context(), requests, searchState, settings, readTimer, view);
        return search.run(r);
    }
    QString journalPath() const { return dir.filePath(JournalFileName(fiscal)); }

    // What the journal file must hold for documents first..last, in order:
    // the device's lines byte for byte, but 0xFF shown as "." and the control
    // bytes other than the two graphic marks as blanks, then CR LF.
    QByteArray expectedJournal(quint32 first, quint32 last) const
    {
        QByteArray out;
        for (quint32 d = first; d <= last; ++d) {
            for (QByteArray line : usb->journal().document(d).lines) {
                for (char &c : line) {
                    const quint8 b = quint8(c);
                    if (b == 0xFF)
                        c = '.';
                    else if (b < 0x20 && b != 0x12 && b != 0x13)
                        c = ' ';
                }
                out += line + "\r\n";
            }
        }
        return out;
    }
    qint64 lineCount(quint32 first, quint32 last) const
    {
        qint64 n = 0;
        for (quint32 d = first; d <= last; ++d)
            n += qint64(usb->journal().document(d).lines.size());
        return n;
    }
};
