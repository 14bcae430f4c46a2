#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The progress dialog. It has no behaviour of its own: the search drives it,
// step by step.
class TStatusForm : public QDialog
{
    Q_OBJECT

public:
    explicit TStatusForm(QWidget *parent = nullptr);

    void start(int total);        // counter 0, total T, "Please Wait..." shown, dialog shown
    void listBuilt();            // "Please Wait..." hidden
    void totalKnown(int total);
    void oneMore(int done);      // done documents so far; the gauge one step on
    void restart();
    void finish();
    void abort();

    int progress() const { return m_progress; }
    int maximum() const { return m_maximum; }

    QProgressBar *Gauge1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;

private:
    void showGauge();

    int m_progress = 0;
    int m_maximum = 0;
};
