// Reads every document of a simulated journal, as "ejournal-read --all"
// does, and splits the time between the host (engine, request list, journal
// file) and the simulated device behind the link.
//
// Usage: bench_reading DOCUMENTS

#include "BenchReader.h"
#include "BenchSupport.h"
#include "journal/JournalSearch.h"
#include "simulator/SimulatedUsb.h"
#include "protocol/UserPort.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

// Times every call into the device, so the host's share can be told apart.
class TimedLink final : public SIUSBXP
{
public:
    explicit TimedLink(SIUSBXP &inner) : m_inner(inner) {}
    double deviceSeconds = 0;

    SI_STATUS SI_GetNumDevices(quint32 *n) override
    {
        return time([&] { return m_inner.SI_GetNumDevices(n); });
    }
    SI_STATUS SI_GetProductString(quint32 i, char *s, quint8 f) override
    {
        return time([&] { return m_inner.SI_GetProductString(i, s, f); });
    }
    SI_STATUS SI_Open(quint32 i, SI_HANDLE *h) override
    {
        return time([&] { return m_inner.SI_Open(i, h); });
    }
    SI_STATUS SI_Close(SI_HANDLE h) override
    {
        return time([&] { return m_inner.SI_Close(h); });
    }
    SI_STATUS SI_Read(SI_HANDLE h, void *b, quint32 n, quint32 *g) override
    {
        return time([&] { return m_inner.SI_Read(h, b, n, g); });
    }
    SI_STATUS SI_Write(SI_HANDLE h, const void *b, quint32 n, quint32 *w) override
    {
        return time([&] { return m_inner.SI_Write(h, b, n, w); });
    }
    SI_STATUS SI_FlushBuffers(SI_HANDLE h, quint8 t, quint8 r) override
    {
        return time([&] { return m_inner.SI_FlushBuffers(h, t, r); });
    }
    SI_STATUS SI_SetTimeouts(quint32 r, quint32 w) override
    {
        return time([&] { return m_inner.SI_SetTimeouts(r, w); });
    }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE h, quint32 *n, quint32 *s) override
    {
        return time([&] { return m_inner.SI_CheckRXQueue(h, n, s); });
    }

private:
    template <typename F>
    SI_STATUS time(F call)
    {
        const Stopwatch w;
        const SI_STATUS s = call();
        deviceSeconds += w.seconds();
        return s;
    }
    SIUSBXP &m_inner;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const quint32 documents = argc > 1 ? quint32(std::strtoul(argv[1], nullptr, 10)) : 2000;

    SimulatorOptions options;
    options.documents = documents;
    options.recordRequests = false;
    SimulatedUsb sim(options);
    TimedLink link(sim);

    BenchReader read(link);
    if (!read.identified()) {
        std::fprintf(stderr, "no identity\n");
        return 1;
    }

    const quint64 before = sim.requestCount();
    link.deviceSeconds = 0;
    const Stopwatch total;
    const auto outcome = read.readAll();
    const double seconds = total.seconds();
    const double exchanges = double(sim.requestCount() - before);
    const double host = seconds - link.deviceSeconds;

    std::printf("documents %u: %s, %.0f exchanges, %lld lines\n", documents,
                outcome == JournalSearch::Outcome::Completed ? "completed" : "FAILED", exchanges,
                static_cast<long long>(read.searchState.journal.JournalLineCount));
    std::printf("  wall %.3f s (device %.3f s, host %.3f s)\n", seconds, link.deviceSeconds, host);
    std::printf("  %.0f exchanges/s, host %.2f us/exchange, %.0f lines/s\n", exchanges / seconds,
                host / exchanges * 1e6, double(read.searchState.journal.JournalLineCount) / seconds);
    std::printf("  peak resident memory %.1f MB\n", PeakRssMb());
    return outcome == JournalSearch::Outcome::Completed ? 0 : 1;
}
