#include "ReaderOptions.h"

#include "protocol/Codecs.h"
#include "simulator/SimulatorCommandLine.h"

#include <QCommandLineParser>

namespace {

std::nullopt_t fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

// The reader's command line. The verbs are flags; --numbers and --dates take
// their values as the arguments that follow, as they always have.
struct ReaderCommandLine
{
    QCommandLineParser parser;
    SimulatorCommandLine sim{parser};
    QCommandLineOption directory{QStringLiteral("directory"),
                                 QStringLiteral("Where the journal files go (default: the current directory)."),
                                 QStringLiteral("DIR")};
    QCommandLineOption decoded{QStringLiteral("decoded"),
                               QStringLiteral("Also write the decoded file Bosnian_<fiscal memory No>.txt.")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Write every request and answer frame, and what the USB link reports, "
                                            "to standard error.")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Write the documents read as JSON Lines on standard output, one object a "
                                           "document and a last one with the summary; with --info, the identity "
                                           "as one object.")};
    QCommandLineOption quiet{QStringLiteral("quiet"),
                             QStringLiteral("No progress on standard error (it is shown only on a terminal "
                                            "anyway); errors are still said.")};
    QCommandLineOption info{QStringLiteral("info"), QStringLiteral("Print the journal's identity.")};
    QCommandLineOption numbers{QStringLiteral("numbers"),
                               QStringLiteral("Read the documents with receipt numbers FROM to TO.")};
    QCommandLineOption dates{QStringLiteral("dates"),
                             QStringLiteral("Read the documents of a date and time range: FROM_DATE FROM_TIME TO_DATE "
                                            "TO_TIME (YYYY-MM-DD HH:MM:SS).")};
    QCommandLineOption all{QStringLiteral("all"), QStringLiteral("Read every stored document.")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the program's version.")};

    ReaderCommandLine()
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({directory, decoded, trace, json, quiet, info, numbers, dates, all, help, version});
    }
};

} // namespace

QString ReaderUsage()
{
    ReaderCommandLine line;
    return QStringLiteral(
               "Usage: ejournal-read [--simulator] [--sim-documents N] [--sim-seed S] [--sim-faults PLAN]\n"
               "                     [--device-type %1] [--directory DIR] [--decoded] [--trace] [--json] [--quiet]\n"
               "                     (--info | --numbers FROM TO | --dates FROM_DATE FROM_TIME TO_DATE TO_TIME | "
               "--all)\n"
               "\n"
               "Reads the electronic journal of a fiscal device over USB, without a window.\n"
               "\n")
               .arg(DeviceOptionNames(QStringLiteral("|")))
           + OptionsHelp(line.parser)
           + QStringLiteral("\n"
                            "Exit status: 0 done, 1 no journal device found or opened, 2 bad arguments,\n"
                            "3 the search ended on an error answer, a time-out, a lost device, another\n"
                            "journal attached, lines of another device type, or a file or standard output\n"
                            "that could not be written, 4 the search did not start (no stored documents),\n"
                            "130 ended by SIGINT (Ctrl+C), 143 ended by SIGTERM; the lines received so far\n"
                            "are kept.\n"
                            "\n"
                            "Environment: EJOURNAL_USB_IDS further USB IDs of the bridge chip, as vid:pid in\n"
                            "hexadecimal, several separated by commas (e.g. 10c4:ea60).\n");
}

std::optional<ReaderOptions> ParseReaderOptions(const QStringList &args, QString *error)
{
    ReaderCommandLine line;
    QCommandLineParser &p = line.parser;
    if (!p.parse(QStringList{QStringLiteral("ejournal-read")} + args)) {
        const QString unknown = UnknownArgumentText(p);
        if (!unknown.isEmpty())
            return fail(error, unknown);
        return fail(error, p.errorText());
    }

    ReaderOptions o;
    o.help = p.isSet(line.help);
    o.version = p.isSet(line.version);
    if (o.help || o.version)
        return o;

    QString why;
    const auto sim = line.sim.read(&why);
    if (!sim)
        return fail(error, why);
    o.simulator = line.sim.simulator();
    o.sim = *sim;
    // The tests look at the requests; a reader has no use for the list.
    o.sim.recordRequests = false;
    o.directory = p.value(line.directory);
    o.decoded = p.isSet(line.decoded);
    o.trace = p.isSet(line.trace);
    o.json = p.isSet(line.json);
    o.quiet = p.isSet(line.quiet);

    const QStringList values = p.positionalArguments();
    const int verbs =
        int(p.isSet(line.info)) + int(p.isSet(line.numbers)) + int(p.isSet(line.dates)) + int(p.isSet(line.all));
    if (verbs != 1)
        return fail(error, QStringLiteral("give exactly one of --info, --numbers, --dates, --all"));
    const int wanted = p.isSet(line.numbers) ? 2 : p.isSet(line.dates) ? 4 : 0;
    if (values.size() < wanted) {
        const QString verb = p.isSet(line.numbers) ? QStringLiteral("--numbers") : QStringLiteral("--dates");
        return fail(error, QStringLiteral("%1 needs %2 value(s)").arg(verb).arg(wanted));
    }
    if (values.size() > wanted)
        return fail(error, QStringLiteral("unknown argument \"%1\"").arg(values[wanted]));

    if (p.isSet(line.info)) {
        o.verb = ReaderOptions::Verb::Info;
    } else if (p.isSet(line.all)) {
        o.verb = ReaderOptions::Verb::All;
    } else if (p.isSet(line.numbers)) {
        o.verb = ReaderOptions::Verb::Numbers;
        o.fromNumber = values[0];
        o.toNumber = values[1];
    } else {
        o.verb = ReaderOptions::Verb::Dates;
        o.fromDate = QDate::fromString(values[0], QStringLiteral("yyyy-MM-dd"));
        o.fromTime = QTime::fromString(values[1], QStringLiteral("HH:mm:ss"));
        o.toDate = QDate::fromString(values[2], QStringLiteral("yyyy-MM-dd"));
        o.toTime = QTime::fromString(values[3], QStringLiteral("HH:mm:ss"));
        if (!o.fromDate.isValid() || !o.toDate.isValid())
            return fail(error, QStringLiteral("--dates takes dates as YYYY-MM-DD"));
        if (!o.fromTime.isValid() || !o.toTime.isValid())
            return fail(error, QStringLiteral("--dates takes times as HH:MM:SS"));
        // The journal's date word holds the years 2000 to 2127 only; any
        // other would silently become one of them.
        for (const QDate &d : {o.fromDate, o.toDate}) {
            if (d < FirstJournalDate || d > LastJournalDate)
                return fail(error, QStringLiteral("--dates takes years from %1 to %2")
                                       .arg(FirstJournalDate.year())
                                       .arg(LastJournalDate.year()));
        }
    }
    if (line.sim.simulatorOptionGiven() && !o.simulator)
        return fail(error, line.sim.simulatorNeededText());
    return o;
}
