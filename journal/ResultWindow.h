#pragma once

#include "JournalFile.h"

#include <QStringList>

// The result is shown one window of at most 200 consecutive journal lines at
// a time; the scroll position is the first line of the window.
constexpr int JournalWindowLines = 200;

struct WindowSpan
{
    qint64 first = 0;
    qint64 last = -1;
    bool empty() const { return last < first; }
    qint64 size() const { return empty() ? 0 : last - first + 1; }
};

// Lines position..position+199 while they exist; near the end the last 200
// lines; nothing past the end of the file.
WindowSpan JournalWindowSpan(qint64 position, qint64 lineCount);

struct JournalWindow
{
    QList<QByteArray> raw; // as the device sent them
    QStringList decoded;   // one decoded line per raw line
};

// The window at a scroll position, read straight from its place in the
// journal file: the cost does not grow with the position. Empty before the
// first search of the run.
JournalWindow LoadJournalWindow(const JournalFileInfo &journal, qint64 position);
