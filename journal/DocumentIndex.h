#pragma once

#include "protocol/Packets.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <array>

// Which lines of a search's result belong to which document: the journal
// text itself never marks where a document ends. The index lives in a file
// beside the journal file, one fixed-size record a document in the order the
// documents' lines arrive (the order of the journal file), so it lasts as
// long as that file and costs the program a few kilobytes however many
// documents a search reads.
struct DocumentEntry
{
    qint64 firstLine = 0; // where its lines start in the journal file; with none, where they would
    quint32 number = 0;
    quint32 lineCount = 0;    // lines written for it; 0: none came
    qint32 firstService = -1; // its first service line in the search's service lines; -1: none
    quint16 dateWord = 0;     // Vuze words, host order
    quint16 timeWord = 0;
    quint16 serviceCount = 0;
    quint8 type = 0; // 1 receipt, 2 daily report, 3 service printout (the device's code)
};

// The file: a 32-byte head, then one 32-byte record a document, all numbers
// little-endian. The head says how many records there are and the line count
// of the journal file they describe; a reader takes the index only when both
// agree with what it finds, so a stale or half-written index is never used.
namespace DocumentIndexFormat {
constexpr char Magic[8] = {'E', 'J', 'D', 'O', 'C', 'I', 'X', '1'};
constexpr int HeadSize = 32;
constexpr int RecordSize = 32;
} // namespace DocumentIndexFormat

// Builds a search's index file as the search goes. Records are written and
// updated through one small page, because a search announces its documents
// (all of them, for "All") before their lines arrive. A failure of the index
// never ends the search: the lines matter more than the way to them.
class DocumentIndexWriter
{
public:
    DocumentIndexWriter() = default;
    ~DocumentIndexWriter();
    DocumentIndexWriter(const DocumentIndexWriter &) = delete;
    DocumentIndexWriter &operator=(const DocumentIndexWriter &) = delete;

    // Creates the file empty (an existing one is overwritten). False when it
    // cannot be; error() says why.
    bool create(const QString &path);
    // A document-information answer: the document is expected.
    void header(const data_123 &answer);
    // count lines of document number were written from line firstLine on.
    void lines(quint32 number, qint64 firstLine, quint32 count);
    // Its service lines are [first, first + count) of the search's list.
    void serviceLines(quint32 number, qint32 first, quint16 count);
    // Writes what is left and the head, for a journal file of journalLines
    // lines, and closes the file. False when the index is not complete.
    bool finish(qint64 journalLines);

    qint64 count() const { return m_count; }
    QString error() const { return m_error; }

private:
    static constexpr int PageRecords = 128;

    DocumentEntry &record(qint64 index);
    DocumentEntry &entry(quint32 number);
    DocumentEntry &append();
    void writePage();
    void fail(const QString &reason);

    QFile m_file;
    std::array<DocumentEntry, PageRecords> m_page{};
    qint64 m_pageFirst = 0; // index of m_page[0]
    bool m_pageDirty = false;
    qint64 m_count = 0;
    qint64 m_cursor = 0; // answers come in document order: the search goes forward
    bool m_open = false;
    QString m_error;
};

// A finished index, read in place from its file.
class DocumentIndex
{
public:
    DocumentIndex() = default;
    ~DocumentIndex();
    DocumentIndex(const DocumentIndex &) = delete;
    DocumentIndex &operator=(const DocumentIndex &) = delete;

    // The index of a journal file of journalLines lines; false, and empty,
    // when the file is missing, damaged or describes another journal.
    bool open(const QString &path, qint64 journalLines);
    void close();

    bool isOpen() const { return m_data != nullptr; }
    qint64 size() const { return m_count; }
    DocumentEntry at(qint64 index) const;
    // The document the journal line belongs to; -1 when none does.
    qint64 documentAtLine(qint64 line) const;
    // The first document of that number; -1 when the result has none.
    qint64 findNumber(quint32 number) const;
    QString error() const { return m_error; }

private:
    QFile m_file;
    const uchar *m_data = nullptr;
    qint64 m_count = 0;
    QString m_error;
};
