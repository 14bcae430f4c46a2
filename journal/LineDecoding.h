#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

struct data_124;

// Raw journal lines: exactly LineWidth characters whose codes are the device's
// bytes; 0x12 marks the logo printout, 0x13 the second graphic.
constexpr char LogoMark = 0x12;
constexpr char SecondGraphicMark = 0x13;

// Cuts a document-lines answer into its raw lines. Non-printing bytes become
// blanks and 0xFF a dot. Only rows the answer really carried are cut, so an
// answer that claims more rows than it holds yields fewer lines.
QList<QByteArray> SplitJournalRecord(const data_124 &answer, int LineWidth);

// A raw line as readable text: the closing line, the two graphic lines and
// the marker bytes get their words, every other byte goes through the
// device character table.
QString ConvertJournalLine(QByteArrayView raw, int LineWidth);

// The same decoding, appended to out as UTF-8; it is what every file output
// uses, without a QString per line.
void AppendDecodedLineUtf8(QByteArray &out, QByteArrayView raw, int LineWidth);
