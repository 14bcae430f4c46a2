#pragma once

#include "SimulatedUsb.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>

// The simulated journal's options, spelt and checked alike in both programs:
// --simulator, --sim-documents N, --sim-seed S, --sim-faults PLAN and
// --device-type TYPE (also accepted as --sim-device-type, its old name in the
// window program).
class SimulatorCommandLine
{
public:
    // Adds the options to parser.
    explicit SimulatorCommandLine(QCommandLineParser &parser);

    bool simulator() const;
    // Whether any --sim-* option was given; they need --simulator.
    bool simulatorOptionGiven() const;
    // What to say when one was given without --simulator, naming it as it
    // was typed ("--sim-documents needs --simulator").
    QString simulatorNeededText() const;
    bool deviceTypeGiven() const;

    // What the options ask of the simulated journal, or nothing and why.
    std::optional<SimulatorOptions> read(QString *error) const;

private:
    const QCommandLineParser &m_parser;
    QCommandLineOption m_simulator;
    QCommandLineOption m_documents;
    QCommandLineOption m_seed;
    QCommandLineOption m_faults;
    QCommandLineOption m_deviceType;
};

// The names of the parser's options it did not know, as one message in the
// programs' words ("unknown argument \"--x\""); empty when there are none.
QString UnknownArgumentText(const QCommandLineParser &parser);

// The parser's list of options (the part of its help text after "Options:").
QString OptionsHelp(const QCommandLineParser &parser);
