#pragma once

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

class Stopwatch
{
public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}
    double seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

#include "JournalFile.h"
#include "JournalGenerator.h"

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
    journal.lineCount = writer.lineCount();
    return journal;
}
