#pragma once

#include "ui_DebugUnit.h"

#include <QWidget>

class DialogProvider;
class QTextEdit;

// The diagnostic window: the exchange's live counters and the conversions
// tried by hand.
class TDebugForm : public QWidget, public Ui::TDebugForm
{
    Q_OBJECT

public:
    explicit TDebugForm(DialogProvider &dialogs, QWidget *parent = nullptr);

    // The main window's two views, which "Conv" works on and which are
    // editable while this window is open.
    void setMainViews(QTextEdit *original, QTextEdit *decoded);

    // Fed by the exchange tick while the window is visible.
    void showCounters(quint32 tickCount, int originalLines);
    void showQueue(int queuedPackets);

    void Button2Click(); // BCD
    void Button3Click(); // INT
    void Button1Click(); // Conv
    void Button4Click(); // DAT
    void Button5Click(); // TIM

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormClose();
    void append(const QString &line);
    bool readInteger(int &value);

    DialogProvider &m_dialogs;
    QTextEdit *m_original = nullptr;
    QTextEdit *m_decoded = nullptr;
};
