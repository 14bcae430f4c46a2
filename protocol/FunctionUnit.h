#pragma once

#include "Codecs.h"

// The diagnostic window's own entry points to the BCD packing. They share the
// implementation with the main window's and differ only in the unit name and
// check numbers that a failure reports.
namespace FunctionUnit {

inline constexpr Codecs::BcdChecks Checks{"FunctionUnit", 168, 169};

inline QByteArray NumStringToBCD(const QString &inStr)
{
    return Codecs::NumStringToBCD(inStr, Checks);
}

inline quint8 CharPairToBCD(QChar second, QChar first)
{
    return Codecs::CharPairToBCD(second, first, Checks);
}

} // namespace FunctionUnit
