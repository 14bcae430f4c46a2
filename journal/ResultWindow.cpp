#include "ResultWindow.h"

#include "LineDecoding.h"

WindowSpan JournalWindowSpan(qint64 position, qint64 lineCount)
{
    WindowSpan span;
    if (lineCount <= 0)
        return span;
    span.last = qMin(qMax<qint64>(position, 0) + JournalWindowLines - 1, lineCount - 1);
    span.first = qMax<qint64>(span.last - (JournalWindowLines - 1), 0);
    return span;
}

JournalWindow LoadJournalWindow(const JournalFileInfo &journal, qint64 position)
{
    JournalWindow window;
    if (!journal.written)
        return window;
    const WindowSpan span = JournalWindowSpan(position, journal.JournalLineCount);
    if (span.empty())
        return window;
    window.raw = ReadJournalLines(journal, span.first, span.last);
    window.decoded.reserve(window.raw.size());
    for (const QByteArray &raw : window.raw)
        window.decoded.append(ConvertJournalLine(raw, journal.lineWidth));
    return window;
}
