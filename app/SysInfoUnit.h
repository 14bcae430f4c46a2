#pragma once

#include <QDialog>

#include <functional>

class DialogProvider;
class QLineEdit;
class QToolButton;
struct IdentityTexts;
struct data_132;

// The journal information dialog: the identity the journal last reported.
class TSysInfoForm : public QDialog
{
    Q_OBJECT

public:
    // identity: the last identity answer; deviceOpen: whether the journal is open now.
    TSysInfoForm(DialogProvider &dialogs, std::function<const data_132 &()> identity,
                 std::function<bool()> deviceOpen, QWidget *parent = nullptr);

    void showIdentity(const IdentityTexts &texts);

    QLineEdit *InitDateEdit = nullptr;
    QLineEdit *InitTimeEdit = nullptr;
    QLineEdit *FiscalMemoryEdit = nullptr;
    QLineEdit *ClientNumEdit = nullptr;
    QLineEdit *DocNumEdit = nullptr;
    QLineEdit *FreeMemEdit = nullptr;
    QToolButton *CloseBtn = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void CloseBtnClick();

    DialogProvider &m_dialogs;
    std::function<const data_132 &()> m_identity;
    std::function<bool()> m_deviceOpen;
};
