#include "JsonLines.h"

#include <cerrno>
#include <cstring>

#include "protocol/Codecs.h"
#include "protocol/DeviceCharset.h"
#include "journal/LineDecoding.h"

namespace {

constexpr qsizetype FlushBytes = 1 << 20;

void AppendDate(QByteArray &out, quint16 word)
{
    try {
        const QDate d = Codecs::DecodeDateVuze(word);
        out += '"' + d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '"';
    } catch (const std::exception &) {
        out += "null"; // a word that names no day
    }
}

void AppendTime(QByteArray &out, quint16 word)
{
    const int hour = word / 100, minute = word % 100;
    if (hour > 23 || minute > 59) {
        out += "null";
        return;
    }
    const char text[] = {
        '"', char('0' + hour / 10), char('0' + hour % 10), ':', char('0' + minute / 10), char('0' + minute % 10), '"'};
    out.append(text, sizeof text);
}

class Writer
{
public:
    Writer(std::FILE *out, int lineWidth) : m_out(out), m_lineWidth(lineWidth) { m_buffer.reserve(FlushBytes * 2); }

    void document(const DocumentEntry &e, const QList<QByteArray> &raw, const QList<QByteArray> &service)
    {
        QByteArray &o = m_buffer;
        o += "{\"number\":" + QByteArray::number(e.number) + ",\"date\":";
        AppendDate(o, e.dateWord);
        o += ",\"time\":";
        AppendTime(o, e.timeWord);
        o += ",\"type\":" + QByteArray::number(e.type) + ",\"lines\":[";
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (i)
                o += ',';
            m_decoded.clear();
            AppendDecodedLineUtf8(m_decoded, raw[i], m_lineWidth);
            AppendJsonString(o, m_decoded);
        }
        o += "],\"raw\":[";
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (i)
                o += ',';
            o += '"' + raw[i].toHex() + '"';
        }
        o += "],\"service\":[";
        for (qsizetype i = 0; i < service.size(); ++i) {
            if (i)
                o += ',';
            QString text;
            for (char c : service[i])
                text += ConvertToBosnian(quint8(c));
            AppendJsonString(o, text.toUtf8());
        }
        o += "]}\n";
        if (o.size() >= FlushBytes)
            flush();
    }

    void raw(const QByteArray &bytes) { m_buffer += bytes; }

    void flush()
    {
        if (!m_buffer.isEmpty()
            && std::fwrite(m_buffer.constData(), 1, std::size_t(m_buffer.size()), m_out)
                   != std::size_t(m_buffer.size()))
            throw JournalFileError(CannotWriteOutputText(errno != 0 ? errno : EIO));
        m_buffer.clear();
    }

private:
    std::FILE *m_out;
    int m_lineWidth;
    QByteArray m_buffer;
    QByteArray m_decoded;
};

} // namespace

void AppendJsonString(QByteArray &out, QByteArrayView utf8)
{
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (char c : utf8) {
        const auto b = quint8(c);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            const char escape[] = {'\\', 'u', '0', '0', Hex[b >> 4], Hex[b & 15]};
            out.append(escape, sizeof escape);
        } else {
            out += c;
        }
    }
    out += '"';
}

int FlushOutput(std::FILE *out)
{
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out))
        return 0;
    // A failure kept from an earlier write leaves errno unset.
    return errno != 0 ? errno : EIO;
}

QString CannotWriteOutputText(int error)
{
    return QStringLiteral("Cannot write standard output. %1").arg(QString::fromLocal8Bit(std::strerror(error)));
}

qint64 WriteJsonLines(std::FILE *out, const JournalFileInfo &journal, const DocumentIndex &documents,
                      const QList<QByteArray> &serviceLines, const JsonSummary &summary,
                      const std::function<bool()> &stop)
{
    Writer writer(out, journal.lineWidth);
    // A signal ends the output between two documents; what was written is
    // whole objects.
    auto document = [&](const DocumentEntry &e, const QList<QByteArray> &raw, const QList<QByteArray> &service) {
        if (stop && stop()) {
            writer.flush();
            throw JsonOutputStopped{};
        }
        writer.document(e, raw, service);
    };
    const qint64 count = documents.size();
    auto serviceOf = [&](const DocumentEntry &e) {
        return e.firstService < 0 ? QList<QByteArray>() : serviceLines.mid(e.firstService, e.serviceCount);
    };
    // The documents in the order of the file; those without lines where
    // they stand.
    qint64 next = 0;
    DocumentEntry current;
    QList<QByteArray> lines;
    qint64 lineNumber = 0;
    auto emitWithoutLines = [&] {
        for (; next < count && (current = documents.at(next)).lineCount == 0; ++next)
            document(current, {}, serviceOf(current));
    };
    emitWithoutLines();
    if (journal.written && journal.JournalLineCount > 0) {
        ForEachJournalLine(journal, [&](QByteArrayView raw) {
            ++lineNumber;
            if (next >= count)
                return; // lines no document claims: none, as the search writes them
            lines.append(raw.toByteArray());
            if (quint32(lines.size()) == current.lineCount) {
                document(current, lines, serviceOf(current));
                lines.clear();
                ++next;
                emitWithoutLines();
            }
        });
    }
    // A search that ended early: the last document as far as it came.
    for (; next < count; ++next) {
        current = documents.at(next);
        document(current, lines, serviceOf(current));
        lines.clear();
    }
    QByteArray tail = "{\"summary\":";
    AppendJsonString(tail, summary.text.toUtf8());
    tail += ",\"documents\":" + QByteArray::number(count) + ",\"lines\":" + QByteArray::number(lineNumber)
            + ",\"outcome\":";
    AppendJsonString(tail, summary.outcome.toUtf8());
    tail += "}\n";
    writer.raw(tail);
    writer.flush();
    if (const int error = FlushOutput(out))
        throw JournalFileError(CannotWriteOutputText(error));
    return lineNumber;
}
