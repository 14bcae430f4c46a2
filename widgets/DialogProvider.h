#pragma once

#include "protocol/UserPort.h"

#include <QString>

class QPrinter;
class QWidget;

// Every modal box and file or print dialog of the program comes from here, so
// tests can answer them from a script instead of a person.
class DialogProvider
{
public:
    virtual ~DialogProvider() = default;

    // A box with one OK button.
    virtual void message(QWidget *parent, MessagePort::Box kind, const QString &text) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool question(QWidget *parent, const QString &text) = 0;
    // The save dialog; an empty name when the user cancels.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                                 const QString &defaultSuffix) = 0;
    // The print dialog on printer; false when the user cancels.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
};

// The real dialogs.
class QtDialogProvider final : public DialogProvider
{
public:
    void message(QWidget *parent, MessagePort::Box kind, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                         const QString &defaultSuffix) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
};
