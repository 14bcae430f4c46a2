#pragma once

#include "ui_SysInfoUnit.h"

#include <QDialog>

#include <functional>

class DialogProvider;
struct IdentityTexts;
struct data_132;

// The journal information dialog: the identity the journal last reported.
class TSysInfoForm : public QDialog, public Ui::TSysInfoForm
{
    Q_OBJECT

public:
    // identity: the last identity answer; deviceOpen: whether the journal is open now.
    TSysInfoForm(DialogProvider &dialogs, std::function<const data_132 &()> identity, std::function<bool()> deviceOpen,
                 QWidget *parent = nullptr);

    void showIdentity(const IdentityTexts &texts);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void CloseBtnClick();

    DialogProvider &m_dialogs;
    std::function<const data_132 &()> m_identity;
    std::function<bool()> m_deviceOpen;
};
