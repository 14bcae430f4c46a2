#include "PassUnit.h"

TPassForm::TPassForm(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Enter password"));
    resize(414, 166);
}
