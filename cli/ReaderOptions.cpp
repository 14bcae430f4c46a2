#include "ReaderOptions.h"

namespace {

std::nullopt_t fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

} // namespace

QString ReaderUsage()
{
    return QStringLiteral(
        "Usage: ejournal-read [--simulator] [--sim-documents N] [--sim-seed S] [--sim-faults PLAN]\n"
        "                     [--device-type cash-register|fiscal-printer] [--directory DIR] [--decoded] [--trace]\n"
        "                     (--info | --numbers FROM TO | --dates FROM_DATE FROM_TIME TO_DATE TO_TIME | --all)\n"
        "\n"
        "Reads the electronic journal of a fiscal device over USB, without a window.\n"
        "\n"
        "  --info                 print the journal's identity\n"
        "  --numbers FROM TO      read the documents with these receipt numbers\n"
        "  --dates D1 T1 D2 T2    read the documents of a date and time range (YYYY-MM-DD HH:MM:SS)\n"
        "  --all                  read every stored document\n"
        "  --device-type TYPE     cash-register (18 characters a line, default) or fiscal-printer (32)\n"
        "  --directory DIR        where the journal files go (default: the current directory)\n"
        "  --decoded              also write the decoded file Bosnian_<fiscal memory No>.txt\n"
        "  --trace                write every request and answer frame to standard error in hex\n"
        "  --simulator            use the simulated journal instead of the USB device\n"
        "  --sim-documents N      documents in the simulated journal (default 500)\n"
        "  --sim-seed S           seed of the simulated journal's content (default 1)\n"
        "  --sim-faults PLAN      faults the simulated journal injects, e.g. drop@5,error3@7,latency=2ms\n"
        "\n"
        "Exit status: 0 done, 1 no journal device found or opened, 2 bad arguments,\n"
        "3 the search ended on an error answer, a time-out, a lost device or a file\n"
        "that could not be written, 4 the search did not start (no stored documents).\n");
}

std::optional<ReaderOptions> ParseReaderOptions(const QStringList &args, QString *error)
{
    ReaderOptions o;
    int verbs = 0;
    bool simOptionSeen = false;

    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto need = [&](int count) {
            if (i + count < args.size())
                return true;
            fail(error, QStringLiteral("%1 needs %2 value(s)").arg(a).arg(count));
            return false;
        };
        auto value = [&]() -> const QString & { return args[++i]; };

        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--simulator")) {
            o.simulator = true;
        } else if (a == QLatin1String("--sim-documents")) {
            if (!need(1))
                return std::nullopt;
            bool ok = false;
            const qulonglong n = value().toULongLong(&ok);
            if (!ok || n > 10'000'000)
                return fail(error, QStringLiteral("--sim-documents takes a whole number from 0 to 10000000"));
            o.simDocuments = quint32(n);
            simOptionSeen = true;
        } else if (a == QLatin1String("--sim-seed")) {
            if (!need(1))
                return std::nullopt;
            bool ok = false;
            o.simSeed = value().toULongLong(&ok);
            if (!ok)
                return fail(error, QStringLiteral("--sim-seed takes a whole number"));
            simOptionSeen = true;
        } else if (a == QLatin1String("--sim-faults")) {
            if (!need(1))
                return std::nullopt;
            QString why;
            const auto plan = FaultPlan::parse(value(), &why);
            if (!plan)
                return fail(error, why);
            o.simFaults = *plan;
            simOptionSeen = true;
        } else if (a == QLatin1String("--device-type")) {
            if (!need(1))
                return std::nullopt;
            const QString &t = value();
            if (t == QLatin1String("cash-register"))
                o.deviceType = DeviceType::CashRegister;
            else if (t == QLatin1String("fiscal-printer"))
                o.deviceType = DeviceType::FiscalPrinter;
            else
                return fail(error, QStringLiteral("--device-type is cash-register or fiscal-printer"));
        } else if (a == QLatin1String("--directory")) {
            if (!need(1))
                return std::nullopt;
            o.directory = value();
        } else if (a == QLatin1String("--decoded")) {
            o.decoded = true;
        } else if (a == QLatin1String("--trace")) {
            o.trace = true;
        } else if (a == QLatin1String("--info")) {
            o.verb = ReaderOptions::Verb::Info;
            ++verbs;
        } else if (a == QLatin1String("--all")) {
            o.verb = ReaderOptions::Verb::All;
            ++verbs;
        } else if (a == QLatin1String("--numbers")) {
            if (!need(2))
                return std::nullopt;
            o.verb = ReaderOptions::Verb::Numbers;
            o.fromNumber = value();
            o.toNumber = value();
            ++verbs;
        } else if (a == QLatin1String("--dates")) {
            if (!need(4))
                return std::nullopt;
            o.verb = ReaderOptions::Verb::Dates;
            o.fromDate = QDate::fromString(value(), QStringLiteral("yyyy-MM-dd"));
            o.fromTime = QTime::fromString(value(), QStringLiteral("HH:mm:ss"));
            o.toDate = QDate::fromString(value(), QStringLiteral("yyyy-MM-dd"));
            o.toTime = QTime::fromString(value(), QStringLiteral("HH:mm:ss"));
            if (!o.fromDate.isValid() || !o.toDate.isValid())
                return fail(error, QStringLiteral("--dates takes dates as YYYY-MM-DD"));
            if (!o.fromTime.isValid() || !o.toTime.isValid())
                return fail(error, QStringLiteral("--dates takes times as HH:MM:SS"));
            ++verbs;
        } else {
            return fail(error, QStringLiteral("unknown argument \"%1\"").arg(a));
        }
    }

    if (o.help)
        return o;
    if (verbs != 1)
        return fail(error, QStringLiteral("give exactly one of --info, --numbers, --dates, --all"));
    if (simOptionSeen && !o.simulator)
        return fail(error, QStringLiteral("the --sim-* options need --simulator"));
    return o;
}
