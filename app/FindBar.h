#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

// The bar under the result that finds a text in the whole result (Ctrl+F)
// or goes to a document by its number (Ctrl+G). It only takes the input and
// shows what came of it; the window does the finding. What it says ("not
// found") stays in the bar: a box would stand in the way of the next try.
class FindBar final : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { Find, GoTo };

    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar for mode with the input selected, ready to type over.
    void open(Mode mode);
    Mode mode() const { return m_mode; }
    QString text() const;
    void say(const QString &text);

    QLabel *Caption;
    QLineEdit *Input;
    QLabel *Outcome;
    QToolButton *CloseButton;

    static constexpr int BarHeight = 26;

signals:
    void findNext(const QString &text);
    void findPrevious(const QString &text);
    void goTo(quint32 number);
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void enter(bool backwards);
    void layOut();

    Mode m_mode = Mode::Find;
    class QValidator *m_numbers; // Go to document takes digits only
};
