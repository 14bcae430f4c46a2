#pragma once

#include "journal/Emphasis.h"

#include <QString>

class QTextEdit;

// Gives every occurrence of text in the view, whatever its letter case, the
// rule's colour, size, style and background (SetTextColor).
void SetTextColor(QTextEdit *oRichEdit, const QString &sText, const EmphasisRule &rAttributes);

// Lays the whole document of the view out again. Qt lays a long text out in
// stages; formats applied before it is done leave the blocks between them
// without a layout, so lines vanish from the drawing (the text is still
// there). Call it once after the last SetTextColor of a text.
void RelayOutAfterEmphasis(QTextEdit *pane);

// The decoded pane's emphasis: the two graphic marks, then the closing word.
void HighlightMarkers(QTextEdit *pane);
