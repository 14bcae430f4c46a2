#include "LineDecoding.h"

#include "protocol/Codecs.h"
#include "protocol/DeviceCharset.h"
#include "JournalTexts.h"
#include "protocol/Packets.h"

#include <array>

using namespace Codecs;

namespace {

using JournalTexts::ClosingLine;
using JournalTexts::ClosingLineDecoded;
const QString LogoWord = JournalTexts::LogoWord;
const QString SecondGraphicWord = JournalTexts::SecondGraphicWord;

// The whole-line rules compare with the cash register's 18-character forms
// whatever the line width; only the filling follows the width.
bool isWholeMarkLine(QByteArrayView raw, char mark)
{
    if (raw.size() != 18 || raw[0] != mark)
        return false;
    for (qsizetype i = 1; i < raw.size(); ++i) {
        if (raw[i] != ' ')
            return false;
    }
    return true;
}

QChar decodedChar(quint8 b)
{
    return JournalTexts::DecodedChar(b);
}

// UTF-8 of every byte's decoding, built once.
struct Utf8Table
{
    std::array<QByteArray, 256> text;
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            if (b == LogoMark)
                text[std::size_t(b)] = LogoWord.toUtf8();
            else if (b == SecondGraphicMark)
                text[std::size_t(b)] = SecondGraphicWord.toUtf8();
            else
                text[std::size_t(b)] = QString(decodedChar(quint8(b))).toUtf8();
        }
    }
};

const Utf8Table &utf8Table()
{
    static const Utf8Table table;
    return table;
}

} // namespace

QList<QByteArray> SplitJournalRecord(const data_124 &answer, int LineWidth)
{
    QList<QByteArray> lines;
    if (LineWidth <= 0)
        return lines;
    const int carried = qBound(0, answer.content_len, int(answer.content.size()));
    const int rows = qMin<int>(answer.row_count, carried / LineWidth);
    lines.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QByteArray line(LineWidth, ' ');
        for (int k = 0; k < LineWidth; ++k) {
            const quint8 b = answer.content[std::size_t(r) * std::size_t(LineWidth) + std::size_t(k)];
            if (b == 0xFF)
                line[k] = '.';
            else if (b >= 0x20 || b == quint8(LogoMark) || b == quint8(SecondGraphicMark))
                line[k] = char(b);
        }
        lines.append(line);
    }
    return lines;
}

QString ConvertJournalLine(QByteArrayView raw, int LineWidth)
{
    if (raw == QByteArrayView(ClosingLine))
        return QString::fromLatin1(ClosingLineDecoded);
    if (isWholeMarkLine(raw, SecondGraphicMark))
        return FillCh(QLatin1Char(' '), SecondGraphicWord, quint8(LineWidth), true);
    if (isWholeMarkLine(raw, LogoMark))
        return FillCh(QLatin1Char(' '), LogoWord, quint8(LineWidth), true);

    QString out;
    out.reserve(raw.size() + 8);
    for (char c : raw) {
        if (c == LogoMark)
            out += LogoWord;
        else if (c == SecondGraphicMark)
            out += SecondGraphicWord;
        else
            out += decodedChar(quint8(c));
    }
    return out;
}

void AppendDecodedLineUtf8(QByteArray &out, QByteArrayView raw, int LineWidth)
{
    if (raw == QByteArrayView(ClosingLine) || isWholeMarkLine(raw, SecondGraphicMark)
        || isWholeMarkLine(raw, LogoMark)) {
        out += ConvertJournalLine(raw, LineWidth).toUtf8();
        return;
    }
    const Utf8Table &table = utf8Table();
    for (char c : raw) {
        const quint8 b = quint8(c);
        // Digits, capitals and small letters stand for themselves; the codes
        // between them (91..96) are the South-Slavic capitals.
        if ((b >= 0x20 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A))
            out += c;
        else
            out += table.text[b];
    }
}
