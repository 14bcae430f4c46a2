#include "DocumentIndex.h"

#include <QCoreApplication>

#include "protocol/Codecs.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

using namespace DocumentIndexFormat;

void Encode(const DocumentEntry &e, uchar *out)
{
    std::memset(out, 0, RecordSize);
    qToLittleEndian<qint64>(e.firstLine, out);
    qToLittleEndian<quint32>(e.number, out + 8);
    qToLittleEndian<quint32>(e.lineCount, out + 12);
    qToLittleEndian<qint32>(e.firstService, out + 16);
    qToLittleEndian<quint16>(e.dateWord, out + 20);
    qToLittleEndian<quint16>(e.timeWord, out + 22);
    qToLittleEndian<quint16>(e.serviceCount, out + 24);
    out[26] = e.type;
}

DocumentEntry Decode(const uchar *in)
{
    DocumentEntry e;
    e.firstLine = qFromLittleEndian<qint64>(in);
    e.number = qFromLittleEndian<quint32>(in + 8);
    e.lineCount = qFromLittleEndian<quint32>(in + 12);
    e.firstService = qFromLittleEndian<qint32>(in + 16);
    e.dateWord = qFromLittleEndian<quint16>(in + 20);
    e.timeWord = qFromLittleEndian<quint16>(in + 22);
    e.serviceCount = qFromLittleEndian<quint16>(in + 24);
    e.type = in[26];
    return e;
}

QByteArray Head(qint64 records, qint64 journalLines)
{
    QByteArray head(HeadSize, '\0');
    auto *p = reinterpret_cast<uchar *>(head.data());
    std::memcpy(p, Magic, sizeof Magic);
    qToLittleEndian<quint32>(RecordSize, p + 8);
    qToLittleEndian<qint64>(records, p + 16);
    qToLittleEndian<qint64>(journalLines, p + 24);
    return head;
}

} // namespace

// ---- Writing -------------------------------------------------------------------------

DocumentIndexWriter::~DocumentIndexWriter()
{
    if (m_file.isOpen())
        m_file.close();
}

bool DocumentIndexWriter::create(const QString &path)
{
    m_file.setFileName(path);
    m_count = m_cursor = m_pageFirst = 0;
    m_pageDirty = false;
    m_page.fill(DocumentEntry{});
    m_error.clear();
    // Until finish() writes the real head, the file says it is incomplete:
    // a program that stops half way leaves no index a reader would trust.
    m_open = m_file.open(QIODevice::ReadWrite | QIODevice::Truncate) && m_file.write(Head(-1, -1)) == HeadSize;
    if (!m_open)
        fail(m_file.errorString());
    return m_open;
}

void DocumentIndexWriter::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QCoreApplication::translate("ejournal", "The document index %1 could not be written: %2")
                      .arg(m_file.fileName(), reason);
    m_open = false;
}

void DocumentIndexWriter::writePage()
{
    if (!m_pageDirty)
        return;
    m_pageDirty = false;
    if (!m_open)
        return;
    const qint64 records = qMin<qint64>(PageRecords, m_count - m_pageFirst);
    QByteArray bytes(records * RecordSize, '\0');
    for (qint64 i = 0; i < records; ++i)
        Encode(m_page[std::size_t(i)], reinterpret_cast<uchar *>(bytes.data()) + i * RecordSize);
    if (!m_file.seek(HeadSize + m_pageFirst * RecordSize) || m_file.write(bytes) != bytes.size())
        fail(m_file.errorString());
}

DocumentEntry &DocumentIndexWriter::record(qint64 index)
{
    const qint64 first = index - index % PageRecords;
    if (first != m_pageFirst) {
        writePage();
        m_pageFirst = first;
        m_page.fill(DocumentEntry{});
        const qint64 stored = qMin<qint64>(PageRecords, m_count - first);
        if (stored > 0 && m_open) {
            QByteArray bytes(stored * RecordSize, '\0');
            if (!m_file.seek(HeadSize + first * RecordSize) || m_file.read(bytes.data(), bytes.size()) != bytes.size())
                fail(m_file.errorString());
            else
                for (qint64 i = 0; i < stored; ++i)
                    m_page[std::size_t(i)] =
                        Decode(reinterpret_cast<const uchar *>(bytes.constData()) + i * RecordSize);
        }
    }
    return m_page[std::size_t(index - first)];
}

DocumentEntry &DocumentIndexWriter::append()
{
    // The new record's page is loaded before the count counts it, so the
    // load never reads past the end of the file.
    DocumentEntry &e = record(m_count);
    ++m_count;
    e = DocumentEntry{};
    m_pageDirty = true;
    return e;
}

void DocumentIndexWriter::header(const data_123 &answer)
{
    DocumentEntry &e = append();
    e.number = answer.doc_num;
    e.dateWord = Codecs::SwpEndianW(answer.date);
    e.timeWord = Codecs::SwpEndianW(answer.time);
    e.type = answer.doc_type;
}

DocumentEntry &DocumentIndexWriter::entry(quint32 number)
{
    for (qint64 i = m_cursor; i < m_count; ++i) {
        if (record(i).number == number) {
            m_cursor = i;
            return record(i);
        }
    }
    for (qint64 i = 0; i < m_cursor; ++i) {
        if (record(i).number == number) {
            m_cursor = i;
            return record(i);
        }
    }
    // Lines of a document no header announced: it still gets its record.
    DocumentEntry &e = append();
    e.number = number;
    m_cursor = m_count - 1;
    return e;
}

void DocumentIndexWriter::lines(quint32 number, qint64 firstLine, quint32 count)
{
    if (count == 0)
        return;
    DocumentEntry &e = entry(number);
    if (e.lineCount == 0)
        e.firstLine = firstLine;
    e.lineCount += count;
    m_pageDirty = true;
}

void DocumentIndexWriter::serviceLines(quint32 number, qint32 first, quint16 count)
{
    DocumentEntry &e = entry(number);
    if (e.firstService < 0)
        e.firstService = first;
    e.serviceCount = quint16(qMin(0xFFFF, e.serviceCount + count));
    m_pageDirty = true;
}

bool DocumentIndexWriter::finish(qint64 journalLines)
{
    // A document without lines stands where its lines would have been, so
    // the records' first lines never go down and a reader can bisect them.
    qint64 next = 0;
    for (qint64 i = 0; i < m_count && m_open; ++i) {
        DocumentEntry &e = record(i);
        // A file cut back to its last whole line (a full disk) no longer
        // holds every line announced: the index says what the file holds.
        if (e.lineCount > 0 && e.firstLine + e.lineCount > journalLines) {
            e.lineCount = quint32(qMax<qint64>(0, journalLines - e.firstLine));
            m_pageDirty = true;
        }
        if (e.lineCount == 0) {
            if (e.firstLine != next) {
                e.firstLine = next;
                m_pageDirty = true;
            }
        } else {
            next = qMax(next, e.firstLine + e.lineCount);
        }
    }
    writePage();
    if (m_open && (!m_file.seek(0) || m_file.write(Head(m_count, journalLines)) != HeadSize))
        fail(m_file.errorString());
    if (m_file.isOpen()) {
        if (!m_file.flush())
            fail(m_file.errorString());
        m_file.close();
        if (m_file.error() != QFileDevice::NoError)
            fail(m_file.errorString());
    }
    const bool complete = m_error.isEmpty();
    m_open = false;
    return complete;
}

// ---- Reading -------------------------------------------------------------------------

DocumentIndex::~DocumentIndex()
{
    close();
}

void DocumentIndex::close()
{
    if (m_data)
        m_file.unmap(const_cast<uchar *>(m_data - HeadSize));
    m_data = nullptr;
    m_count = 0;
    if (m_file.isOpen())
        m_file.close();
}

bool DocumentIndex::open(const QString &path, qint64 journalLines)
{
    close();
    m_error.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_error = m_file.errorString();
        return false;
    }
    const qint64 size = m_file.size();
    const uchar *map = size >= HeadSize ? m_file.map(0, size) : nullptr;
    if (!map) {
        m_error = QCoreApplication::translate("ejournal", "not a document index");
        m_file.close();
        return false;
    }
    const qint64 records = qFromLittleEndian<qint64>(map + 16);
    const bool valid = std::memcmp(map, Magic, sizeof Magic) == 0
                       && qFromLittleEndian<quint32>(map + 8) == quint32(RecordSize) && records >= 0
                       && size == HeadSize + records * RecordSize
                       && qFromLittleEndian<qint64>(map + 24) == journalLines;
    if (!valid) {
        m_error = QCoreApplication::translate("ejournal", "the document index does not belong to this journal file");
        m_file.unmap(const_cast<uchar *>(map));
        m_file.close();
        return false;
    }
    m_data = map + HeadSize;
    m_count = records;
    return true;
}

DocumentEntry DocumentIndex::at(qint64 index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    return Decode(m_data + index * RecordSize);
}

qint64 DocumentIndex::documentAtLine(qint64 line) const
{
    if (line < 0)
        return -1;
    // The last record that starts at or before the line; records without
    // lines start where the next lines do, so it is the one that has lines.
    qint64 low = 0, high = m_count; // first record starting after line in [low, high]
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        if (qFromLittleEndian<qint64>(m_data + mid * RecordSize) <= line)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0)
        return -1;
    const DocumentEntry e = at(low - 1);
    return line < e.firstLine + e.lineCount ? low - 1 : -1;
}

qint64 DocumentIndex::findNumber(quint32 number) const
{
    // A scan, not a bisection: numbers come in the device's order, which
    // a search by dates need not keep ascending.
    for (qint64 i = 0; i < m_count; ++i) {
        if (qFromLittleEndian<quint32>(m_data + i * RecordSize + 8) == number)
            return i;
    }
    return -1;
}
