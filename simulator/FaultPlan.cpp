#include "FaultPlan.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

std::optional<qint64> parseDurationUs(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+(?:\\.\\d+)?)(us|ms|s)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const double value = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    const double scale = unit == QLatin1String("us") ? 1.0 : unit == QLatin1String("s") ? 1e6 : 1e3;
    const double us = value * scale;
    if (us > 1e15)
        return std::nullopt;
    return qint64(us);
}

struct NamedKind
{
    const char *name;
    FaultPlan::Kind kind;
};

constexpr NamedKind PlainKinds[] = {
    {"drop", FaultPlan::Kind::Drop},           {"badlen", FaultPlan::Kind::BadLength},
    {"garbage", FaultPlan::Kind::Garbage},     {"shortwrite", FaultPlan::Kind::ShortWrite},
    {"writefail", FaultPlan::Kind::WriteFail}, {"readfail", FaultPlan::Kind::ReadFail},
};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool parseItem(const QString &item, FaultPlan &plan, QString *error)
{
    const QString where = QStringLiteral("fault plan item \"%1\": ").arg(item);

    if (const int eq = int(item.indexOf(QLatin1Char('='))); eq > 0) {
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1).trimmed();
        if (key == QLatin1String("latency")) {
            const auto us = parseDurationUs(value);
            if (!us)
                return fail(error, where + QStringLiteral("the latency must be a duration such as 2ms"));
            plan.latencyUs = *us;
            return true;
        }
        if (key == QLatin1String("random")) {
            bool ok = false;
            const double p = value.toDouble(&ok);
            if (!ok || p < 0.0 || p > 1.0)
                return fail(error, where + QStringLiteral("the random rate must be a number from 0 to 1"));
            plan.randomRate = p;
            return true;
        }
        if (key == QLatin1String("seed")) {
            bool ok = false;
            const quint64 s = value.toULongLong(&ok);
            if (!ok)
                return fail(error, where + QStringLiteral("the seed must be a whole number"));
            plan.randomSeed = s;
            return true;
        }
        return fail(error, where + QStringLiteral("unknown setting \"%1\"").arg(key));
    }

    static const QRegularExpression re(QStringLiteral("^([a-z]+)(\\d*)@(\\d+)(?::(.+))?$"));
    const auto m = re.match(item);
    if (!m.hasMatch())
        return fail(error, where + QStringLiteral("expected NAME@REQUEST or NAME=VALUE"));

    const QString name = m.captured(1);
    const QString number = m.captured(2);
    const QString argument = m.captured(4);
    bool ok = false;
    FaultPlan::Fault fault;
    fault.request = m.captured(3).toULongLong(&ok);
    if (!ok || fault.request == 0)
        return fail(error, where + QStringLiteral("request numbers count from 1"));

    auto noExtras = [&](bool allowNumber, bool allowArgument) {
        if (!allowNumber && !number.isEmpty())
            return fail(error, where + QStringLiteral("\"%1\" takes no number").arg(name));
        if (!allowArgument && !argument.isEmpty())
            return fail(error, where + QStringLiteral("\"%1\" takes no argument after ':'").arg(name));
        return true;
    };

    if (name == QLatin1String("error")) {
        if (!noExtras(true, false))
            return false;
        const int code = number.toInt(&ok);
        if (number.isEmpty() || !ok || code > 255)
            return fail(error, where + QStringLiteral("an error frame needs a code from 0 to 255, as in error3@7"));
        fault.kind = FaultPlan::Kind::ErrorFrame;
        fault.value = code;
    } else if (name == QLatin1String("noise")) {
        if (!noExtras(false, true))
            return false;
        const int count = argument.toInt(&ok);
        if (!ok || count < 1 || count > 4096)
            return fail(error, where + QStringLiteral("noise needs a byte count from 1 to 4096, as in noise@3:10"));
        fault.kind = FaultPlan::Kind::Noise;
        fault.value = count;
    } else if (name == QLatin1String("unplug")) {
        if (!noExtras(false, true))
            return false;
        if (!argument.isEmpty()) {
            const auto us = parseDurationUs(argument);
            if (!us)
                return fail(error, where + QStringLiteral("the time away must be a duration such as 2s"));
            fault.durationUs = *us;
        }
        fault.kind = FaultPlan::Kind::Unplug;
    } else if (name == QLatin1String("slow") || name == QLatin1String("late")) {
        if (!noExtras(false, true))
            return false;
        const auto us = parseDurationUs(argument);
        if (!us)
            return fail(error,
                        where + name + QStringLiteral(" needs a delay, as in ") + name + QStringLiteral("@3:11s"));
        fault.kind = name == QLatin1String("slow") ? FaultPlan::Kind::Slow : FaultPlan::Kind::Late;
        fault.durationUs = *us;
    } else {
        const NamedKind *found = nullptr;
        for (const NamedKind &k : PlainKinds) {
            if (name == QLatin1String(k.name))
                found = &k;
        }
        if (!found)
            return fail(error, where + QStringLiteral("unknown fault \"%1\"").arg(name));
        if (!noExtras(false, false))
            return false;
        fault.kind = found->kind;
    }
    plan.scripted.push_back(fault);
    return true;
}

} // namespace

std::optional<FaultPlan> FaultPlan::parse(const QString &text, QString *error)
{
    FaultPlan plan;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &raw : items) {
        if (!parseItem(raw.trimmed(), plan, error))
            return std::nullopt;
    }
    return plan;
}

std::vector<FaultPlan::Fault> FaultPlan::scriptedFor(quint64 request) const
{
    std::vector<Fault> faults;
    for (const Fault &f : scripted) {
        if (f.request == request)
            faults.push_back(f);
    }
    return faults;
}
