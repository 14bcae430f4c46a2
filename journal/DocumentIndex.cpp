#include "DocumentIndex.h"

#include "Codecs.h"

void DocumentIndex::clear()
{
    m_entries.clear();
    m_cursor = 0;
}

void DocumentIndex::header(const data_123 &answer)
{
    DocumentEntry e;
    e.number = answer.doc_num;
    e.dateWord = Codecs::SwpEndianW(answer.date);
    e.timeWord = Codecs::SwpEndianW(answer.time);
    e.type = answer.doc_type;
    m_entries.push_back(e);
}

DocumentEntry &DocumentIndex::entry(quint32 number)
{
    for (std::size_t i = m_cursor; i < m_entries.size(); ++i) {
        if (m_entries[i].number == number) {
            m_cursor = i;
            return m_entries[i];
        }
    }
    for (std::size_t i = 0; i < m_cursor; ++i) {
        if (m_entries[i].number == number) {
            m_cursor = i;
            return m_entries[i];
        }
    }
    // Lines of a document no header announced: it still gets its record.
    DocumentEntry e;
    e.number = number;
    m_entries.push_back(e);
    m_cursor = m_entries.size() - 1;
    return m_entries.back();
}

void DocumentIndex::lines(quint32 number, qint64 firstLine, quint32 count)
{
    if (count == 0)
        return;
    DocumentEntry &e = entry(number);
    if (e.firstLine < 0)
        e.firstLine = firstLine;
    e.lineCount += count;
}

void DocumentIndex::serviceLines(quint32 number, qint32 first, quint16 count)
{
    DocumentEntry &e = entry(number);
    if (e.firstService < 0)
        e.firstService = first;
    e.serviceCount = quint16(e.serviceCount + count);
}
