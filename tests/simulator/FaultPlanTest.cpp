#include "simulator/FaultPlan.h"

#include <gtest/gtest.h>

namespace {

using K = FaultPlan::Kind;

TEST(FaultPlanText, ParsesEveryKindOfItem)
{
    QString error;
    const auto plan = FaultPlan::parse(
        QStringLiteral("drop@5, error3@7,badlen@2,garbage@3,noise@4:10,shortwrite@6,writefail@8,readfail@9,"
                       "unplug@100:2s,unplug@200,latency=2ms,random=0.25,seed=42"),
        &error);
    ASSERT_TRUE(plan) << error.toStdString();
    ASSERT_EQ(plan->scripted.size(), 10u);
    const std::pair<K, quint64> expected[] = {
        {K::Drop, 5},       {K::ErrorFrame, 7}, {K::BadLength, 2}, {K::Garbage, 3},  {K::Noise, 4},
        {K::ShortWrite, 6}, {K::WriteFail, 8},  {K::ReadFail, 9},  {K::Unplug, 100}, {K::Unplug, 200},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(plan->scripted[i].kind, expected[i].first) << i;
        EXPECT_EQ(plan->scripted[i].request, expected[i].second) << i;
    }
    EXPECT_EQ(plan->scripted[1].value, 3);
    EXPECT_EQ(plan->scripted[4].value, 10);
    EXPECT_EQ(plan->scripted[8].durationUs, 2'000'000);
    EXPECT_EQ(plan->scripted[9].durationUs, -1);
    EXPECT_EQ(plan->latencyUs, 2000);
    EXPECT_DOUBLE_EQ(plan->randomRate, 0.25);
    EXPECT_EQ(plan->randomSeed, 42u);
}

TEST(FaultPlanText, DurationsTakeUnits)
{
    const std::pair<const char *, qint64> cases[] = {
        {"latency=250us", 250}, {"latency=3", 3000}, {"latency=1.5s", 1'500'000}, {"latency=0ms", 0}};
    for (const auto &[text, us] : cases) {
        const auto plan = FaultPlan::parse(QString::fromLatin1(text), nullptr);
        ASSERT_TRUE(plan) << text;
        EXPECT_EQ(plan->latencyUs, us) << text;
    }
    EXPECT_TRUE(FaultPlan::parse(QString(), nullptr)->empty());
}

TEST(FaultPlanText, RefusesMistakesWithAReason)
{
    const std::pair<const char *, const char *> cases[] = {
        {"drop", "expected NAME@REQUEST"},   {"drop@0", "count from 1"},
        {"drop@x", "expected NAME@REQUEST"}, {"explode@3", "unknown fault \"explode\""},
        {"error@3", "needs a code"},         {"error300@3", "needs a code"},
        {"drop5@3", "takes no number"},      {"drop@3:2s", "takes no argument"},
        {"noise@3", "byte count"},           {"unplug@3:soon", "duration"},
        {"latency=fast", "duration"},        {"random=2", "from 0 to 1"},
        {"seed=-1", "whole number"},         {"speed=3", "unknown setting"},
    };
    for (const auto &[text, why] : cases) {
        QString error;
        EXPECT_FALSE(FaultPlan::parse(QString::fromLatin1(text), &error)) << text;
        EXPECT_TRUE(error.contains(QString::fromLatin1(why))) << text << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(text))) << "names the item: " << error.toStdString();
    }
}

} // namespace
