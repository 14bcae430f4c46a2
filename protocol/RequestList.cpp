#include "RequestList.h"

#include <stdexcept>

void RequestList::clear()
{
    m_segments.clear();
    m_base = 0;
    m_size = 0;
}

void RequestList::append(const TCmd &cmd)
{
    m_segments.push_back(Segment{1, cmd, 0, Segment::Kind::Single});
    ++m_size;
}

void RequestList::appendDocumentPlan(qint32 docNum, int rows, int perRequest, bool withService)
{
    perRequest = qMax(1, perRequest);
    const qint64 lineRequests = (qint64(rows) + perRequest - 1) / perRequest;
    const qint64 count = lineRequests + (withService ? 1 : 0);
    if (count == 0)
        return;
    TCmd proto;
    proto.DocNum = docNum;
    proto.LineCount = quint8(perRequest);
    m_segments.push_back(Segment{count, proto, quint16(rows), Segment::Kind::DocumentPlan});
    m_size += count;
}

void RequestList::appendDocumentRange(quint8 cmd, qint64 first, qint64 last)
{
    if (last < first)
        return;
    TCmd proto;
    proto.Cmd = cmd;
    proto.DocNum = qint32(first);
    const qint64 count = last - first + 1;
    m_segments.push_back(Segment{count, proto, 0, Segment::Kind::DocumentRange});
    m_size += count;
}

TCmd RequestList::at(qint64 index) const
{
    if (index < m_base || index >= m_size)
        throw std::out_of_range("request list index");
    qint64 k = index - m_base;
    auto it = m_segments.begin();
    while (k >= it->count) {
        k -= it->count;
        ++it;
    }
    const Segment &s = *it;
    TCmd cmd = s.first;
    switch (s.kind) {
    case Segment::Kind::Single:
        break;
    case Segment::Kind::DocumentRange:
        cmd.DocNum = qint32(qint64(s.first.DocNum) + k);
        break;
    case Segment::Kind::DocumentPlan: {
        const int perRequest = s.first.LineCount;
        const qint64 lineRequests = (qint64(s.rows) + perRequest - 1) / perRequest;
        if (k < lineRequests) {
            const int start = int(k) * perRequest;
            cmd.Cmd = CmdDocumentLines;
            cmd.NumLine = quint16(start);
            cmd.LineCount = quint8(qMin(perRequest, int(s.rows) - start));
        } else {
            cmd = TCmd{};
            cmd.Cmd = CmdServiceLines;
            cmd.DocNum = s.first.DocNum;
        }
        break;
    }
    }
    return cmd;
}

void RequestList::releaseBefore(qint64 index)
{
    while (!m_segments.empty() && m_base + m_segments.front().count <= index) {
        m_base += m_segments.front().count;
        m_segments.pop_front();
    }
}
