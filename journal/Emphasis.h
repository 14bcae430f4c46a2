#pragma once

#include <QList>
#include <QString>

#include <array>

// How the decoded pane marks its special texts. The windows only apply it.
struct EmphasisRule
{
    QString text;
    quint8 red, green, blue; // text colour
    int pointSize;
    bool bold;
    bool italic;
    quint8 backRed, backGreen, backBlue;
};

// In the order they are applied: the two graphic marks in blue bold italics,
// the receipt's closing word large and bold, all on white.
const std::array<EmphasisRule, 3> &HighlightRules();

// Every position of needle in text, ignoring letter case, not limited to whole
// words; after a hit the search goes on behind it.
QList<qsizetype> FindAllOccurrences(const QString &text, const QString &needle);
