#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The diagnostic window: the exchange's live counters and the conversions
// tried by hand.
class TDebugForm : public QWidget
{
    Q_OBJECT

public:
    explicit TDebugForm(QWidget *parent = nullptr);

    // Fed by the exchange tick while the window is visible.
    void showCounters(quint32 tickCount, int originalLines);
    void showQueue(int queuedPackets);

    QPlainTextEdit *Memo3, *Memo2, *Memo4;
    QPushButton *Button2, *Button3, *Button1, *Button4, *Button5;
    QLineEdit *Edit1;
    QLabel *Label1, *Label5, *Label2, *Label3, *Label4, *Label6;
};
