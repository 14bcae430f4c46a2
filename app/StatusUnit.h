#pragma once

#include "ui_StatusUnit.h"

#include <QDialog>
#include <QElapsedTimer>

class QTimer;

// The progress dialog. It has no behaviour of its own: the search drives it,
// step by step.
class TStatusForm : public QDialog, public Ui::TStatusForm
{
    Q_OBJECT

public:
    explicit TStatusForm(QWidget *parent = nullptr);

    void start(int total); // counter 0, total T, "Please Wait..." shown, dialog shown
    void listBuilt();      // "Please Wait..." hidden
    void totalKnown(int total);
    void oneMore(int done); // done documents so far; the gauge one step on
    void restart();
    void finish();
    void abort();

    int progress() const { return m_progress; }
    int maximum() const { return m_maximum; }
    // Cancel (or Escape) since the dialog was last started.
    bool cancelRequested() const { return m_cancelRequested; }
    void requestCancel();

protected:
    // Escape and the window's close ask the read to end; the search closes
    // the dialog itself when it has.
    void reject() override;

private:
    void showGauge();
    // Paints now unless it painted a moment ago: a step of a fast read takes
    // microseconds, a paint far longer, and nobody reads more than a screen
    // refresh of counts. What is skipped is painted with the next events.
    void paintSoon();
    void paintNow();
    static constexpr qint64 PaintEveryMs = 16;
    QElapsedTimer m_sincePaint;
    QTimer *m_paintLater; // the latest count, painted even if no step follows

    int m_progress = 0;
    int m_maximum = 0;
    bool m_cancelRequested = false;
};
