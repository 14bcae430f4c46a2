#include "Emphasis.h"

#include "JournalTexts.h"

const std::array<EmphasisRule, 3> &HighlightRules()
{
    static const std::array<EmphasisRule, 3> rules = {{
        {JournalTexts::LogoWord, 0, 0, 255, 10, true, true, 255, 255, 255},
        {JournalTexts::SecondGraphicWord, 0, 0, 255, 10, true, true, 255, 255, 255},
        {JournalTexts::ClosingWord, 0, 0, 0, 14, true, false, 255, 255, 255},
    }};
    return rules;
}

QList<qsizetype> FindAllOccurrences(const QString &text, const QString &needle)
{
    QList<qsizetype> hits;
    if (needle.isEmpty())
        return hits;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(needle, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        hits.append(at);
        from = at + needle.size();
    }
    return hits;
}
