#include "ProgramOptions.h"

QString ProgramUsage()
{
    return QStringLiteral(
        "Usage: ejournal [--simulator [--sim-documents N] [--sim-seed S] [--sim-faults PLAN]\n"
        "                 [--sim-device-type cash-register|fiscal-printer]]\n"
        "\n"
        "Reads the electronic journal of a fiscal device over USB.\n"
        "\n"
        "  --simulator            use the simulated journal instead of the USB device\n"
        "  --sim-documents N      documents in the simulated journal (default 500)\n"
        "  --sim-seed S           seed of the simulated journal's content (default 1)\n"
        "  --sim-faults PLAN      faults the simulated journal injects, e.g. drop@5,latency=2ms\n"
        "  --sim-device-type T    the simulated device: cash-register (default) or fiscal-printer\n");
}

std::optional<ProgramOptions> ParseProgramOptions(const QStringList &args, QString *error)
{
    ProgramOptions o;
    bool simOption = false;
    auto fail = [error](const QString &text) -> std::optional<ProgramOptions> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--simulator")) {
            o.simulator = true;
        } else if (a == QLatin1String("--sim-documents") && hasValue) {
            bool ok = false;
            const qulonglong n = args[++i].toULongLong(&ok);
            if (!ok || n > 10'000'000)
                return fail(QStringLiteral("--sim-documents takes a whole number from 0 to 10000000"));
            o.sim.documents = quint32(n);
            simOption = true;
        } else if (a == QLatin1String("--sim-seed") && hasValue) {
            bool ok = false;
            o.sim.seed = args[++i].toULongLong(&ok);
            if (!ok)
                return fail(QStringLiteral("--sim-seed takes a whole number"));
            simOption = true;
        } else if (a == QLatin1String("--sim-faults") && hasValue) {
            QString why;
            const auto plan = FaultPlan::parse(args[++i], &why);
            if (!plan)
                return fail(why);
            o.sim.faults = *plan;
            simOption = true;
        } else if (a == QLatin1String("--sim-device-type") && hasValue) {
            const QString &t = args[++i];
            if (t == QLatin1String("cash-register"))
                o.sim.deviceType = DeviceType::CashRegister;
            else if (t == QLatin1String("fiscal-printer"))
                o.sim.deviceType = DeviceType::FiscalPrinter;
            else
                return fail(QStringLiteral("--sim-device-type is cash-register or fiscal-printer"));
            simOption = true;
        } else {
            return fail(QStringLiteral("unknown argument \"%1\"").arg(a));
        }
    }
    if (simOption && !o.simulator)
        return fail(QStringLiteral("the --sim-* options need --simulator"));
    return o;
}
