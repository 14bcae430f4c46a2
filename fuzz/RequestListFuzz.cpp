// A search fed arbitrary answer frames by a link that reads them from the
// fuzzer's bytes: it must end, and write only whole lines it was sent.
#include "FuzzSupport.h"
#include "journal/LineDecoding.h"
#include "protocol/RequestListExchange.h"
#include "protocol/UserPort.h"

#include <algorithm>

namespace {

class FuzzedLink final : public SIUSBXP
{
public:
    FuzzedLink(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    SI_STATUS SI_GetNumDevices(quint32 *n) override
    {
        *n = 1;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(quint32, char *s, quint8) override
    {
        std::strcpy(s, "e_journal_v01");
        return SI_SUCCESS;
    }
    SI_STATUS SI_Open(quint32, SI_HANDLE *h) override
    {
        *h = 1;
        return SI_SUCCESS;
    }
    SI_STATUS SI_Close(SI_HANDLE) override { return SI_SUCCESS; }
    SI_STATUS SI_SetTimeouts(quint32, quint32) override { return SI_SUCCESS; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, quint8, quint8) override { return SI_SUCCESS; }
    SI_STATUS SI_Write(SI_HANDLE, const void *, quint32 n, quint32 *w) override
    {
        *w = n;
        return SI_SUCCESS;
    }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, quint32 *n, quint32 *s) override
    {
        *s = 0;
        *n = quint32(m_size - m_at);
        return SI_SUCCESS;
    }
    SI_STATUS SI_Read(SI_HANDLE, void *b, quint32 n, quint32 *got) override
    {
        const size_t take = std::min<size_t>(n, m_size - m_at);
        std::memcpy(b, m_data + m_at, take);
        m_at += take;
        *got = quint32(take);
        return take == n ? SI_SUCCESS : SI_READ_TIMED_OUT;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

class CountingSink final : public JournalLineSink
{
public:
    void documentLines(const data_124 &answer) override
    {
        for (const QByteArray &line : SplitJournalRecord(answer, 18))
            FUZZ_CHECK(line.size() == 18);
        lines += SplitJournalRecord(answer, 18).size();
    }
    qsizetype lines = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedLink link(data, size);
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    UserPort port; // nobody watches
    FindConnectDevice(link, state.DevHandle, port.messages, port.status);
    // As after start-up: the journal has said which it is. A reconnection
    // on the way makes the search ask again and compare.
    state.identityConfirmed = true;
    RequestListState search;
    TCmd range;
    range.Cmd = CmdJournalRange;
    search.CmdList.append(range);
    search.CmdList.appendDocumentRange(CmdDocumentInfo, 0, 2);
    JournalSettings settings;
    CountingSink sink;
    RequestListExchange exchange(ExchangeContext{link, state, commands, records, port}, search, settings, sink,
                                 records.Data132.fisc_ser_num);
    exchange.Run();
    // Every frame a line answer can carry holds at most 13 lines.
    FUZZ_CHECK(sink.lines <= qsizetype(size / AnswerFrameSize + 1) * 13);
    FUZZ_CHECK(!state.AwaitingAnswer);
    return 0;
}
