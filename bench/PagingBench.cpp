// Reads the result window at the start and at the end of a 1,000,000-line
// journal file, as the scroll bar does.
//
// Usage: bench_paging [LINES]

#include "BenchSupport.h"
#include "journal/JournalFile.h"
#include "journal/ResultWindow.h"

#include <QTemporaryDir>

#include <cstdlib>

namespace {

double windowMs(const JournalFileInfo &journal, qint64 position)
{
    constexpr int Rounds = 200;
    qsizetype sink = 0;
    const Stopwatch w;
    for (int i = 0; i < Rounds; ++i)
        sink += LoadJournalWindow(journal, position).decoded.size();
    const double ms = w.seconds() * 1000.0 / Rounds;
    if (sink != qsizetype(Rounds) * JournalWindowLines)
        std::printf("  unexpected window size\n");
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1'000'000;
    QTemporaryDir dir;
    JournalFileInfo journal{dir.filePath(QStringLiteral("Original_P.txt")), 18, lines, true};
    {
        JournalFileWriter writer(journal.path, 18);
        for (qint64 i = 0; i < lines; ++i)
            writer.writeLine(QByteArray::number(i).rightJustified(18, ' '));
    }
    const double first = windowMs(journal, 0);
    const double last = windowMs(journal, lines - 1);
    std::printf("window of %d lines in a %lld-line file: at 0 %.3f ms, at the end %.3f ms (%.2fx)\n",
                JournalWindowLines, static_cast<long long>(lines), first, last, last / first);
    return 0;
}
