#include <gtest/gtest.h>

#include <cmath>

#include "spots/BandPlan.h"

using namespace kv;

TEST(BandPlan, RowsInOrder)
{
    const auto& plan = GetBandPlan();
    ASSERT_EQ(plan.size(), 39u);
    EXPECT_EQ(std::count_if(plan.begin(), plan.end(), [](const BandPlanEntry& e) { return e.amateur; }), 31);
    EXPECT_STREQ(plan.front().name, "2200m");
    EXPECT_STREQ(plan[30].name, "1mm");
    EXPECT_EQ(plan.back().ranges.size(), 3u);
    EXPECT_EQ(&plan, &GetBandPlan());
}

TEST(BandPlan, AmateurBandsWithTolerance)
{
    for (double f : {14350.0000005, 5400.0, 29700.0, 135.7, 1800.0, 241000000.0})
        EXPECT_TRUE(IsInAmateurBand(f)) << f;
    for (double f : {14350.01, 1500.0, 0.0, -7000.0, 1e13, std::nan(""), double(INFINITY)})
        EXPECT_FALSE(IsInAmateurBand(f)) << f;
}

TEST(BandPlan, FindBandIgnoresCaseOnly)
{
    EXPECT_EQ(FindBand(""), nullptr);
    EXPECT_EQ(FindBand("40"), nullptr);
    EXPECT_EQ(FindBand("40m "), nullptr);
    EXPECT_EQ(FindBand("1.25M"), &GetBandPlan()[17]);
    EXPECT_EQ(FindBand("vhf+"), &GetBandPlan()[37]);
    EXPECT_EQ(FindBand("warc"), &GetBandPlan()[38]);
    EXPECT_EQ(FindBand("40M"), &GetBandPlan()[5]);
    EXPECT_EQ(FindBand("\xE8m"), nullptr);
}
