#pragma once

#include "Packets.h"

#include <QtGlobal>

#include <vector>

// Which lines of a search's result belong to which document, kept as the
// journal file is written: the journal text itself never marks where a
// document ends. One small record a document, in the order the documents'
// lines arrive (the order of the journal file).
struct DocumentEntry
{
    qint64 firstLine = -1;     // the document's first line in the journal file; -1: none came
    quint32 number = 0;
    quint32 lineCount = 0;     // lines written for it
    qint32 firstService = -1;  // its first service line in the search's service lines
    quint16 dateWord = 0;      // Vuze words, host order
    quint16 timeWord = 0;
    quint16 serviceCount = 0;
    quint8 type = 0;           // 1 receipt, 2 daily report, 3 service printout (the device's code)
};

class DocumentIndex
{
public:
    void clear();
    // A document-information answer: the document is expected.
    void header(const data_123 &answer);
    // count lines of document number were written from line firstLine on.
    void lines(quint32 number, qint64 firstLine, quint32 count);
    // Its service lines are [first, first + count) of the search's list.
    void serviceLines(quint32 number, qint32 first, quint16 count);

    const std::vector<DocumentEntry> &entries() const { return m_entries; }

private:
    DocumentEntry &entry(quint32 number);

    std::vector<DocumentEntry> m_entries;
    std::size_t m_cursor = 0; // answers come in document order: the search goes forward
};
