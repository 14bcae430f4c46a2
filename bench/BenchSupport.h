#pragma once

#include <QElapsedTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

// Peak resident memory of this process so far, in MB.
inline double PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Seconds since it was made.
class Stopwatch
{
public:
    Stopwatch() { m_timer.start(); }
    double seconds() const { return double(m_timer.nsecsElapsed()) / 1e9; }

private:
    QElapsedTimer m_timer;
};

#include "journal/JournalFile.h"
#include "simulator/JournalGenerator.h"

// A journal file of lines lines of generated journal content, as a search
// leaves it.
inline JournalFileInfo WriteGeneratedJournal(const QString &path, qint64 lines, quint64 seed)
{
    JournalFileInfo journal{path, 18, 0, true};
    const JournalGenerator generator(seed, DeviceType::CashRegister);
    JournalFileWriter writer(path, 18);
    for (quint32 d = 0; writer.lineCount() < lines; ++d) {
        for (const QByteArray &line : generator.document(d).lines) {
            if (writer.lineCount() < lines)
                writer.writeLine(line);
        }
    }
    writer.close();
    journal.JournalLineCount = writer.lineCount();
    return journal;
}
