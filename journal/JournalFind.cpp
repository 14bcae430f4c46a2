#include "JournalFind.h"

#include "protocol/DeviceCharset.h"
#include "JournalTexts.h"
#include "LineDecoding.h"

#include <limits>

namespace {

// Lines read at a time: a few hundred kilobytes, whatever the result's size.
constexpr qint64 BlockLines = 16384;

using JournalTexts::ClosingLine;

QChar Decoded(int b)
{
    // As the decoded pane shows it.
    return JournalTexts::DecodedChar(b);
}

bool IsMark(int b)
{
    return b == quint8(LogoMark) || b == quint8(SecondGraphicMark);
}

} // namespace

JournalFinder::JournalFinder(const QString &text, int LineWidth) : m_text(text), m_lineWidth(LineWidth)
{
    std::array<char16_t, 256> folded{};
    for (int b = 0; b < 256; ++b) {
        folded[std::size_t(b)] = Decoded(b).toCaseFolded().unicode();
        m_fold[std::size_t(b)] = char(b);
        if (IsMark(b))
            continue; // their lines are searched as text
        for (int first = 0; first < b; ++first) {
            if (!IsMark(first) && folded[std::size_t(first)] == folded[std::size_t(b)]) {
                m_fold[std::size_t(b)] = char(first);
                break;
            }
        }
    }
    for (QChar c : text) {
        const char16_t want = c.toCaseFolded().unicode();
        int byte = -1;
        for (int b = 0; b < 256 && byte < 0; ++b) {
            if (!IsMark(b) && folded[std::size_t(b)] == want)
                byte = quint8(m_fold[std::size_t(b)]);
        }
        if (byte < 0) {
            // A character no device byte decodes to: only the lines with
            // words can hold it.
            m_bytes.clear();
            return;
        }
        m_bytes += char(byte);
    }
}

bool JournalFinder::needsText(QByteArrayView raw) const
{
    return raw == ClosingLine || raw.contains(LogoMark) || raw.contains(SecondGraphicMark);
}

QByteArrayView JournalFinder::folded(QByteArrayView raw, char (&buffer)[256]) const
{
    const qsizetype n = qMin<qsizetype>(raw.size(), sizeof buffer);
    for (qsizetype i = 0; i < n; ++i)
        buffer[i] = m_fold[quint8(raw[i])];
    return QByteArrayView(buffer, n);
}

int JournalFinder::indexIn(QByteArrayView raw, int from) const
{
    if (m_text.isEmpty())
        return -1;
    from = qMax(0, from);
    if (needsText(raw))
        return int(ConvertJournalLine(raw, m_lineWidth).indexOf(m_text, from, Qt::CaseInsensitive));
    if (m_bytes.isEmpty())
        return -1;
    char buffer[256];
    return int(folded(raw, buffer).indexOf(m_bytes, from));
}

int JournalFinder::lastIndexIn(QByteArrayView raw, int before) const
{
    // lastIndexOf takes -1 for "from the end"; nothing starts before 0.
    if (m_text.isEmpty() || before <= 0)
        return -1;
    if (needsText(raw)) {
        const QString text = ConvertJournalLine(raw, m_lineWidth);
        return int(text.lastIndexOf(m_text, qMin<qsizetype>(before - 1, text.size()), Qt::CaseInsensitive));
    }
    if (m_bytes.isEmpty())
        return -1;
    char buffer[256];
    const QByteArrayView line = folded(raw, buffer);
    return int(line.lastIndexOf(m_bytes, qMin<qsizetype>(before - 1, line.size())));
}

template <typename Visit>
bool JournalFinder::scan(const JournalFileInfo &journal, qint64 first, qint64 count, bool backwards,
                         Visit &&visit) const
{
    const qint64 record = journal.recordSize();
    const qint64 end = first + count;
    for (qint64 done = 0; done < count;) {
        const qint64 size = qMin(BlockLines, count - done);
        const qint64 start = backwards ? end - done - size : first + done;
        const QByteArray block = ReadJournalBlock(journal, start, size);
        const qint64 lines = qMin(size, qint64(block.size() / record));
        for (qint64 k = 0; k < lines; ++k) {
            const qint64 i = backwards ? lines - 1 - k : k;
            if (visit(start + i, QByteArrayView(block.constData() + i * record, journal.lineWidth)))
                return true;
        }
        if (lines < size)
            return false; // the file is shorter than the result says
        done += size;
    }
    return false;
}

JournalHit JournalFinder::next(const JournalFileInfo &journal, qint64 line, int column) const
{
    return find(journal, line, column, false);
}

JournalHit JournalFinder::previous(const JournalFileInfo &journal, qint64 line, int column) const
{
    return find(journal, line, column, true);
}

JournalHit JournalFinder::find(const JournalFileInfo &journal, qint64 line, int column, bool backwards) const
{
    JournalHit hit;
    const qint64 total = journal.written ? journal.JournalLineCount : 0;
    if (m_text.isEmpty() || total == 0)
        return hit;
    constexpr int LineEnd = std::numeric_limits<int>::max();
    if (line < 0 || line >= total) {
        line = backwards ? total - 1 : 0;
        column = backwards ? LineEnd : -1;
    }
    bool wrapped = false;
    auto visit = [&](qint64 at, QByteArrayView raw) {
        const bool start = at == line && !wrapped;
        const int c = backwards ? lastIndexIn(raw, start ? column : LineEnd) : indexIn(raw, start ? column + 1 : 0);
        if (c < 0)
            return false;
        hit = JournalHit{at, c, int(m_text.size()), wrapped};
        return true;
    };
    // From the start to the end of the file in the search's direction, then
    // round from the other end up to the start again.
    const bool found =
        backwards ? scan(journal, 0, line + 1, true, visit) : scan(journal, line, total - line, false, visit);
    if (found)
        return hit;
    wrapped = true;
    if (backwards)
        scan(journal, line, total - line, true, visit);
    else
        scan(journal, 0, line + 1, false, visit);
    return hit;
}
