#include <gtest/gtest.h>

#include "base/Platform.h"
#include "spots/CSentSpotCache.h"

using namespace kv;

namespace {

class FakeClock : public IClock {
public:
    uint64_t now = 1'000'000;
    UtcTime utc{2026, 12, 8, 19, 28, 5, 0};
    uint64_t TickCount() const override { return now; }
    UtcTime NowUtc() const override { return utc; }
};

std::string Line(const std::string& comment, const std::string& spotter = "K8RQT", const std::string& f = "14025.0")
{
    return "DX de " + spotter + ": " + f + " N4XJZ " + comment + " 1234Z";
}

class SentSpotCacheTest : public ::testing::Test {
protected:
    FakeClock clock;
    CSentSpotCache cache{clock};
    std::string by, at;

    bool Check(const std::string& line, const std::string& connection = "Node B")
    {
        return cache.CheckAndRecord(line, connection, &by, &at);
    }
};

} // namespace

TEST_F(SentSpotCacheTest, SecondCopyNamesTheFirstConnection)
{
    EXPECT_FALSE(Check(Line("CQ"), "Node A"));
    clock.now += 10'000;
    clock.utc.minute = 29;
    EXPECT_TRUE(Check(Line("CQ"), "Node B"));
    EXPECT_EQ(by, "Node A");
    EXPECT_EQ(at, "19:28");
    EXPECT_TRUE(Check(Line("CQ"), "Node C"));
    EXPECT_EQ(by, "Node A"); // the second copy was not recorded
    EXPECT_TRUE(cache.CheckAndRecord(Line("CQ"), "Node D", nullptr, nullptr));
}

TEST_F(SentSpotCacheTest, FiveMinutesOfLife)
{
    EXPECT_FALSE(Check(Line("CQ"), "Node A"));
    clock.now += 300'000;
    EXPECT_TRUE(Check(Line("CQ")));
    clock.now += 1;
    EXPECT_FALSE(Check(Line("CQ"), "Node B"));
    clock.now += 1000;
    EXPECT_TRUE(Check(Line("CQ")));
    EXPECT_EQ(by, "Node B");
}

TEST_F(SentSpotCacheTest, CommentsMatchByPrefix)
{
    EXPECT_FALSE(Check(Line("CQ")));
    EXPECT_TRUE(Check(Line("cq  TEST")));
    EXPECT_FALSE(Check(Line("QRV")));
    EXPECT_TRUE(Check(Line("QRV")));

    EXPECT_FALSE(Check(Line("CQ TEST", "DL1AB")));
    EXPECT_TRUE(Check(Line("CQ", "DL1AB")));
    // A skimmer spotter carries no comment and so matches any comment, before and after.
    EXPECT_FALSE(Check(Line("CW 12 dB", "W3LPL-#")));
    EXPECT_TRUE(Check(Line("CW 25 dB", "W3LPL-#")));
}

TEST_F(SentSpotCacheTest, KeysOfFrequencyAndSpotter)
{
    EXPECT_FALSE(Check(Line("CQ", "K8RQT-1")));
    EXPECT_TRUE(Check(Line("CQ", "K8RQT-2")));
    EXPECT_FALSE(Check(Line("CQ", "K8RQT", "14025.1")));
    EXPECT_TRUE(Check(Line("CQ", "K8RQT", "14025.14")));
}

TEST_F(SentSpotCacheTest, LinesWithoutKeyChangeNothing)
{
    EXPECT_FALSE(Check("DX de K8RQT: 14025.0 N4XJZ CQ"));
    EXPECT_FALSE(Check("dx de K8RQT: 14025.0 N4XJZ CQ 1234Z"));
    EXPECT_FALSE(Check("hello"));
    EXPECT_EQ(cache.KeyCount(), 0u);
}

TEST_F(SentSpotCacheTest, PurgeDropsExpiredKeysEveryThirtySeconds)
{
    EXPECT_FALSE(Check(Line("CQ", "A1A")));
    clock.now += 200'000;
    EXPECT_FALSE(Check(Line("CQ", "B1B")));
    EXPECT_EQ(cache.KeyCount(), 2u);
    clock.now += 100'001; // A1A expires, B1B lives
    EXPECT_FALSE(Check(Line("CQ", "C1C")));
    EXPECT_EQ(cache.KeyCount(), 2u);
    clock.now += 10'000; // no purge within 30 seconds of the last
    EXPECT_FALSE(Check(Line("CQ", "D1D")));
    EXPECT_EQ(cache.KeyCount(), 3u);
}

// The bell bytes of a real node do not hide the time: the copy from a second node is recognised.
TEST_F(SentSpotCacheTest, BellRingingLinesAreRecognised)
{
    const std::string line = "DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\x07\x07";
    EXPECT_FALSE(Check(line, "Node A"));
    EXPECT_TRUE(Check("DX de N0TST-2:  14025.0  DL1XYZ  test  1928Z", "Node B"));
    EXPECT_EQ(by, "Node A");
}
