#pragma once

#include <QWidget>

class CommandQueue;
class DialogProvider;
class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;
struct ExchangeState;

// The password-protected service window: initialise, generate and erase.
// It only asks and queues; the exchange engine sends and reports.
class TPassForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *ServicePassword = "Mrenvoskit#4ze";

    TPassForm(DialogProvider &dialogs, CommandQueue &commands, ExchangeState &link, QWidget *parent = nullptr);

    int ErrCount = 3;

    void Button1Click(); // OK
    void Button2Click(); // Close
    void InitBtnClick();
    void GenBtnClick();
    void EraseBtnClick();

    QLineEdit *MaskEdit1;
    QPushButton *Button1, *Button2;
    QFrame *Panel1;
    QLineEdit *MemNum, *ClientNumEdit;
    QToolButton *InitBtn, *GenBtn, *EraseBtn;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    bool confirm(std::initializer_list<const char *> pieces);

    DialogProvider &m_dialogs;
    CommandQueue &m_commands;
    ExchangeState &m_link;
};
