#include "DialogProvider.h"

#include <QCoreApplication>

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// The program's texts break lines as LF CR; a box shows them as one break.
QString shown(QString text)
{
    return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

} // namespace

void QtDialogProvider::message(QWidget *parent, MessagePort::Box kind, const QString &text)
{
    switch (kind) {
    case MessagePort::Box::Error:
        QMessageBox::critical(parent, QCoreApplication::translate("ejournal", "Error"), shown(text));
        break;
    case MessagePort::Box::Warning:
        QMessageBox::warning(parent, QCoreApplication::translate("ejournal", "Warning"), shown(text));
        break;
    case MessagePort::Box::Information:
        QMessageBox::information(parent, QCoreApplication::translate("ejournal", "Information"), shown(text));
        break;
    }
}

bool QtDialogProvider::question(QWidget *parent, const QString &text)
{
    return QMessageBox::warning(parent, QCoreApplication::translate("ejournal", "Confirm"), shown(text),
                                QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

QString QtDialogProvider::saveFileName(QWidget *parent, const QString &title, const QString &directory,
                                       const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(parent, title, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtDialogProvider::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}
