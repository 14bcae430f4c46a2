#include "SimulatorCommandLine.h"

#include <QCoreApplication>

namespace {

// "cash-register (18 characters a line, default) or fiscal-printer (32)."
QString DeviceTypeOptionHelp()
{
    QStringList kinds;
    for (const DeviceModel &m : DeviceModels) {
        kinds << (kinds.isEmpty() ? QStringLiteral("%1 (%2 characters a line, default)") : QStringLiteral("%1 (%2)"))
                     .arg(QLatin1String(m.optionName))
                     .arg(m.settings.LineWidth);
    }
    return kinds.join(QStringLiteral(" or ")) + QLatin1Char('.');
}

} // namespace

SimulatorCommandLine::SimulatorCommandLine(QCommandLineParser &parser)
    : m_parser(parser)
    , m_simulator(QStringLiteral("simulator"), QStringLiteral("Use the simulated journal instead of the USB device."))
    , m_documents(QStringLiteral("sim-documents"), QStringLiteral("Documents in the simulated journal (default 500)."),
                  QStringLiteral("N"))
    , m_seed(QStringLiteral("sim-seed"), QStringLiteral("Seed of the simulated journal's content (default 1)."),
             QStringLiteral("S"))
    , m_faults(QStringLiteral("sim-faults"),
               QStringLiteral("Faults the simulated journal injects, e.g. drop@5,error3@7,latency=2ms."),
               QStringLiteral("PLAN"))
    , m_deviceType(QStringList{QStringLiteral("device-type"), QStringLiteral("sim-device-type")},
                   DeviceTypeOptionHelp(), QStringLiteral("TYPE"))
{
    parser.addOptions({m_simulator, m_documents, m_seed, m_faults, m_deviceType});
}

bool SimulatorCommandLine::simulator() const
{
    return m_parser.isSet(m_simulator);
}

bool SimulatorCommandLine::simulatorOptionGiven() const
{
    return m_parser.isSet(m_documents) || m_parser.isSet(m_seed) || m_parser.isSet(m_faults);
}

QString SimulatorCommandLine::simulatorNeededText() const
{
    for (const QCommandLineOption *o : {&m_documents, &m_seed, &m_faults}) {
        if (m_parser.isSet(*o))
            return QStringLiteral("--%1 needs --simulator").arg(o->names().constFirst());
    }
    return {};
}

bool SimulatorCommandLine::deviceTypeGiven() const
{
    return m_parser.isSet(m_deviceType);
}

std::optional<SimulatorOptions> SimulatorCommandLine::read(QString *error) const
{
    auto fail = [error](const QString &text) -> std::optional<SimulatorOptions> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    SimulatorOptions o;
    if (m_parser.isSet(m_documents)) {
        bool ok = false;
        const qulonglong n = m_parser.value(m_documents).toULongLong(&ok);
        if (!ok || n > 10'000'000)
            return fail(QStringLiteral("--sim-documents takes a whole number from 0 to 10000000"));
        o.documents = quint32(n);
    }
    if (m_parser.isSet(m_seed)) {
        bool ok = false;
        o.seed = m_parser.value(m_seed).toULongLong(&ok);
        if (!ok)
            return fail(QStringLiteral("--sim-seed takes a whole number"));
    }
    if (m_parser.isSet(m_faults)) {
        QString why;
        const auto plan = FaultPlan::parse(m_parser.value(m_faults), &why);
        if (!plan)
            return fail(why);
        o.faults = *plan;
    }
    if (m_parser.isSet(m_deviceType)) {
        const DeviceModel *model = ModelNamed(m_parser.value(m_deviceType));
        if (!model)
            return fail(QStringLiteral("--device-type is %1").arg(DeviceOptionNames(QStringLiteral(" or "))));
        o.deviceType = model->type;
    }
    return o;
}

QString UnknownArgumentText(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return {};
    const QString name = unknown.first();
    return QStringLiteral("unknown argument \"%1%2\"")
        .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
}

QString OptionsHelp(const QCommandLineParser &parser)
{
    // helpText() begins with a usage line naming the program's path; the
    // programs write their own usage and take the option list from here.
    const QString text = parser.helpText();
    const qsizetype at = text.indexOf(QLatin1String("Options:"));
    return at < 0 ? text : text.mid(at);
}
