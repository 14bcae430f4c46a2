#pragma once

#include "simulator/SimulatedUsb.h"

#include <QStringList>

#include <optional>

// The desktop program's command line: the simulated journal and its options,
// nothing else.
struct ProgramOptions
{
    bool simulator = false;
    bool help = false;
    bool version = false;
    SimulatorOptions sim;
};

std::optional<ProgramOptions> ParseProgramOptions(const QStringList &args, QString *error);
QString ProgramUsage();
