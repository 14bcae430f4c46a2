// The main window's ways through a result: the find bar, "Go to document"
// and the document of the line at the top in the status bar.

#include "MainUnit.h"

#include "protocol/Codecs.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTextEdit>

namespace {

// Lines shown above a hit that comes into view, so it is seen in its place.
constexpr int HitContextLines = 3;

QString DocumentText(const DocumentEntry &e)
{
    QString text = QCoreApplication::translate("TMainForm", "Document %1").arg(e.number);
    QString when;
    try {
        when = Codecs::DecodeDateVuze(e.dateWord).toString(QStringLiteral("dd.MM.yyyy"));
    } catch (const std::exception &) {
        // A word that names no day: the number says enough.
    }
    const int hour = e.timeWord / 100, minute = e.timeWord % 100;
    if (!when.isEmpty() && hour < 24 && minute < 60)
        when += QStringLiteral(" %1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
    return when.isEmpty() ? text : text + QCoreApplication::translate("TMainForm", " of ") + when;
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
        ResultPanes->decodedPane()->setFocus();
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
        ResultFindBar->say(tr("the read is still running"));
        return true;
    }
    if (!Search.journal.written || Search.journal.JournalLineCount == 0) {
        ResultFindBar->say(tr("no result to look in yet"));
        return true;
    }
    return false;
}

qint64 TMainForm::topJournalLine() const
{
    return ResultPanes->topJournalLine();
}

void TMainForm::findInResult(const QString &text, bool backwards)
{
    if (text.isEmpty() || navigationRefused())
        return;
    const JournalFinder finder(text, Search.journal.lineWidth);
    // Go on from the last hit of the same text; a new text starts at the top
    // of what is on screen.
    const JournalHit &last = ResultPanes->hit();
    const bool goOn = last.found() && text == m_hitText;
    const qint64 line = goOn ? last.line : qMax<qint64>(0, topJournalLine());
    const int column = goOn ? last.column : (backwards ? 0 : -1);
    JournalHit hit;
    try {
        hit = backwards ? finder.previous(Search.journal, line, column) : finder.next(Search.journal, line, column);
    } catch (const JournalFileError &e) {
        ResultFindBar->say(e.message());
        return;
    }
    m_hitText = text;
    if (!hit.found()) {
        ResultPanes->setHit({});
        ResultFindBar->say(tr("not found"));
        return;
    }
    ResultFindBar->say(hit.wrapped ? (backwards ? tr("from the end") : tr("from the top")) : QString());
    ResultPanes->setHit(hit);
    ResultPanes->showJournalLine(hit.line, HitContextLines, false);
}

void TMainForm::goToDocument(quint32 number)
{
    if (navigationRefused())
        return;
    if (!Search.documents.isOpen()) {
        ResultFindBar->say(tr("no document index: %1").arg(Search.documentsError));
        return;
    }
    const qint64 at = Search.documents.findNumber(number);
    if (at < 0) {
        ResultFindBar->say(tr("no document %1 in this result").arg(number));
        return;
    }
    const DocumentEntry e = Search.documents.at(at);
    ResultFindBar->say(e.lineCount == 0 ? tr("document %1 has no lines in this result").arg(number) : QString());
    ResultPanes->showJournalLine(qMin(e.firstLine, Search.journal.JournalLineCount - 1), 0, true);
}

void TMainForm::showDocumentOfLine(qint64 line)
{
    const qint64 document = Search.documents.documentAtLine(line);
    DocumentPanel->setText(document < 0 ? QString() : DocumentText(Search.documents.at(document)));
}
