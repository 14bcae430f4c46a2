#pragma once

#include "Packets.h"

#include <deque>

// The search's request list (CmdList). A run of document requests is kept as
// one range, so a request for documents 0 to 2147483647, or an answer that
// names four billion documents, costs no memory; the entries already served
// are let go, so a long search stays flat.
class RequestList
{
public:
    void clear();

    void append(const TCmd &cmd);
    // One request with command cmd for every document first..last (none when
    // last < first).
    void appendDocumentRange(quint8 cmd, qint64 first, qint64 last);
    // The line requests of a document of rows lines, perRequest lines each,
    // then its service-lines request when it has service lines.
    void appendDocumentPlan(qint32 docNum, int rows, int perRequest, bool withService);

    // Entries appended since the list was cleared, served or not.
    qint64 size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // The entry at index, which must not be below the last release. Cheap
    // for the entries near the front, which is where the exchange asks.
    TCmd at(qint64 index) const;

    // The entries below index will not be asked for again.
    void releaseBefore(qint64 index);

private:
    // A run of entries kept as the rule that makes them. A search of many
    // documents holds one small segment a document until it is served.
    struct Segment
    {
        enum class Kind : quint8 { Single, DocumentRange, DocumentPlan };
        qint64 count = 0;
        TCmd
            first; // Single: the entry; DocumentRange: the first entry; DocumentPlan: DocNum, LineCount = lines a request
        quint16 rows = 0; // DocumentPlan: the document's lines
        Kind kind = Kind::Single;
    };
    std::deque<Segment> m_segments;
    qint64 m_base = 0; // index of the first entry of the first segment
    qint64 m_size = 0;
};
