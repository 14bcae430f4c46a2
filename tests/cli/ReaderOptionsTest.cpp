#include "cli/ReaderOptions.h"

#include <gtest/gtest.h>

namespace {

QStringList words(const char *line)
{
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(ReaderOptions, ReadsEachVerb)
{
    QString error;
    auto o =
        ParseReaderOptions(words("--simulator --sim-documents 20000 --sim-seed 9 --sim-faults drop@5 "
                                 "--device-type fiscal-printer --directory /tmp/x --decoded --trace --numbers 5 6"),
                           &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_TRUE(o->simulator);
    EXPECT_EQ(o->sim.documents, 20000u);
    EXPECT_EQ(o->sim.seed, 9u);
    EXPECT_EQ(o->sim.faults.scripted.size(), 1u);
    EXPECT_EQ(o->sim.deviceType, DeviceType::FiscalPrinter);
    EXPECT_EQ(o->directory, QStringLiteral("/tmp/x"));
    EXPECT_TRUE(o->decoded && o->trace);
    EXPECT_EQ(o->verb, ReaderOptions::Verb::Numbers);
    EXPECT_EQ(o->fromNumber, QStringLiteral("5"));
    EXPECT_EQ(o->toNumber, QStringLiteral("6"));

    o = ParseReaderOptions(words("--dates 2011-02-01 00:00:00 2011-02-03 23:59:59"), &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_EQ(o->fromDate, QDate(2011, 2, 1));
    EXPECT_EQ(o->toTime, QTime(23, 59, 59));
    EXPECT_EQ(o->sim.deviceType, DeviceType::CashRegister);

    EXPECT_EQ(ParseReaderOptions(words("--all"), &error)->verb, ReaderOptions::Verb::All);
    EXPECT_EQ(ParseReaderOptions(words("--info --simulator"), &error)->verb, ReaderOptions::Verb::Info);
    EXPECT_TRUE(ParseReaderOptions(words("--help"), &error)->help);
}

TEST(ReaderOptions, RefusesBadArgumentsWithAReason)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "exactly one of"},
        {"--info --all", "exactly one of"},
        {"--numbers 5", "needs 2 value"},
        {"--dates 2011-02-01 00:00:00 2011-02-03", "needs 4 value"},
        {"--dates 01.02.2011 00:00:00 2011-02-03 23:59:59", "YYYY-MM-DD"},
        {"--dates 2011-02-30 00:00:00 2011-03-03 23:59:59", "YYYY-MM-DD"},
        {"--dates 2011-02-01 24:00:00 2011-02-03 23:59:59", "HH:MM:SS"},
        {"--device-type printer --info", "cash-register or fiscal-printer"},
        {"--sim-seed 4 --info", "--sim-seed needs --simulator"},
        {"--simulator --sim-documents -1 --info", "whole number"},
        {"--simulator --sim-faults boom@1 --info", "unknown fault"},
        {"--info --colour", "unknown argument"},
    };
    for (const auto &[line, why] : cases) {
        QString error;
        EXPECT_FALSE(ParseReaderOptions(words(line), &error)) << line;
        EXPECT_TRUE(error.contains(QString::fromLatin1(why))) << line << ": " << error.toStdString();
    }
}

} // namespace
