#include "ProgramOptions.h"

#include "simulator/SimulatorCommandLine.h"

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
        // Qt's own options, which QApplication takes from the command line
        // (a session manager restarts the program with -session): known
        // here so that they are no mistake, and left to Qt.
        for (const char *name : {"style", "stylesheet", "platform", "platformpluginpath", "platformtheme", "plugin",
                                 "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
                                 "qmljsdebugger", "dialogs", "fontengine"}) {
            QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
            qt.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(qt);
        }
        for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
            QCommandLineOption qt(QString::fromLatin1(name));
            qt.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(qt);
        }
    }
};

} // namespace

QString ProgramUsage()
{
    ProgramCommandLine line;
    return QStringLiteral("Usage: ejournal [--simulator [--sim-documents N] [--sim-seed S] [--sim-faults PLAN]]\n"
                          "                [--device-type %1] [Qt options]\n"
                          "\n"
                          "Reads the electronic journal of a fiscal device over USB. The device type given\n"
                          "here is the window's choice at start (and the simulated journal's type).\n"
                          "\n")
               .arg(DeviceOptionNames(QStringLiteral("|")))
           + OptionsHelp(line.parser)
           + QStringLiteral("\n"
                            "Qt's own options (-style, -platform, -reverse, -session ...) are accepted too.\n"
                            "\n"
                            "Environment: EJOURNAL_USB_IDS further USB IDs of the bridge chip, as vid:pid in\n"
                            "hexadecimal, several separated by commas (e.g. 10c4:ea60).\n");
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
    // --device-type also chooses the window's device type for a journal on
    // USB, as it does for the headless reader.
    if (line.sim.simulatorOptionGiven() && !o.simulator)
        return fail(line.sim.simulatorNeededText());
    return o;
}
