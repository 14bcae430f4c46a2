#include "RequestList.h"

#include <algorithm>
#include <stdexcept>

void RequestList::clear()
{
    m_segments.clear();
    m_size = 0;
}

void RequestList::append(const TCmd &cmd)
{
    m_segments.push_back(Segment{m_size, 1, cmd});
    ++m_size;
}

void RequestList::appendDocumentRange(quint8 cmd, qint64 first, qint64 last)
{
    if (last < first)
        return;
    TCmd proto;
    proto.Cmd = cmd;
    proto.DocNum = qint32(first);
    const qint64 count = last - first + 1;
    m_segments.push_back(Segment{m_size, count, proto});
    m_size += count;
}

TCmd RequestList::at(qint64 index) const
{
    const auto it = std::upper_bound(m_segments.begin(), m_segments.end(), index,
                                     [](qint64 i, const Segment &s) { return i < s.start; });
    if (it == m_segments.begin() || index >= m_size || index < 0)
        throw std::out_of_range("request list index");
    const Segment &s = *std::prev(it);
    TCmd cmd = s.first;
    cmd.DocNum = qint32(qint64(s.first.DocNum) + (index - s.start));
    return cmd;
}

void RequestList::releaseBefore(qint64 index)
{
    while (!m_segments.empty() && m_segments.front().start + m_segments.front().count <= index)
        m_segments.pop_front();
}
