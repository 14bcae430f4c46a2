// The headless reader's --json output: how fast the documents of a read go
// out as JSON Lines, and what the document index costs. Reads DOCUMENTS
// (default 20,000) from the simulated journal first, then times the output
// alone, written to /dev/null.
//
// Usage: bench_json [DOCUMENTS]

#include "BenchSupport.h"
#include "DeviceLink.h"
#include "ExchangeEngine.h"
#include "IdentityDisplay.h"
#include "JournalSearch.h"
#include "JsonLines.h"
#include "SimulatedUsb.h"
#include "UserPort.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const quint32 documents = argc > 1 ? quint32(std::strtoul(argv[1], nullptr, 10)) : 20000;
    SimulatorOptions options;
    options.documents = documents;
    options.recordRequests = false;
    SimulatedUsb sim(options);
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    NullUserPort port;
    ManualTickTimer timer;
    FindConnectDevice(sim, state.DevHandle, port);
    ExchangeEngine engine(sim, state, commands, records, port, timer);
    get_info_initial(commands);
    engine.ReadTimerTimer();

    QTemporaryDir dir;
    JournalSettings settings;
    RequestListState requests;
    SearchState searchState;
    SearchView view;
    SearchRequest request;
    request.mode = SearchRequest::Mode::All;
    request.askBeforeLargeAll = false;
    request.directory = dir.path();
    request.fiscalMemory = FiscalMemoryText(records.Data132);
    JournalSearch search(ExchangeContext{sim, state, commands, records, port}, requests, searchState, settings, timer,
                         view);
    if (search.run(request) != JournalSearch::Outcome::Completed) {
        std::fprintf(stderr, "the read failed\n");
        return 1;
    }

    std::FILE *null = std::fopen("/dev/null", "w");
    const Stopwatch w;
    const qint64 lines = WriteJsonLines(null, searchState.journal, searchState.documents, requests.StrList,
                                        settings.LineWidth, {QStringLiteral("summary"), QStringLiteral("completed")});
    const double seconds = w.seconds();
    std::fclose(null);
    const std::size_t entries = searchState.documents.entries().size();
    std::printf("--json of %zu documents, %lld lines: %.3f s, %.0f lines/s\n", entries, static_cast<long long>(lines),
                seconds, double(lines) / seconds);
    std::printf("  document index: %zu bytes a document (%zu in all, capacity included)\n", sizeof(DocumentEntry),
                searchState.documents.entries().capacity() * sizeof(DocumentEntry));
    std::printf("  peak resident memory %.1f MB\n", PeakRssMb());
    return 0;
}
