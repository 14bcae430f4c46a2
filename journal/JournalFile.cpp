#include "JournalFile.h"

#include <QCoreApplication>

#include "LineDecoding.h"

namespace {

constexpr qint64 BufferBytes = 256 * 1024;
// The journal file is written in smaller steps: a full disk is then found
// soon after it fills, not a quarter of a megabyte of reading later.
constexpr qint64 JournalBufferBytes = 64 * 1024;

} // namespace

QString CannotCreateText(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("ejournal", "Cannot create file \"%1\". %2").arg(path, reason);
}

QString CannotWriteText(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("ejournal", "Cannot write file \"%1\". %2").arg(path, reason);
}

namespace {

JournalFileError CannotWrite(const QFile &file)
{
    return JournalFileError(CannotWriteText(file.fileName(), file.errorString()));
}

} // namespace

bool OpenForWriting(QFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void WriteAll(QFile &file, QByteArrayView data, qint64 *written)
{
    qint64 done = 0;
    while (done < data.size()) {
        // A short write is the file system's way of saying it is full; the
        // write after it says why.
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            if (written)
                *written = done;
            throw CannotWrite(file);
        }
        done += n;
    }
    if (written)
        *written = done;
}

void CloseWrittenFile(QFile &file)
{
    if (!file.isOpen())
        return;
    if (!file.flush()) {
        const JournalFileError error = CannotWrite(file);
        file.close();
        throw error;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw CannotWrite(file);
}

JournalFileWriter::JournalFileWriter(const QString &path, int lineWidth) : m_file(path), m_lineWidth(lineWidth)
{
    if (!OpenForWriting(m_file))
        throw JournalFileError(CannotCreateText(path, m_file.errorString()));
    m_buffer.reserve(JournalBufferBytes + lineWidth + 2);
}

JournalFileWriter::~JournalFileWriter()
{
    try {
        close();
    } catch (const JournalFileError &) {
        // A destructor must not throw; close() is called first wherever the
        // error can still be shown.
    }
}

void JournalFileWriter::writeLine(const QByteArray &line)
{
    const qsizetype n = qMin<qsizetype>(line.size(), m_lineWidth);
    m_buffer.append(line.constData(), n);
    if (n < m_lineWidth)
        m_buffer.append(QByteArray(m_lineWidth - n, ' '));
    m_buffer.append("\r\n", 2);
    ++m_lines;
    if (m_buffer.size() >= JournalBufferBytes)
        flush();
}

void JournalFileWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    qint64 written = 0;
    try {
        WriteAll(m_file, m_buffer, &written);
    } catch (const JournalFileError &) {
        m_buffer.clear();
        // Part of a line would shift every line after it in a later read:
        // the file ends on its last whole line.
        m_bytesOnDisk += written;
        m_bytesOnDisk -= m_bytesOnDisk % (m_lineWidth + 2);
        m_file.resize(m_bytesOnDisk);
        throw;
    }
    m_bytesOnDisk += written;
    m_buffer.clear();
}

void JournalFileWriter::close()
{
    if (!m_file.isOpen())
        return;
    try {
        flush();
    } catch (const JournalFileError &) {
        m_file.close();
        throw;
    }
    CloseWrittenFile(m_file);
}

namespace {

void openForReading(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw JournalFileError(QCoreApplication::translate("ejournal", "Cannot open file \"%1\". %2")
                                   .arg(file.fileName(), file.errorString()));
}

} // namespace

QByteArray ReadJournalBlock(const JournalFileInfo &journal, qint64 first, qint64 count)
{
    count = qMin(count, journal.JournalLineCount - first);
    if (first < 0 || count <= 0)
        return {};
    QFile file(journal.path);
    openForReading(file);
    const qint64 record = journal.recordSize();
    if (!file.seek(first * record))
        return {};
    const QByteArray block = file.read(count * record);
    if (block.isEmpty() && file.error() != QFileDevice::NoError)
        throw JournalFileError(QCoreApplication::translate("ejournal", "Cannot read file \"%1\". %2")
                                   .arg(journal.path, file.errorString()));
    return block;
}

QList<QByteArray> ReadJournalLines(const JournalFileInfo &journal, qint64 first, qint64 last)
{
    QList<QByteArray> lines;
    if (first < 0 || last < first)
        return lines;
    const QByteArray block = ReadJournalBlock(journal, first, last - first + 1);
    const qint64 record = journal.recordSize();
    lines.reserve(block.size() / record);
    for (qint64 at = 0; at + journal.lineWidth <= block.size(); at += record)
        lines.append(block.mid(at, journal.lineWidth));
    return lines;
}

void ForEachJournalLine(const JournalFileInfo &journal, const std::function<void(QByteArrayView)> &visit)
{
    QFile file(journal.path);
    openForReading(file);
    const qint64 record = journal.recordSize();
    const qint64 blockRecords = qMax<qint64>(1, BufferBytes / record);
    QByteArray block;
    for (qint64 left = journal.JournalLineCount; left > 0;) {
        block = file.read(qMin(left, blockRecords) * record);
        if (block.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                throw JournalFileError(QCoreApplication::translate("ejournal", "Cannot read file \"%1\". %2")
                                           .arg(journal.path, file.errorString()));
            return;
        }
        for (qint64 at = 0; at + journal.lineWidth <= block.size() && left > 0; at += record, --left)
            visit(QByteArrayView(block.constData() + at, journal.lineWidth));
    }
}

bool WriteDecodedFile(const JournalFileInfo &journal, const QString &decodedPath,
                      const std::function<bool()> &every100Lines)
{
    QFile out(decodedPath);
    if (!OpenForWriting(out))
        throw JournalFileError(CannotCreateText(decodedPath, out.errorString()));
    QByteArray buffer;
    buffer.reserve(BufferBytes * 2);
    auto flush = [&] {
        WriteAll(out, buffer);
        buffer.clear();
    };
    qint64 done = 0;
    bool stopped = false;
    // Stopping is an exception inside the visit, which has no other way out.
    struct Stop
    {
    };
    try {
        ForEachJournalLine(journal, [&](QByteArrayView raw) {
            if (++done % 100 == 0 && every100Lines && every100Lines())
                throw Stop{};
            AppendDecodedLineUtf8(buffer, raw, journal.lineWidth);
            buffer.append("\r\n", 2);
            if (buffer.size() >= BufferBytes)
                flush();
        });
    } catch (const Stop &) {
        stopped = true;
    }
    flush();
    CloseWrittenFile(out);
    return !stopped;
}
