// The main window's ways through a result: the find bar, "Go to document"
// and the document of the line at the top in the status bar.

#include "MainUnit.h"

#include "Codecs.h"
#include "ResultWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QKeySequence>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Lines shown above a hit that comes into view, so it is seen in its place.
constexpr int HitContextLines = 3;

QString DocumentText(const DocumentEntry &e)
{
    QString text = QStringLiteral("Document %1").arg(e.number);
    QString when;
    try {
        when = Codecs::DecodeDateVuze(e.dateWord).toString(QStringLiteral("dd.MM.yyyy"));
    } catch (const std::exception &) {
        // A word that names no day: the number says enough.
    }
    const int hour = e.timeWord / 100, minute = e.timeWord % 100;
    if (!when.isEmpty() && hour < 24 && minute < 60)
        when += QStringLiteral(" %1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
    return when.isEmpty() ? text : text + QStringLiteral(" of ") + when;
}

} // namespace

void TMainForm::createNavigation()
{
    connect(ResultFindBar, &FindBar::findNext, this, [this](const QString &text) { findInResult(text, false); });
    connect(ResultFindBar, &FindBar::findPrevious, this, [this](const QString &text) { findInResult(text, true); });
    connect(ResultFindBar, &FindBar::goTo, this, &TMainForm::goToDocument);
    connect(ResultFindBar, &FindBar::closed, this, [this] {
        layOutAnchors();
        FormResize();
        ConvertMemo->setFocus();
    });

    auto shortcut = [this](const QKeySequence &keys, auto handler) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence::Find, [this] { openFindBar(FindBar::Mode::Find); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { openFindBar(FindBar::Mode::GoTo); });
    auto again = [this](bool backwards) {
        // The text in the bar, or the last one found; with neither, F3 asks.
        const bool typed = ResultFindBar->mode() == FindBar::Mode::Find && !ResultFindBar->text().isEmpty();
        const QString text = typed ? ResultFindBar->text() : m_hitText;
        // The bar is where the outcome is said, so it comes up with it.
        if (ResultFindBar->isHidden() || ResultFindBar->mode() != FindBar::Mode::Find) {
            openFindBar(FindBar::Mode::Find);
            ResultFindBar->Input->setText(text);
        }
        if (!text.isEmpty())
            findInResult(text, backwards);
    };
    shortcut(QKeySequence::FindNext, [again] { again(false); });
    shortcut(QKeySequence::FindPrevious, [again] { again(true); });
}

void TMainForm::openFindBar(FindBar::Mode mode)
{
    const bool wasOpen = !ResultFindBar->isHidden();
    ResultFindBar->open(mode);
    if (!wasOpen) {
        layOutAnchors();
        FormResize();
    }
}

bool TMainForm::navigationRefused()
{
    if (m_reading) {
        ResultFindBar->say(QStringLiteral("the read is still running"));
        return true;
    }
    if (!Search.journal.written || Search.journal.lineCount == 0) {
        ResultFindBar->say(QStringLiteral("no result to look in yet"));
        return true;
    }
    return false;
}

qint64 TMainForm::topJournalLine() const
{
    return m_windowFirst < 0 ? -1 : m_windowFirst + firstVisibleLine(DataMemo);
}

void TMainForm::findInResult(const QString &text, bool backwards)
{
    if (text.isEmpty() || navigationRefused())
        return;
    const JournalFinder finder(text, Search.journal.lineWidth);
    // Go on from the last hit of the same text; a new text starts at the top
    // of what is on screen.
    const bool goOn = m_hit.found() && text == m_hitText;
    const qint64 line = goOn ? m_hit.line : qMax<qint64>(0, topJournalLine());
    const int column = goOn ? m_hit.column : (backwards ? 0 : -1);
    JournalHit hit;
    try {
        hit = backwards ? finder.previous(Search.journal, line, column) : finder.next(Search.journal, line, column);
    } catch (const JournalFileError &e) {
        ResultFindBar->say(e.message());
        return;
    }
    m_hitText = text;
    if (!hit.found()) {
        m_hit = {};
        markHit();
        ResultFindBar->say(QStringLiteral("not found"));
        return;
    }
    m_hit = hit;
    ResultFindBar->say(hit.wrapped ? (backwards ? QStringLiteral("from the end") : QStringLiteral("from the top"))
                                   : QString());
    showJournalLine(hit.line, HitContextLines, false);
    markHit();
}

void TMainForm::goToDocument(quint32 number)
{
    if (navigationRefused())
        return;
    if (!Search.documents.isOpen()) {
        ResultFindBar->say(QStringLiteral("no document index: %1").arg(Search.documentsError));
        return;
    }
    const qint64 at = Search.documents.findNumber(number);
    if (at < 0) {
        ResultFindBar->say(QStringLiteral("no document %1 in this result").arg(number));
        return;
    }
    const DocumentEntry e = Search.documents.at(at);
    ResultFindBar->say(e.lineCount == 0 ? QStringLiteral("document %1 has no lines in this result").arg(number)
                                        : QString());
    showJournalLine(qMin(e.firstLine, Search.journal.lineCount - 1), 0, true);
}

bool TMainForm::lineInView(QTextEdit *pane, int line) const
{
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    if (!block.isValid())
        return false;
    const QRectF r = pane->document()->documentLayout()->blockBoundingRect(block);
    const int top = pane->verticalScrollBar()->value();
    return r.top() >= top - 0.5 && r.bottom() <= top + pane->viewport()->height() + 0.5;
}

void TMainForm::showJournalLine(qint64 line, int context, bool atTop)
{
    const WindowSpan span = JournalWindowSpan(m_windowFirst, Search.journal.lineCount);
    if (m_windowFirst < 0 || line < span.first || line > span.last) {
        const int position = ClampToInt(qMax<qint64>(0, line - context));
        if (OriginalScrollBar->value() != position)
            OriginalScrollBar->setValue(position); // loads the window
        else
            ShowJournalWindow(position);
    }
    const int inWindow = int(line - m_windowFirst);
    if (atTop || !lineInView(ConvertMemo, inWindow))
        showLineAtTop(ConvertMemo, qMax(0, inWindow - context)); // the raw pane follows
    showDocumentOfTopLine();
}

void TMainForm::markHit()
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

void TMainForm::showDocumentOfTopLine()
{
    const qint64 document = Search.documents.documentAtLine(topJournalLine());
    DocumentPanel->setText(document < 0 ? QString() : DocumentText(Search.documents.at(document)));
}
