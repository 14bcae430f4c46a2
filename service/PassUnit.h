#pragma once

#include <QWidget>

// The password-protected service window.
class TPassForm : public QWidget
{
    Q_OBJECT

public:
    explicit TPassForm(QWidget *parent = nullptr);
};
