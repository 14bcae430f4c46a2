#pragma once

#include "journal/DocumentIndex.h"
#include "journal/JournalFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <functional>

// The result of a search as JSON Lines, for scripts: one object a document
// ({"number", "date" YYYY-MM-DD, "time" HH:MM, "type", "lines" decoded,
// "raw" the device's bytes in hex, "service" the decoded service lines}), in
// the order of the journal file, then one object with the summary. The lines
// come from the journal file, so the output holds exactly what it holds.
struct JsonSummary
{
    QString text;    // the summary line the reader prints without --json
    QString outcome; // "completed", "ended on an error", "cancelled", ...
};

// The output was stopped (a signal) before it was complete.
struct JsonOutputStopped
{
};

// Returns the journal lines written, or throws JournalFileError (the journal
// file could not be read, or out could not be written). stop is asked after
// every document; when it says yes, JsonOutputStopped is thrown.
qint64 WriteJsonLines(std::FILE *out, const JournalFileInfo &journal, const DocumentIndex &documents,
                      const QList<QByteArray> &serviceLines, const JsonSummary &summary,
                      const std::function<bool()> &stop = {});

// Flushes out: 0, or the errno of a write that failed (now or before).
int FlushOutput(std::FILE *out);
// What the user reads when standard output could not be written.
QString CannotWriteOutputText(int error);

// s as a JSON string, quotes included.
void AppendJsonString(QByteArray &out, QByteArrayView utf8);
