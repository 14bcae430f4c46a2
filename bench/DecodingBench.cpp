// Decodes a journal file of 1,000,000 lines into the decoded file.
//
// Usage: bench_decoding [LINES]

#include "BenchSupport.h"
#include "journal/JournalFile.h"
#include "simulator/JournalGenerator.h"

#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char *argv[])
{
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1'000'000;
    QTemporaryDir dir;
    const JournalFileInfo journal = WriteGeneratedJournal(dir.filePath(QStringLiteral("Original_B.txt")), lines, 3);
    const double rssBefore = PeakRssMb();
    const Stopwatch w;
    WriteDecodedFile(journal, dir.filePath(QStringLiteral("Bosnian_B.txt")));
    const double seconds = w.seconds();
    std::printf("decoded %lld lines in %.3f s: %.0f lines/s\n", static_cast<long long>(lines), seconds,
                double(lines) / seconds);
    std::printf("  peak resident memory %.1f MB before, %.1f MB after\n", rssBefore, PeakRssMb());
    return 0;
}
