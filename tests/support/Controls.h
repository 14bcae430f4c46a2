#pragma once

#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

// A window's control found by its name, as a person or a screen reader
// finds it, not through the window's members. A name that is gone fails the
// test that asked for it.
template <typename T>
T *Control(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        throw std::logic_error(std::string("no control named ") + name + " of that kind in "
                               + window->objectName().toStdString());
    return found;
}
