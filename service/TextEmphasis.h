#pragma once

#include "Emphasis.h"

#include <QString>

class QTextEdit;

// Gives every occurrence of text in the view, whatever its letter case, the
// rule's colour, size, style and background (SetTextColor).
void SetTextColor(QTextEdit *oRichEdit, const QString &sText, const EmphasisRule &rAttributes);

// The decoded pane's emphasis: the two graphic marks, then the closing word.
void HighlightMarkers(QTextEdit *pane);
