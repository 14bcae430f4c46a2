#pragma once

#include "widgets/DialogProvider.h"

// The benchmarks' user: every box passes unseen, every question gets the
// same answer (No unless told) and every file or printer dialog is cancelled.
class SilentDialogs final : public DialogProvider
{
public:
    explicit SilentDialogs(bool answer = false) : m_answer(answer) {}
    void message(QWidget *, MessagePort::Box, const QString &) override {}
    bool question(QWidget *, const QString &) override { return m_answer; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    bool choosePrinter(QWidget *, QPrinter &) override { return false; }

private:
    bool m_answer;
};
