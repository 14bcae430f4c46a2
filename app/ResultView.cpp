#include "ResultView.h"

#include "widgets/RawPaneText.h"
#include "journal/ResultWindow.h"
#include "widgets/TextEmphasis.h"
#include "protocol/UserPort.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWheelEvent>

#include <cmath>

namespace {

QFont journalFont()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(11);
    return f;
}

// The raw pane shows each device byte as the character of that code.
QString rawText(const QList<QByteArray> &lines)
{
    QString text;
    for (const QByteArray &line : lines) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += RawLineForDisplay(line);
    }
    return text;
}

qreal rowHeight(const QAbstractTextDocumentLayout *layout, const QTextBlock &block)
{
    return layout->blockBoundingRect(block).height();
}

} // namespace

ResultView::ResultView(QWidget *parent) : QWidget(parent)
{
    setupUi(this);
    for (QTextEdit *pane : {DataMemo, ConvertMemo}) {
        pane->setFont(journalFont());
        pane->document()->setDefaultFont(journalFont());
        connect(pane->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, pane] { alignPanes(pane); });
        // The keys and the wheel go on into the file past the window's edges.
        pane->installEventFilter(this);
        pane->viewport()->installEventFilter(this);
    }
    // An arrow moves one line, the trough and PgUp/PgDn one window.
    OriginalScrollBar->setPageStep(JournalWindowLines);
    connect(OriginalScrollBar, &QScrollBar::valueChanged, this, &ResultView::OriginalScrollBarChange);
}

void ResultView::setSource(const JournalFileInfo &journal)
{
    m_journal = &journal;
}

void ResultView::setReading(bool reading)
{
    m_reading = reading;
}

int ResultView::paneTop() const
{
    return DataMemo->mapTo(parentWidget() ? parentWidget() : this, QPoint()).y();
}

// ---- Layout ---------------------------------------------------------------------

void ResultView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutPanes();
}

void ResultView::layOutPanes()
{
    // The panes keep their left, top and bottom edges; halves go to the even
    // neighbour, so both panes always match.
    const int paneHeight = qMax(40, height() - DataMemo->y() - 6);
    const int w = int(std::nearbyint(width() / 2.0 - 20));
    DataMemo->resize(w, paneHeight);
    ConvertMemo->resize(w, paneHeight);
    OriginalScrollBar->resize(OriginalScrollBar->width(), paneHeight);
    OriginalScrollBar->move(DataMemo->x() + DataMemo->width() + 3, OriginalScrollBar->y());
    ConvertMemo->move(DataMemo->x() + DataMemo->width() + OriginalScrollBar->width() + 6, ConvertMemo->y());
    Label6->move(ConvertMemo->x(), Label6->y());
}

// ---- The window on screen ---------------------------------------------------------

void ResultView::clear()
{
    DataMemo->clear();
    ConvertMemo->clear();
    StrList1.clear();
    // A new result: the old hit and document are no longer on it.
    m_windowFirst = -1;
    m_hit = {};
    emit topLineChanged(-1);
}

void ResultView::setRange(qint64 lineCount)
{
    OriginalScrollBar->setRange(0, qMax(0, ClampToInt(lineCount - 1)));
    OriginalScrollBar->setValue(0);
}

void ResultView::OriginalScrollBarChange()
{
    // The search is still writing the journal file; it shows the first
    // window itself when it is done.
    if (m_reading)
        return;
    ShowJournalWindow(OriginalScrollBar->value());
}

void ResultView::ShowJournalWindow(qint64 position)
{
    // The panes' scroll bars move while their texts are replaced; they line
    // up once both hold the new window.
    const QScopedValueRollback<bool> holdAlignment(m_aligning, true);
    StrList1.clear();
    ConvertMemo->clear();
    DataMemo->clear();
    m_windowFirst = -1;
    if (!m_journal)
        return;
    JournalWindow window;
    try {
        window = LoadJournalWindow(*m_journal, position);
    } catch (const JournalFileError &e) {
        announceTop();
        emit loadFailed(e.message());
        return;
    }
    if (!window.raw.isEmpty())
        m_windowFirst = JournalWindowSpan(position, m_journal->JournalLineCount).first;
    DataMemo->setPlainText(rawText(window.raw));
    StrList1 = window.decoded;
    ConvertMemo->setPlainText(StrList1.join(QLatin1Char('\n')));
    HighlightMarkers(ConvertMemo);
    matchRowHeights();
    DataMemo->verticalScrollBar()->setValue(0);
    ConvertMemo->verticalScrollBar()->setValue(0);
    markHit();
    announceTop();
}

void ResultView::matchRowHeights()
{
    // The decoded pane sets the closing line and the marks larger, and the
    // raw pane's pictures of the marks may come from a taller face. Each row
    // takes the taller of its two lines in both panes, so every line stays
    // beside its twin all the way down and both documents end together.
    QTextDocument *raw = DataMemo->document();
    QTextDocument *decoded = ConvertMemo->document();
    const QAbstractTextDocumentLayout *rawLayout = raw->documentLayout();
    const QAbstractTextDocumentLayout *decodedLayout = decoded->documentLayout();
    QTextCursor rawCursor(raw), decodedCursor(decoded);
    rawCursor.beginEditBlock();
    decodedCursor.beginEditBlock();
    bool rawChanged = false, decodedChanged = false;
    auto raise = [](QTextCursor &cursor, const QTextBlock &block, qreal height) {
        QTextBlockFormat format = block.blockFormat();
        format.setLineHeight(height, QTextBlockFormat::FixedHeight);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    };
    QTextBlock d = decoded->begin();
    for (QTextBlock r = raw->begin(); r.isValid() && d.isValid(); r = r.next(), d = d.next()) {
        // Whole pixels: fractions would add up down the window.
        const qreal rawHeight = std::ceil(rowHeight(rawLayout, r) - 0.01);
        const qreal decodedHeight = std::ceil(rowHeight(decodedLayout, d) - 0.01);
        const qreal row = qMax(rawHeight, decodedHeight);
        if (row > rowHeight(rawLayout, r) + 0.01) {
            raise(rawCursor, r, row);
            rawChanged = true;
        }
        if (row > rowHeight(decodedLayout, d) + 0.01) {
            raise(decodedCursor, d, row);
            decodedChanged = true;
        }
    }
    rawCursor.endEditBlock();
    decodedCursor.endEditBlock();
    if (rawChanged)
        RelayOutAfterEmphasis(DataMemo);
    if (decodedChanged)
        RelayOutAfterEmphasis(ConvertMemo);
}

int ResultView::firstVisibleLine(const QTextEdit *pane) const
{
    // The last line that starts at or above the top of the view. Block
    // positions lay the document out as far as they need; a hit test would
    // answer from a layout Qt may not have finished.
    const QAbstractTextDocumentLayout *layout = pane->document()->documentLayout();
    const int top = pane->verticalScrollBar()->value();
    int line = 0;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next()) {
        if (layout->blockBoundingRect(b).top() > top + 0.5)
            break;
        line = b.blockNumber();
    }
    return line;
}

int ResultView::wholeRowsInView(const QTextEdit *pane) const
{
    int rows = 0;
    const int first = firstVisibleLine(pane);
    for (QTextBlock b = pane->document()->findBlockByNumber(first); b.isValid() && lineInView(pane, b.blockNumber());
         b = b.next())
        ++rows;
    return rows;
}

bool ResultView::lineInView(const QTextEdit *pane, int line) const
{
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    if (!block.isValid())
        return false;
    const QRectF r = pane->document()->documentLayout()->blockBoundingRect(block);
    const int top = pane->verticalScrollBar()->value();
    return r.top() >= top - 0.5 && r.bottom() <= top + pane->viewport()->height() + 0.5;
}

void ResultView::showLineAtTop(QTextEdit *pane, int line)
{
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    if (block.isValid())
        pane->verticalScrollBar()->setValue(int(pane->document()->documentLayout()->blockBoundingRect(block).top()));
}

void ResultView::alignPanes(QTextEdit *scrolled)
{
    if (m_aligning)
        return;
    const QScopedValueRollback<bool> aligning(m_aligning, true);
    // The panes keep the same line at the top rather than the same pixel
    // offset, each with a whole line there.
    const int line = firstVisibleLine(scrolled);
    QTextEdit *other = scrolled == DataMemo ? ConvertMemo : DataMemo;
    if (scrolled->verticalScrollBar()->value() < scrolled->verticalScrollBar()->maximum())
        showLineAtTop(scrolled, line);
    // At the end both stand at their ends: the rows have the same heights, so
    // their ends show the same lines.
    if (scrolled->verticalScrollBar()->value() >= scrolled->verticalScrollBar()->maximum())
        other->verticalScrollBar()->setValue(other->verticalScrollBar()->maximum());
    else
        showLineAtTop(other, line);
    announceTop();
}

qint64 ResultView::topJournalLine() const
{
    return m_windowFirst < 0 ? -1 : m_windowFirst + firstVisibleLine(ConvertMemo);
}

void ResultView::announceTop()
{
    emit topLineChanged(topJournalLine());
}

// ---- Through the whole file -------------------------------------------------------

bool ResultView::canMove() const
{
    return !m_reading && m_journal && m_journal->written && m_journal->JournalLineCount > 0;
}

void ResultView::showJournalLine(qint64 line, int context, bool atTop)
{
    const WindowSpan span = JournalWindowSpan(m_windowFirst, m_journal ? m_journal->JournalLineCount : 0);
    if (m_windowFirst < 0 || line < span.first || line > span.last) {
        loadWindowAt(ClampToInt(qMax<qint64>(0, line - context)));
    }
    if (m_windowFirst < 0)
        return;
    const int inWindow = int(line - m_windowFirst);
    if (atTop || !lineInView(ConvertMemo, inWindow))
        showLineAtTop(ConvertMemo, qMax(0, inWindow - context)); // the raw pane follows
    announceTop();
}

void ResultView::loadAround(qint64 line)
{
    // The line with a good part of a window on both sides, so a page either
    // way is in the panes; near the ends of the file, the window at the end.
    const qint64 count = m_journal->JournalLineCount;
    const WindowSpan span = JournalWindowSpan(m_windowFirst, count);
    constexpr qint64 Room = JournalWindowLines / 4;
    const bool roomAbove = line - span.first >= Room || span.first == 0;
    const bool roomBelow = span.last - line >= Room || span.last == count - 1;
    if (m_windowFirst >= 0 && line >= span.first && line <= span.last && roomAbove && roomBelow)
        return;
    loadWindowAt(ClampToInt(qMax<qint64>(0, line - JournalWindowLines / 2)));
}

void ResultView::loadWindowAt(int position)
{
    if (OriginalScrollBar->value() != position)
        OriginalScrollBar->setValue(position); // OriginalScrollBarChange loads it
    else
        ShowJournalWindow(position);
}

void ResultView::showTop(qint64 line)
{
    line = qBound<qint64>(0, line, m_journal->JournalLineCount - 1);
    loadAround(line);
    if (m_windowFirst < 0)
        return;
    showLineAtTop(ConvertMemo, int(line - m_windowFirst)); // the raw pane follows
    announceTop();
}

void ResultView::showBottom(qint64 line)
{
    // The topmost line from which the rows down to line fill the view.
    loadAround(line);
    if (m_windowFirst < 0)
        return;
    const QAbstractTextDocumentLayout *layout = ConvertMemo->document()->documentLayout();
    const QTextBlock last = ConvertMemo->document()->findBlockByNumber(int(line - m_windowFirst));
    if (!last.isValid())
        return;
    const qreal bottom = layout->blockBoundingRect(last).bottom();
    const int view = ConvertMemo->viewport()->height();
    QTextBlock top = last;
    for (QTextBlock b = last.previous(); b.isValid() && bottom - layout->blockBoundingRect(b).top() <= view + 0.5;
         b = b.previous())
        top = b;
    showLineAtTop(ConvertMemo, top.blockNumber());
    announceTop();
}

void ResultView::showEnd()
{
    const qint64 count = m_journal->JournalLineCount;
    const bool endShown = m_windowFirst >= 0 && JournalWindowSpan(m_windowFirst, count).last == count - 1;
    if (!endShown || OriginalScrollBar->value() != OriginalScrollBar->maximum())
        loadWindowAt(OriginalScrollBar->maximum());
    ConvertMemo->verticalScrollBar()->setValue(ConvertMemo->verticalScrollBar()->maximum());
    announceTop();
}

bool ResultView::keyThroughFile(QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    const qint64 top = topJournalLine();
    if (!canMove() || top < 0)
        return false;
    // A page keeps the row at its edge as the next page's first, to read on
    // from.
    const qint64 bottom = top + qMax(1, wholeRowsInView(ConvertMemo)) - 1;
    if (held == Qt::ControlModifier && event->key() == Qt::Key_Home) {
        showTop(0);
        return true;
    }
    if (held == Qt::ControlModifier && event->key() == Qt::Key_End) {
        showEnd();
        return true;
    }
    if (held != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_PageDown:
        showTop(qMax(top + 1, bottom));
        return true;
    case Qt::Key_PageUp:
        if (top > 0)
            showBottom(top);
        return true;
    case Qt::Key_Down:
        showTop(top + 1);
        return true;
    case Qt::Key_Up:
        showTop(top - 1);
        return true;
    default:
        return false;
    }
}

bool ResultView::wheelIntoFile(QTextEdit *pane, QWheelEvent *event)
{
    if (!canMove())
        return false;
    QScrollBar *own = pane->verticalScrollBar();
    const int delta = event->angleDelta().y();
    const int window = OriginalScrollBar->value();
    if (delta < 0 && own->value() >= own->maximum() && window < OriginalScrollBar->maximum()) {
        // The line at the top stays at the top, with the next lines below it.
        const int top = qMax(1, firstVisibleLine(pane));
        OriginalScrollBar->setValue(qMin(OriginalScrollBar->maximum(), window + top));
        return true;
    }
    if (delta > 0 && own->value() <= own->minimum() && window > 0) {
        const int start = qMax(0, window - JournalWindowLines * 3 / 4);
        OriginalScrollBar->setValue(start);
        showLineAtTop(pane, window - start);
        return true;
    }
    return false;
}

bool ResultView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == DataMemo || watched == ConvertMemo)) {
        // The diagnostic window makes the panes editable: then the keys edit.
        if (static_cast<QTextEdit *>(watched)->isReadOnly() && keyThroughFile(static_cast<QKeyEvent *>(event)))
            return true;
    }
    if (event->type() == QEvent::Wheel) {
        for (QTextEdit *pane : {DataMemo, ConvertMemo}) {
            if (watched == pane->viewport() && wheelIntoFile(pane, static_cast<QWheelEvent *>(event)))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- The found text ------------------------------------------------------------------

void ResultView::setHit(const JournalHit &hit)
{
    m_hit = hit;
    markHit();
}

void ResultView::markHit()
{
    QList<QTextEdit::ExtraSelection> marks;
    const qint64 inWindow = m_hit.found() && m_windowFirst >= 0 ? m_hit.line - m_windowFirst : -1;
    const QTextBlock block = inWindow >= 0 ? ConvertMemo->document()->findBlockByNumber(int(inWindow)) : QTextBlock();
    if (block.isValid()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(ConvertMemo->document());
        mark.cursor.setPosition(block.position() + qMin(m_hit.column, block.length() - 1));
        mark.cursor.setPosition(block.position() + qMin(m_hit.column + m_hit.length, block.length() - 1),
                                QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(255, 210, 0));
        mark.format.setForeground(Qt::black);
        marks.append(mark);
    }
    ConvertMemo->setExtraSelections(marks);
}
