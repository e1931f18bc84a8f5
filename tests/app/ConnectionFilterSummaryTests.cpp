#include <gtest/gtest.h>

#include "app/ConnectionFilterSummary.h"

using namespace kv;

namespace {

using GlobalSets = std::array<SpotFilterSet, kGlobalSpotFilterLevelCount>;

SpotFilterSet Words(const char16_t* words)
{
    SpotFilterSet set;
    set.words = words;
    return set;
}

SpotFilterSet SpotterOnly()
{
    SpotFilterSet set;
    set.spotterContinents = u"NA";
    return set;
}

} // namespace

TEST(ConnectionFilterSummary, NamesTheLevelOfTheTypeThenAllConnections)
{
    GlobalSets global;
    global[0] = Words(u"QRT");
    global[1] = Words(u"PIRATE");
    global[3] = Words(u"TEST");
    EXPECT_EQ(BuildConnectionFilterSummary(Words(u"CQ"), ConnectionTelnet, global, false),
              u"Active: words; also: Telnet connections, All connections");
    EXPECT_EQ(BuildConnectionFilterSummary({}, ConnectionDxSummit, global, false),
              u"No filter; also: DX Summit connections, All connections");
    global[0].disabled = true; // a disabled level does not apply
    EXPECT_EQ(BuildConnectionFilterSummary({}, ConnectionTelnet, global, false), u"No filter; also: Telnet connections");
    EXPECT_EQ(BuildConnectionFilterSummary({}, ConnectionCwSkimmer, global, false), u"No filter");
}

TEST(ConnectionFilterSummary, SpotterTextsDoNotCountForCwSkimmer)
{
    GlobalSets global;
    global[0] = SpotterOnly();
    global[2] = SpotterOnly();
    EXPECT_EQ(BuildConnectionFilterSummary(SpotterOnly(), ConnectionCwSkimmer, global, false), u"No filter");
    EXPECT_EQ(BuildConnectionFilterSummary(SpotterOnly(), ConnectionTelnet, global, false),
              u"Active: spotter; also: All connections");
}

TEST(ConnectionFilterSummary, WarnsInFrontWhenEveryFilterIsOff)
{
    GlobalSets global;
    SpotFilterSet own = Words(u"CQ");
    own.disabled = true;
    EXPECT_EQ(BuildConnectionFilterSummary(own, ConnectionTelnet, global, true),
              u"All the spot filters are disabled (Tools menu). Active: words (disabled)");
}
