#pragma once

#include "ui_PassUnit.h"

#include <QWidget>

class CommandQueue;
class DialogProvider;

// The password-protected service window: initialise, generate and erase.
// It only asks and queues; the exchange engine sends and reports.
class TPassForm : public QWidget, public Ui::TPassForm
{
    Q_OBJECT

public:
    static constexpr const char *ServicePassword = "Mrenvoskit#4ze";

    TPassForm(DialogProvider &dialogs, CommandQueue &commands, QWidget *parent = nullptr);

    int ErrCount = 3;

    void Button1Click(); // OK
    void Button2Click(); // Close
    void InitBtnClick();
    void GenBtnClick();
    void EraseBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    bool confirm(std::initializer_list<const char *> pieces);

    DialogProvider &m_dialogs;
    CommandQueue &m_commands;
};
