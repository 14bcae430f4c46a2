#pragma once

#include "journal/JournalFind.h"
#include "journal/JournalFile.h"
#include "ui_ResultView.h"

#include <QStringList>
#include <QWidget>

class QKeyEvent;
class QTextEdit;
class QWheelEvent;

// The result of the last search, side by side: the raw lines in "Original",
// the same lines decoded in "Decoded", one window of the journal file at a
// time, chosen by the scroll bar between them. Line i of one pane always
// stands beside line i of the other, and the keys, the wheel and the scroll
// bar all go on through the whole file, not only the window on screen.
class ResultView final : public QWidget, private Ui::ResultView
{
    Q_OBJECT

public:
    explicit ResultView(QWidget *parent = nullptr);

    // The journal file the window's search writes; it belongs to the main
    // window and outlives this view. Its lines are decoded at the width they
    // were written with, whatever device type is chosen since.
    void setSource(const JournalFileInfo &journal);
    // A read is writing the file: nothing loads from it until the read is over.
    void setReading(bool reading);

    // A new result: nothing on screen, no hit.
    void clear();
    // The scroll bar spans lineCount lines, at its first.
    void setRange(qint64 lineCount);
    // The window that starts at position (the scroll bar's value).
    void ShowJournalWindow(qint64 position);
    void OriginalScrollBarChange();

    // The journal line at the top of the panes; -1 with nothing shown.
    qint64 topJournalLine() const;
    // A line of the journal file on screen: its window loaded, the panes
    // scrolled to it when it is not in view, context lines above it (or at
    // the top, with atTop).
    void showJournalLine(qint64 line, int context, bool atTop);
    // The found text, marked in "Decoded" while its line is on screen.
    void setHit(const JournalHit &hit);
    const JournalHit &hit() const { return m_hit; }

    // The diagnostic window edits the panes while it is open.
    QTextEdit *originalPane() const { return DataMemo; }
    QTextEdit *decodedPane() const { return ConvertMemo; }
    // The decoded lines of the window on screen (the design's StrList1).
    const QStringList &decodedWindow() const { return StrList1; }
    // The top of the panes in the result box (the diagnostic window is
    // placed by it).
    int paneTop() const;

signals:
    // The line at the top of the panes changed (-1: nothing shown).
    void topLineChanged(qint64 line);
    // The window could not be read from the journal file.
    void loadFailed(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOutPanes();
    // Line i of "Original" beside line i of "Decoded": the other pane follows
    // the one that scrolled, both with a whole line at the top.
    void alignPanes(QTextEdit *scrolled);
    void matchRowHeights();
    int firstVisibleLine(const QTextEdit *pane) const;
    int wholeRowsInView(const QTextEdit *pane) const;
    bool lineInView(const QTextEdit *pane, int line) const;
    void showLineAtTop(QTextEdit *pane, int line);
    // The window at position: the scroll bar moved there, which loads it,
    // or loaded again when the bar is there already.
    void loadWindowAt(int position);
    // The window around line loaded, unless the panes hold enough of it.
    void loadAround(qint64 line);
    // The journal line at the top (or at the bottom), in whichever window
    // holds it.
    void showTop(qint64 line);
    void showBottom(qint64 line);
    void showEnd();
    bool keyThroughFile(QKeyEvent *event);
    // The wheel over a pane at its end goes on into the journal file.
    bool wheelIntoFile(QTextEdit *pane, QWheelEvent *event);
    bool canMove() const;
    void markHit();
    void announceTop();

    const JournalFileInfo *m_journal = nullptr;
    QStringList StrList1;
    bool m_reading = false;
    bool m_aligning = false;
    qint64 m_windowFirst = -1; // the journal line of the panes' first line; -1: no window shown
    JournalHit m_hit;
};
