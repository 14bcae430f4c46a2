#pragma once

#include "widgets/DialogProvider.h"

// The benchmarks' user: every box passes unseen, every question is No and
// every file or printer dialog is cancelled.
class SilentDialogs final : public DialogProvider
{
public:
    void message(QWidget *, UserPort::Box, const QString &) override {}
    bool question(QWidget *, const QString &) override { return false; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    bool choosePrinter(QWidget *, QPrinter &) override { return false; }
};
