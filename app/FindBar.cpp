#include "FindBar.h"

#include "widgets/ControlNames.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    Caption = new QLabel(this);
    Input = new QLineEdit(this);
    m_numbers = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,10}")), this);
    Outcome = new QLabel(this);
    QPalette red = Outcome->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    Outcome->setPalette(red);
    CloseButton = new QToolButton(this);
    CloseButton->setText(QStringLiteral("×"));
    CloseButton->setAutoRaise(true);
    CloseButton->setToolTip(tr("Close (Esc)"));
    CloseButton->setAccessibleName(tr("Close the find bar"));
    NameControls({EJ_NAMED(Caption), EJ_NAMED(Input), EJ_NAMED(Outcome), EJ_NAMED(CloseButton)});
    connect(CloseButton, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    // What the bar said was about the text before.
    connect(Input, &QLineEdit::textEdited, Outcome, &QLabel::clear);
    hide();
}

void FindBar::open(Mode mode)
{
    if (mode != m_mode || isHidden()) {
        m_mode = mode;
        Outcome->clear();
    }
    if (m_mode == Mode::Find) {
        Caption->setText(tr("Find:"));
        Input->setAccessibleName(tr("Find in the result"));
        Input->setValidator(nullptr);
        Input->setToolTip(tr("Enter or F3: next, Shift+F3: previous"));
    } else {
        Caption->setText(tr("Go to document:"));
        Input->setAccessibleName(tr("Go to document"));
        Input->setValidator(m_numbers);
        Input->setToolTip(tr("The document's number, then Enter"));
        if (!Input->hasAcceptableInput())
            Input->clear();
    }
    layOut();
    show();
    raise();
    Input->setFocus(Qt::ShortcutFocusReason);
    Input->selectAll();
}

QString FindBar::text() const
{
    return Input->text();
}

void FindBar::say(const QString &text)
{
    Outcome->setText(text);
}

void FindBar::enter(bool backwards)
{
    const QString typed = Input->text();
    if (typed.isEmpty())
        return;
    if (m_mode == Mode::GoTo) {
        bool ok = false;
        const quint32 number = typed.toUInt(&ok);
        if (ok)
            emit goTo(number);
        else
            say(tr("not a document number"));
    } else if (backwards) {
        emit findPrevious(typed);
    } else {
        emit findNext(typed);
    }
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enter(event->modifiers() & Qt::ShiftModifier);
        return;
    case Qt::Key_Escape:
        hide();
        emit closed();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FindBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void FindBar::layOut()
{
    // By hand, as the rest of the window: the caption as wide as its text.
    const int h = height();
    Caption->adjustSize();
    Caption->move(8, (h - Caption->height()) / 2);
    const int inputX = Caption->x() + Caption->width() + 6;
    Input->setGeometry(inputX, 2, 220, h - 4);
    CloseButton->setGeometry(width() - h, 0, h, h);
    const int outcomeX = inputX + Input->width() + 10;
    Outcome->setGeometry(outcomeX, 0, qMax(0, CloseButton->x() - outcomeX - 4), h);
}
