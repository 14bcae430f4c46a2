#pragma once

#include <QObject>

#include <initializer_list>
#include <utility>

// Each control carries its name in the design as its objectName, so tests and
// scripts find it with findChild instead of by its place on the screen.
#define EJ_NAMED(control)                                                                                              \
    std::pair<QObject *, const char *>                                                                                 \
    {                                                                                                                  \
        control, #control                                                                                              \
    }

inline void NameControls(std::initializer_list<std::pair<QObject *, const char *>> controls)
{
    for (const auto &[control, name] : controls)
        control->setObjectName(QString::fromLatin1(name));
}
