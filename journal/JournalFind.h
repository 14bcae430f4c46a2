#pragma once

#include "JournalFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// Where a text was found: a line of the journal file and the place in its
// decoded text.
struct JournalHit
{
    qint64 line = -1;
    int column = 0; // in the decoded line
    int length = 0;
    bool wrapped = false; // the search went past the end (or the start) to find it
    bool found() const { return line >= 0; }
};

// Finds a text in the decoded lines of a whole result, whatever its letter
// case, as the decoded pane's emphasis does. Most lines decode one device
// byte to one character, so they are searched as bytes through a table that
// gives every byte its case-folded character's first byte; the lines whose
// decoding has words in it (the graphic marks, the closing line) are decoded
// and searched as text.
class JournalFinder
{
public:
    JournalFinder(const QString &text, int LineWidth);

    bool isEmpty() const { return m_text.isEmpty(); }

    // The first hit after (line, column), going on from the top at the end;
    // column -1 includes a hit at the line's start.
    JournalHit next(const JournalFileInfo &journal, qint64 line, int column) const;
    // The last hit before (line, column), going on from the end at the top.
    JournalHit previous(const JournalFileInfo &journal, qint64 line, int column) const;

    // In one raw line: the first hit at or after from, the last one that
    // starts before before; -1 when there is none.
    int indexIn(QByteArrayView raw, int from) const;
    int lastIndexIn(QByteArrayView raw, int before) const;

private:
    JournalHit find(const JournalFileInfo &journal, qint64 line, int column, bool backwards) const;
    bool needsText(QByteArrayView raw) const;
    // The raw line as folded bytes, in buffer.
    QByteArrayView folded(QByteArrayView raw, char (&buffer)[256]) const;
    // Lines [first, first + count) in the file's order or the reverse: the
    // line and place of the first hit that visit's bounds allow.
    template <typename Visit>
    bool scan(const JournalFileInfo &journal, qint64 first, qint64 count, bool backwards, Visit &&visit) const;

    QString m_text;
    int m_lineWidth;
    std::array<char, 256> m_fold{}; // a byte -> the first byte with the same folded character
    QByteArray m_bytes;             // the text as folded bytes; empty when a character has no byte
};
