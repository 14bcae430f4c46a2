#include "TextEmphasis.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

void SetTextColor(QTextEdit *oRichEdit, const QString &sText, const EmphasisRule &rAttributes)
{
    QTextCharFormat format;
    QFont font; // the face of a newly made font
    font.setPointSize(rAttributes.pointSize);
    font.setBold(rAttributes.bold);
    font.setItalic(rAttributes.italic);
    format.setFont(font);
    format.setForeground(QColor(rAttributes.red, rAttributes.green, rAttributes.blue));
    format.setBackground(QColor(rAttributes.backRed, rAttributes.backGreen, rAttributes.backBlue));

    QTextCursor cursor(oRichEdit->document());
    for (qsizetype at : FindAllOccurrences(oRichEdit->toPlainText(), sText)) {
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + sText.size()), QTextCursor::KeepAnchor);
        cursor.setCharFormat(format);
    }
}

void RelayOutAfterEmphasis(QTextEdit *pane)
{
    QTextDocument *document = pane->document();
    document->markContentsDirty(0, document->characterCount());
}

void HighlightMarkers(QTextEdit *pane)
{
    for (const EmphasisRule &rule : HighlightRules())
        SetTextColor(pane, rule.text, rule);
    RelayOutAfterEmphasis(pane);
}
