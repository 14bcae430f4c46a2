// The headless reader's --json output: how fast the documents of a read go
// out as JSON Lines, and what the document index costs. Reads DOCUMENTS
// (default 20,000) from the simulated journal first, then times the output
// alone, written to /dev/null.
//
// Usage: bench_json [DOCUMENTS]

#include "BenchReader.h"
#include "BenchSupport.h"
#include "cli/JsonLines.h"
#include "simulator/SimulatedUsb.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const quint32 documents = argc > 1 ? quint32(std::strtoul(argv[1], nullptr, 10)) : 20000;
    SimulatorOptions options;
    options.documents = documents;
    options.recordRequests = false;
    SimulatedUsb sim(options);
    BenchReader read(sim);
    if (!read.identified() || read.readAll() != JournalSearch::Outcome::Completed) {
        std::fprintf(stderr, "the read failed\n");
        return 1;
    }
    const SearchState &searchState = read.searchState;

    std::FILE *null = std::fopen("/dev/null", "w");
    const Stopwatch w;
    const qint64 lines = WriteJsonLines(null, searchState.journal, searchState.documents, read.requests.StrList,
                                        {QStringLiteral("summary"), QStringLiteral("completed")});
    const double seconds = w.seconds();
    std::fclose(null);
    const long long entries = searchState.documents.size();
    std::printf("--json of %lld documents, %lld lines: %.3f s, %.0f lines/s\n", entries, static_cast<long long>(lines),
                seconds, double(lines) / seconds);
    std::printf("  document index: a file of %d bytes a document, %d bytes of head; in memory while reading: one "
                "page of %zu bytes\n",
                DocumentIndexFormat::RecordSize, DocumentIndexFormat::HeadSize, 128 * sizeof(DocumentEntry));
    std::printf("  peak resident memory %.1f MB\n", PeakRssMb());
    return 0;
}
