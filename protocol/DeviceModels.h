#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

// The two kinds of fiscal device whose journal is read.
enum class DeviceType { CashRegister, FiscalPrinter };

// The device-type settings every operation reads at the moment it runs.
struct JournalSettings
{
    quint8 LineWidth = 18;       // characters a journal line: 18 cash register, 32 fiscal printer
    quint8 LinesPerRequest = 12; // lines a document-lines request asks for: 12 or 7
};

// What the program knows of a device type, in one place: the window's name
// for it (its radio button's text), the command line's, and its settings (a
// line request's answer carries one request's lines: 12 x 18 or 7 x 32
// characters). A new device type is a row here and a radio button in the
// main form whose "deviceModel" property is its option name.
struct DeviceModel
{
    DeviceType type;
    const char *shownName;  // English; translated in the main window's context
    const char *optionName; // --device-type's value
    JournalSettings settings;
};

inline constexpr std::array<DeviceModel, 2> DeviceModels{{
    {DeviceType::CashRegister, QT_TRANSLATE_NOOP("TMainForm", "Cash Register"), "cash-register", {18, 12}},
    {DeviceType::FiscalPrinter, QT_TRANSLATE_NOOP("TMainForm", "Fiscal Printer"), "fiscal-printer", {32, 7}},
}};

constexpr const DeviceModel &ModelOf(DeviceType type)
{
    for (const DeviceModel &m : DeviceModels) {
        if (m.type == type)
            return m;
    }
    return DeviceModels[0];
}

constexpr JournalSettings SettingsFor(DeviceType type)
{
    return ModelOf(type).settings;
}

// The model a --device-type value names; nothing for an unknown name.
inline const DeviceModel *ModelNamed(QStringView optionName)
{
    for (const DeviceModel &m : DeviceModels) {
        if (optionName == QLatin1String(m.optionName))
            return &m;
    }
    return nullptr;
}

// The --device-type values joined by separator ("cash-register|fiscal-printer").
inline QString DeviceOptionNames(const QString &separator)
{
    QString names;
    for (const DeviceModel &m : DeviceModels)
        names += (names.isEmpty() ? QString() : separator) + QLatin1String(m.optionName);
    return names;
}
