// Finding a text in the whole result and going to a document, as the find
// bar and "Go to document" do: a find from the top of a LINES-line result
// (default 1,000,000) whose only hit is on the last line, and a go-to (the
// index's look-up and the result window read at the document's first line)
// in a result of DOCUMENTS documents (default 50,000).
//
// Usage: bench_navigation [LINES] [DOCUMENTS]

#include "BenchSupport.h"
#include "protocol/Codecs.h"
#include "journal/DocumentIndex.h"
#include "journal/JournalFind.h"
#include "simulator/JournalGenerator.h"
#include "journal/ResultWindow.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

namespace {

void findBench(const QString &folder, qint64 lines)
{
    JournalFileInfo journal = WriteGeneratedJournal(folder + QStringLiteral("/Original_F.txt"), lines - 1, 3);
    {
        // One line the generated journal never holds, at the very end.
        QFile file(journal.path);
        if (!file.open(QIODevice::Append) || file.write("NAJZADNJI RED     \r\n") != 20)
            std::printf("  could not write the last line\n");
        CloseWrittenFile(file);
        journal.JournalLineCount = lines;
    }
    const JournalFinder finder(QStringLiteral("najzadnji"), 18);
    constexpr int Rounds = 10;
    double worst = 0, sum = 0;
    JournalHit hit;
    for (int i = 0; i < Rounds; ++i) {
        const Stopwatch w;
        hit = finder.next(journal, 0, -1);
        const double ms = w.seconds() * 1000.0;
        worst = std::max(worst, ms);
        sum += ms;
    }
    std::printf("find in %lld lines, hit on the last: %.1f ms on average, %.1f ms at worst (%s)\n",
                static_cast<long long>(lines), sum / Rounds, worst,
                hit.line == lines - 1 ? "found on the last line" : "NOT FOUND WHERE IT IS");
}

void goToBench(const QString &folder, quint32 documents)
{
    const JournalGenerator generator(5, DeviceType::CashRegister);
    JournalFileInfo journal{folder + QStringLiteral("/Original_G.txt"), 18, 0, true};
    const QString indexPath = folder + QStringLiteral("/Original_G.idx");
    {
        JournalFileWriter file(journal.path, 18);
        DocumentIndexWriter index;
        index.create(indexPath);
        for (quint32 d = 0; d < documents; ++d) {
            const SimDocument doc = generator.document(d);
            data_123 h;
            h.doc_num = d;
            h.date = Codecs::SwpEndianW(doc.dateWord);
            h.time = Codecs::SwpEndianW(doc.timeWord);
            h.doc_type = doc.type;
            index.header(h);
            const qint64 first = file.lineCount();
            for (const QByteArray &line : doc.lines)
                file.writeLine(line);
            index.lines(d, first, quint32(file.lineCount() - first));
        }
        file.close();
        journal.JournalLineCount = file.lineCount();
        if (!index.finish(journal.JournalLineCount))
            std::printf("  the index failed: %s\n", qPrintable(index.error()));
    }
    DocumentIndex index;
    if (!index.open(indexPath, journal.JournalLineCount)) {
        std::printf("  the index does not open: %s\n", qPrintable(index.error()));
        return;
    }
    // The documents near the end are the worst case of the number's scan.
    constexpr int Rounds = 200;
    double worst = 0, sum = 0;
    qint64 shown = 0;
    for (int i = 0; i < Rounds; ++i) {
        const quint32 wanted = documents - 1 - quint32(i % 50);
        const Stopwatch w;
        const qint64 at = index.findNumber(wanted);
        const JournalWindow window = LoadJournalWindow(journal, index.at(at).firstLine);
        // What the status bar says next: the document of the window's first line.
        shown += index.documentAtLine(index.at(at).firstLine) == at ? window.decoded.size() : 0;
        const double ms = w.seconds() * 1000.0;
        worst = std::max(worst, ms);
        sum += ms;
    }
    std::printf("go to a document among %u (%lld lines): %.3f ms on average, %.3f ms at worst%s\n", documents,
                static_cast<long long>(journal.JournalLineCount), sum / Rounds, worst,
                shown > 0 ? "" : " (WRONG WINDOW)");
    std::printf("  index file %lld bytes, %.0f bytes a document\n", static_cast<long long>(QFile(indexPath).size()),
                double(QFile(indexPath).size()) / documents);
}

} // namespace

int main(int argc, char *argv[])
{
    const qint64 lines = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1'000'000;
    const quint32 documents = argc > 2 ? quint32(std::strtoul(argv[2], nullptr, 10)) : 50'000;
    QTemporaryDir dir;
    findBench(dir.path(), lines);
    goToBench(dir.path(), documents);
    return 0;
}
