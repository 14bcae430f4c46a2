#include "SimulatedJournal.h"

#include "protocol/Codecs.h"
#include "protocol/WireOrder.h"

#include <QTime>

using namespace Codecs;

SimulatedJournal::SimulatedJournal(quint64 seed, DeviceType type, quint32 documents)
    : m_generator(seed, type)
    , m_configuredDocuments(documents)
    , m_documents(documents)
{
    // Initialised a few days before the first document.
    const QDate init = m_generator.firstDay().addDays(-3);
    m_identity.initDate = EncodeDateVuze(init);
    m_identity.initTime = EncodeTimeVuze(QTime(9, 5));
    m_identity.fiscalMemory = {quint8('A' + seed % 26), quint8('A' + (seed / 26) % 26), 0, 0, 0};
    // Numbers that look issued rather than counted.
    const quint64 serial = (seed * 613457u + 120583u) % 1000000u;
    const QByteArray bcd = NumStringToBCD(QStringLiteral("%1").arg(serial, 6, 10, QLatin1Char('0')));
    std::copy(bcd.begin(), bcd.end(), m_identity.fiscalMemory.begin() + 2);
    const QByteArray client = QStringLiteral("BA%1")
                                  .arg((seed * 48271u + 4200000000ull) % 100000000000ull, 11, 10, QLatin1Char('0'))
                                  .toLatin1();
    std::copy_n(client.constData(), 13, m_identity.clientNumber.begin());
}

AnswerFrame SimulatedJournal::successFrame(quint8 command, const QByteArray &payload)
{
    AnswerFrame f{};
    WriteBE<quint16>(f.data(), AnswerFrameSize);
    f[2] = AnswerStatusSuccess;
    f[3] = command;
    const int n = qMin<int>(int(payload.size()), AnswerPayloadCapacity);
    f[4] = quint8(n);
    std::copy_n(payload.constData(), n, f.begin() + AnswerHeaderSize);
    return f;
}

AnswerFrame SimulatedJournal::errorFrame(quint8 command, quint8 code)
{
    AnswerFrame f{};
    WriteBE<quint16>(f.data(), AnswerFrameSize);
    f[2] = ErrorStatus;
    f[3] = command;
    f[4] = 2;
    f[6] = code;
    return f;
}

const SimDocument &SimulatedJournal::document(quint32 i) const
{
    if (!m_cached || m_cached->number != i)
        m_cached = m_generator.document(i);
    return *m_cached;
}

quint32 SimulatedJournal::usedMemory() const
{
    // A fair estimate: the typical receipt is about 26 lines.
    return qMin<quint64>(quint64(m_documents) * 26u * quint64(m_generator.lineWidth()), MemoryCapacity);
}

std::optional<SimulatedJournal::Reply> SimulatedJournal::handle(const QByteArray &request)
{
    if (request.size() < RequestHeaderSize)
        return std::nullopt;
    const auto *r = reinterpret_cast<const quint8 *>(request.constData());
    const int n = r[4];
    if (r[0] != request.size() || RequestHeaderSize + n != request.size())
        return std::nullopt;
    const quint8 *p = r + RequestHeaderSize;

    switch (r[3]) {
    case CmdJournalRange:
        if (n < 8)
            return std::nullopt;
        return journalRange(p);
    case CmdDocumentInfo:
        if (n < 4)
            return std::nullopt;
        return documentInfo(ReadBE<quint32>(p));
    case CmdDocumentLines:
        if (n < 7)
            return std::nullopt;
        return documentLines(ReadBE<quint32>(p), ReadBE<quint16>(p + 4), p[6]);
    case CmdServiceLines:
        if (n < 4)
            return std::nullopt;
        return serviceLines(ReadBE<quint32>(p));
    case CmdInitialise:
        return initialise(p, n);
    case CmdIdentity:
        return identityAnswer();
    case CmdErase: {
        m_documents = 0;
        m_cached.reset();
        m_identity = Identity{};
        m_identity.fiscalMemory.fill(0xFF);
        m_identity.clientNumber.fill(0xFF);
        return Reply{successFrame(CmdErase, {}), m_eraseTimeUs};
    }
    case CmdGenerate:
        m_documents = m_configuredDocuments;
        m_cached.reset();
        return Reply{successFrame(CmdGenerate, {}), 0};
    default:
        return std::nullopt;
    }
}

SimulatedJournal::Reply SimulatedJournal::journalRange(const quint8 *p)
{
    const quint32 from = ReadBE<quint32>(p);
    const quint32 to = ReadBE<quint32>(p + 4);
    auto key = [this](quint32 i) { return quint32(m_generator.dateWord(i)) << 16 | m_generator.timeWord(i); };

    // Documents are stored in time order: both ends by binary search.
    auto firstNotBefore = [&](quint32 k, bool strict) {
        quint32 lo = 0, hi = m_documents;
        while (lo < hi) {
            const quint32 mid = lo + (hi - lo) / 2;
            if (strict ? key(mid) <= k : key(mid) < k)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const quint32 first = firstNotBefore(from, false);
    const quint32 end = from <= to ? firstNotBefore(to, true) : first;
    // An empty range answers a last document below the first.
    const quint32 last = end > first ? end - 1 : first - 1;

    quint32 rows = 0;
    for (quint32 i = first; end > first && i < end; ++i)
        rows += quint32(m_generator.document(i).lines.size());

    QByteArray payload;
    payload.append(reinterpret_cast<const char *>(p), 8);
    AppendBE<quint32>(payload, first);
    AppendBE<quint32>(payload, last);
    AppendBE<quint32>(payload, rows);
    return {successFrame(CmdJournalRange, payload), 0};
}

SimulatedJournal::Reply SimulatedJournal::documentInfo(quint32 number)
{
    if (number >= m_documents)
        return {errorFrame(CmdDocumentInfo, 3), 0};
    const SimDocument &d = document(number);
    QByteArray payload;
    AppendBE<quint32>(payload, d.number);
    AppendBE<quint16>(payload, d.dateWord);
    AppendBE<quint16>(payload, d.timeWord);
    AppendBE<quint16>(payload, quint16(d.lines.size()));
    // The service text goes out in lines of the device's width.
    const int width = m_generator.lineWidth();
    payload.append(char(d.serviceText.isEmpty() ? 0 : (d.serviceText.size() + width - 1) / width));
    payload.append(char(d.type));
    return {successFrame(CmdDocumentInfo, payload), 0};
}

SimulatedJournal::Reply SimulatedJournal::documentLines(quint32 number, quint16 first, quint8 count)
{
    if (number >= m_documents)
        return {errorFrame(CmdDocumentLines, 3), 0};
    const SimDocument &d = document(number);
    const int width = m_generator.lineWidth();
    const int fits = (AnswerPayloadCapacity - data_124::HeaderSize) / width;
    const int available = qMax(0, int(d.lines.size()) - int(first));
    const int rows = qMin(qMin(int(count), available), fits);

    QByteArray payload;
    AppendBE<quint32>(payload, d.number);
    AppendBE<quint16>(payload, first);
    payload.append(char(rows));
    for (int k = 0; k < rows; ++k)
        payload.append(d.lines[std::size_t(first) + std::size_t(k)]);
    return {successFrame(CmdDocumentLines, payload), 0};
}

SimulatedJournal::Reply SimulatedJournal::serviceLines(quint32 number)
{
    if (number >= m_documents)
        return {errorFrame(CmdServiceLines, 3), 0};
    const SimDocument &d = document(number);
    QByteArray payload;
    AppendBE<quint32>(payload, d.number);
    payload.append(d.serviceText.left(AnswerPayloadCapacity - 4));
    return {successFrame(CmdServiceLines, payload), 0};
}

SimulatedJournal::Reply SimulatedJournal::identityAnswer() const
{
    QByteArray payload;
    AppendBE<quint16>(payload, m_identity.initDate);
    AppendBE<quint16>(payload, m_identity.initTime);
    payload.append(reinterpret_cast<const char *>(m_identity.fiscalMemory.data()), 5);
    payload.append(reinterpret_cast<const char *>(m_identity.clientNumber.data()), 13);
    AppendBE<quint32>(payload, m_documents);
    AppendBE<quint32>(payload, MemoryCapacity - usedMemory());
    return {successFrame(CmdIdentity, payload), 0};
}

SimulatedJournal::Reply SimulatedJournal::initialise(const quint8 *p, int n)
{
    // Layout of the request: date, time, two characters and the BCD digits of
    // the fiscal memory number (five bytes in all), then the client number.
    if (n < 9)
        return {errorFrame(CmdInitialise, 4), 0};
    Identity id;
    id.initDate = ReadBE<quint16>(p);
    id.initTime = ReadBE<quint16>(p + 2);
    std::copy_n(p + 4, 5, id.fiscalMemory.begin());
    const int clientBytes = qMin(n - 9, 13);
    std::copy_n(p + 9, clientBytes, id.clientNumber.begin());
    m_identity = id;
    return {successFrame(CmdInitialise, {}), 0};
}
