#include "FitTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

void FitGrownTexts(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(w);
        const bool fits = (label && !label->wordWrap() && label->pixmap().isNull() && !label->text().isEmpty())
                          || qobject_cast<QRadioButton *>(w) || qobject_cast<QCheckBox *>(w);
        if (!fits)
            continue;
        const int needed = w->sizeHint().width();
        if (needed > w->width())
            w->resize(needed, w->height());
    }
}
