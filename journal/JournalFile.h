#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <functional>
#include <stdexcept>

// A file could not be created, written or read; the message is the one the
// user sees.
class JournalFileError : public std::runtime_error
{
public:
    explicit JournalFileError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The journal file of a search: every raw line as the device's bytes, one
// byte a character, exactly lineWidth bytes and CR LF. Line i therefore
// starts at byte i * (lineWidth + 2), and a window of lines is one seek away.
struct JournalFileInfo
{
    QString path;
    int lineWidth = 18;
    qint64 JournalLineCount = 0; // the lines the search wrote, and all a reader may read
    bool written = false;        // a search has written it in this run

    qint64 recordSize() const { return lineWidth + 2; }
};

class JournalFileWriter
{
public:
    // Creates the file empty (an existing one is overwritten).
    JournalFileWriter(const QString &path, int lineWidth);
    ~JournalFileWriter();
    JournalFileWriter(const JournalFileWriter &) = delete;
    JournalFileWriter &operator=(const JournalFileWriter &) = delete;

    // line must be lineWidth bytes; a shorter one is filled with blanks, a
    // longer one cut, so the file stays seekable.
    void writeLine(const QByteArray &line);
    void close();
    qint64 lineCount() const { return m_lines; }
    // The lines that reached the disk. After a failed write the file is cut
    // back to the last whole one, so this is what it holds.
    qint64 linesOnDisk() const { return m_bytesOnDisk / (m_lineWidth + 2); }

private:
    void flush();

    QFile m_file;
    int m_lineWidth;
    QByteArray m_buffer;
    qint64 m_lines = 0;
    qint64 m_bytesOnDisk = 0;
};

// Opens a file to be written without Qt's own buffer, so a write the file
// system refuses fails at once and with its reason ("No space left on
// device"), not later at a flush that has lost it.
bool OpenForWriting(QFile &file);
// Writes all of data or throws JournalFileError with the file system's
// reason; written gets the bytes that did reach the file.
void WriteAll(QFile &file, QByteArrayView data, qint64 *written = nullptr);

// The readers below stop at journal.lineCount, the lines the search wrote,
// never at the end of the file: a file that is not what the search left (a
// device, a link to one) must not be read for ever.

// The records of lines first..first+count-1 as they are in the file (each
// line followed by CR LF), read with one seek; shorter at the end of the file.
QByteArray ReadJournalBlock(const JournalFileInfo &journal, qint64 first, qint64 count);

// Lines first..last (counted from 0) of a journal file, read with one seek.
QList<QByteArray> ReadJournalLines(const JournalFileInfo &journal, qint64 first, qint64 last);

// Reads every line of a journal file in order, a block at a time; visit gets
// each raw line.
void ForEachJournalLine(const JournalFileInfo &journal, const std::function<void(QByteArrayView)> &visit);

// Writes the decoded file: one decoded line per journal line, UTF-8 without
// byte-order mark, CR LF after every line. every100Lines is called every 100
// lines; when it returns true the writing stops there, with whole lines,
// and false is returned.
bool WriteDecodedFile(const JournalFileInfo &journal, const QString &decodedPath,
                      const std::function<bool()> &every100Lines = {});

QString CannotCreateText(const QString &path, const QString &reason);
QString CannotWriteText(const QString &path, const QString &reason);

// Flushes and closes a file that was written. QFile::write only says that Qt
// took the bytes; the file system's word (a full disk) comes here, and a
// file is complete only when this returns.
void CloseWrittenFile(QFile &file);
