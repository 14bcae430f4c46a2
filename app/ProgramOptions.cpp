#include "ProgramOptions.h"

#include "SimulatorCommandLine.h"

#include <QCommandLineParser>

namespace {

struct ProgramCommandLine
{
    QCommandLineParser parser;
    SimulatorCommandLine sim{parser};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the program's version.")};

    ProgramCommandLine()
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version});
    }
};

} // namespace

QString ProgramUsage()
{
    ProgramCommandLine line;
    return QStringLiteral("Usage: ejournal [--simulator [--sim-documents N] [--sim-seed S] [--sim-faults PLAN]\n"
                          "                 [--device-type cash-register|fiscal-printer]]\n"
                          "\n"
                          "Reads the electronic journal of a fiscal device over USB. The device type of\n"
                          "the simulated journal is chosen here; the window's own choice reads it.\n"
                          "\n")
           + OptionsHelp(line.parser);
}

std::optional<ProgramOptions> ParseProgramOptions(const QStringList &args, QString *error)
{
    auto fail = [error](const QString &text) -> std::optional<ProgramOptions> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    ProgramCommandLine line;
    QCommandLineParser &p = line.parser;
    if (!p.parse(QStringList{QStringLiteral("ejournal")} + args)) {
        const QString unknown = UnknownArgumentText(p);
        return fail(unknown.isEmpty() ? p.errorText() : unknown);
    }
    ProgramOptions o;
    o.help = p.isSet(line.help);
    o.version = p.isSet(line.version);
    if (o.help || o.version)
        return o;
    if (!p.positionalArguments().isEmpty())
        return fail(QStringLiteral("unknown argument \"%1\"").arg(p.positionalArguments().first()));
    QString why;
    const auto sim = line.sim.read(&why);
    if (!sim)
        return fail(why);
    o.simulator = line.sim.simulator();
    o.sim = *sim;
    // The tests look at every request the simulated journal received; a
    // user's window has no use for the list, which grows with every read.
    o.sim.recordRequests = false;
    if ((line.sim.simulatorOptionGiven() || line.sim.deviceTypeGiven()) && !o.simulator)
        return fail(QStringLiteral("the --sim-* options need --simulator"));
    return o;
}
