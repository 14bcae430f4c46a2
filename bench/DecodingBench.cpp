// Decodes a journal file of 1,000,000 lines into the decoded file.
//
// Usage: bench_decoding [LINES]

#include "BenchSupport.h"
#include "JournalFile.h"
#include "JournalGenerator.h"

#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char *argv[])
{
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1'000'000;
    QTemporaryDir dir;
    JournalFileInfo journal{dir.filePath(QStringLiteral("Original_B.txt")), 18, 0, true};
    {
        // Real journal content, documents one after another.
        const JournalGenerator generator(3, DeviceType::CashRegister);
        JournalFileWriter writer(journal.path, 18);
        for (quint32 d = 0; writer.lineCount() < lines; ++d) {
            for (const QByteArray &line : generator.document(d).lines) {
                if (writer.lineCount() == lines)
                    break;
                writer.writeLine(line);
            }
        }
        writer.close();
        journal.lineCount = writer.lineCount();
    }
    const double rssBefore = PeakRssMb();
    const Stopwatch w;
    WriteDecodedFile(journal, dir.filePath(QStringLiteral("Bosnian_B.txt")), 18);
    const double seconds = w.seconds();
    std::printf("decoded %lld lines in %.3f s: %.0f lines/s\n", static_cast<long long>(lines), seconds,
                double(lines) / seconds);
    std::printf("  peak resident memory %.1f MB before, %.1f MB after\n", rssBefore, PeakRssMb());
    return 0;
}
