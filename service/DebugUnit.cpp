#include "DebugUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QPlainTextEdit *pane(QWidget *parent, const QString &text, const QRect &place)
{
    auto *p = new QPlainTextEdit(text, parent);
    p->setGeometry(place);
    p->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return p;
}

} // namespace

TDebugForm::TDebugForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Debug Form"));
    resize(272, 588);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    Memo3 = pane(this, QStringLiteral("POP"), {8, 8, 255, 177});
    Memo2 = pane(this, QStringLiteral("Execute"), {8, 192, 255, 177});
    Memo4 = pane(this, QStringLiteral("Send command"), {8, 376, 255, 155});

    const char *captions[] = {"BCD", "INT", "Conv", "DAT", "TIM"};
    QPushButton **buttons[] = {&Button2, &Button3, &Button1, &Button4, &Button5};
    for (int i = 0; i < 5; ++i) {
        *buttons[i] = new QPushButton(QLatin1String(captions[i]), this);
        (*buttons[i])->setGeometry(8 + i * 34, 538, 32, 21);
    }
    Edit1 = new QLineEdit(QStringLiteral("ABC"), this);
    Edit1->setGeometry(180, 538, 83, 21);

    Label1 = new QLabel(QStringLiteral("Lifebeat:"), this);
    Label1->setGeometry(8, 566, 44, 16);
    Label5 = new QLabel(QStringLiteral("0"), this);
    Label5->setGeometry(54, 566, 70, 16);
    Label2 = new QLabel(QStringLiteral("Lines"), this);
    Label2->setGeometry(126, 566, 28, 16);
    Label3 = new QLabel(QStringLiteral("0"), this);
    Label3->setGeometry(156, 566, 40, 16);
    Label4 = new QLabel(QStringLiteral("Queue"), this);
    Label4->setGeometry(198, 566, 32, 16);
    Label6 = new QLabel(QStringLiteral("0"), this);
    Label6->setGeometry(232, 566, 32, 16);
}

void TDebugForm::showCounters(quint32 tickCount, int originalLines)
{
    Label5->setText(QString::number(tickCount));
    Label3->setText(QString::number(originalLines));
}

void TDebugForm::showQueue(int queuedPackets)
{
    Label6->setText(QString::number(queuedPackets));
}
