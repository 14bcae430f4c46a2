#pragma once

#include "widgets/DialogProvider.h"

#include <QPrinter>
#include <QStringList>

#include <deque>

// Answers the program's dialogs from a script and writes down what it was
// shown, one entry a box: "error: text", "warning: ...", "information: ...",
// "question: ...".
class ScriptedDialogs final : public DialogProvider
{
public:
    QStringList shown;
    std::deque<bool> answers;        // Yes/No questions; No when empty
    std::deque<QString> saveNames;   // save dialog; cancel when empty
    std::deque<bool> printerChoices; // print dialog; cancel when empty

    void message(QWidget *, MessagePort::Box kind, const QString &text) override
    {
        static const char *Names[] = {"error: ", "warning: ", "information: "};
        shown << QLatin1String(Names[int(kind)]) + text;
    }
    bool question(QWidget *, const QString &text) override
    {
        shown << QStringLiteral("question: ") + text;
        return take(answers, false);
    }
    QString saveFileName(QWidget *, const QString &title, const QString &, const QString &filter,
                         const QString &suffix) override
    {
        shown << QStringLiteral("save dialog: %1 | %2 | %3").arg(title, filter, suffix);
        return take(saveNames, QString());
    }
    bool choosePrinter(QWidget *, QPrinter &printer) override
    {
        shown << QStringLiteral("print dialog");
        const bool chosen = take(printerChoices, false);
        if (chosen && !pdfPath.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
        }
        return chosen;
    }
    QString pdfPath; // a chosen printer prints to this PDF file

private:
    template <typename T>
    static T take(std::deque<T> &q, T otherwise)
    {
        if (q.empty())
            return otherwise;
        T v = q.front();
        q.pop_front();
        return v;
    }
};
