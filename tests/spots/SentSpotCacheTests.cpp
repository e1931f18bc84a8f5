#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/Platform.h"
#include "spots/CSentSpotCache.h"
#include "spots/SpotLine.h"

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

// Distinct spots faster than five minutes can hold: beyond the bound the oldest are forgotten first.
TEST_F(SentSpotCacheTest, AFloodOfDistinctSpotsKeepsTheNewestUpToTheBound)
{
    const auto flood = [](size_t i) {
        const std::string number = std::to_string(i);
        return "DX de K8RQT: " + std::to_string(1800 + i % 50'000) + ".0 N4XJZ flood " +
               std::string(7 - number.size(), '0') + number + " 1234Z";
    };
    const size_t count = CSentSpotCache::kMaxEntries + 1000;
    for (size_t i = 0; i < count; ++i) {
        ASSERT_FALSE(Check(flood(i), "Node A")) << i;
        clock.now += 1;
    }
    EXPECT_EQ(cache.EntryCount(), CSentSpotCache::kMaxEntries);
    EXPECT_LE(cache.KeyCount(), CSentSpotCache::kMaxEntries);
    EXPECT_TRUE(Check(flood(1000)));
    EXPECT_EQ(by, "Node A");
    EXPECT_TRUE(Check(flood(count - 1)));
    EXPECT_FALSE(Check(flood(999))); // forgotten, so recorded anew in place of the oldest
    EXPECT_EQ(cache.EntryCount(), CSentSpotCache::kMaxEntries);
    EXPECT_FALSE(Check(flood(1000)));
}

// A flood of one key (only the comments differ) among distinct spots beyond the store's bound: the key
// keeps its newest spots up to its own bound, the store its newest up to its bound, and both still answer.
TEST_F(SentSpotCacheTest, AFloodOfOneKeyKeepsTheNewestOfTheKeyUpToItsBound)
{
    const auto hot = [](size_t i) { return Line("flood " + std::to_string(1'000'000 + i)); };
    const auto distinct = [](size_t i) { return Line("CQ", "K" + std::to_string(i) + "X"); };
    const size_t count = CSentSpotCache::kMaxEntries + 5000;
    size_t hotCount = 0;
    for (size_t i = 0; i < count; ++i) {
        ASSERT_FALSE(Check(i % 100 == 0 ? hot(hotCount++) : distinct(i), "Node A")) << i;
        ASSERT_LE(cache.EntryCountOfKey(hot(0)), CSentSpotCache::kMaxEntriesPerKey) << i;
    }
    EXPECT_EQ(cache.EntryCount(), CSentSpotCache::kMaxEntries);
    EXPECT_EQ(cache.EntryCountOfKey(hot(0)), CSentSpotCache::kMaxEntriesPerKey);
    EXPECT_TRUE(Check(hot(hotCount - CSentSpotCache::kMaxEntriesPerKey)));
    EXPECT_EQ(by, "Node A");
    EXPECT_TRUE(Check(hot(hotCount - 1)));
    EXPECT_TRUE(Check(distinct(count - 1)));
    EXPECT_FALSE(Check(distinct(1))); // forgotten by the store's bound

    // The oldest of the key goes first: the spot forgotten comes back in place of the oldest kept.
    EXPECT_FALSE(Check(hot(hotCount - CSentSpotCache::kMaxEntriesPerKey - 1), "Node B"));
    EXPECT_EQ(cache.EntryCountOfKey(hot(0)), CSentSpotCache::kMaxEntriesPerKey);
    EXPECT_FALSE(Check(hot(hotCount - CSentSpotCache::kMaxEntriesPerKey)));
    EXPECT_TRUE(Check(hot(hotCount - CSentSpotCache::kMaxEntriesPerKey - 1)));
    EXPECT_EQ(by, "Node B");
    EXPECT_EQ(cache.EntryCount(), CSentSpotCache::kMaxEntries);

    // Five minutes later the purge leaves nothing of either.
    clock.now += CSentSpotCache::kLifeMs + 1;
    EXPECT_FALSE(Check(hot(0), "Node C"));
    EXPECT_EQ(cache.EntryCount(), 1u);
    EXPECT_EQ(cache.KeyCount(), 1u);
}

// The bell bytes of a real node do not hide the time: the copy from a second node is recognised.
TEST_F(SentSpotCacheTest, BellRingingLinesAreRecognised)
{
    const std::string line = "DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\x07\x07";
    EXPECT_FALSE(Check(line, "Node A"));
    EXPECT_TRUE(Check("DX de N0TST-2:  14025.0  DL1XYZ  test  1928Z", "Node B"));
    EXPECT_EQ(by, "Node A");
}

namespace {

// The store as plainly as it can be written: an ordered map walked whole at every purge.
class PlainSentSpotStore {
public:
    explicit PlainSentSpotStore(const FakeClock& clock) : clock_(clock) {}

    bool CheckAndRecord(const std::string& line, const std::string& connection, std::string& by)
    {
        SentSpotKey key;
        if (!ParseDxDeLine(line, key)) return false;
        const uint64_t now = clock_.now;
        if (now - lastPurge_ >= 30'000) {
            lastPurge_ = now;
            for (auto it = spots_.begin(); it != spots_.end();) {
                std::erase_if(it->second, [now](const Entry& e) { return now - e.recorded > 300'000; });
                it = it->second.empty() ? spots_.erase(it) : std::next(it);
            }
        }
        auto& entries = spots_[key.key];
        for (const Entry& e : entries) {
            const size_t n = std::min(e.comment.size(), key.comment.size());
            if (now - e.recorded > 300'000 || e.comment.compare(0, n, key.comment, 0, n) != 0) continue;
            by = e.connection;
            return true;
        }
        entries.push_back({key.comment, now, connection});
        return false;
    }
    size_t KeyCount() const { return spots_.size(); }

private:
    struct Entry {
        std::string comment;
        uint64_t recorded;
        std::string connection;
    };
    const FakeClock& clock_;
    std::map<std::string, std::vector<Entry>> spots_;
    uint64_t lastPurge_ = 0;
};

} // namespace

// Random traffic over some thousand keys and a few comments, with time steps around the purge interval and the life.
TEST(SentSpotCacheModel, AgreesWithThePlainStore)
{
    FakeClock clock;
    CSentSpotCache cache(clock);
    PlainSentSpotStore plain(clock);
    std::mt19937 random(20261208);
    const char* comments[] = {"", "CQ", "CQ TEST", "QRV", "UP 2"};
    const char* spotters[] = {"K8RQT", "K8RQT-2", "W3LPL-#", "DL1AB"};
    const uint64_t steps[] = {0, 1, 700, 9'000, 29'999, 30'000, 120'000, 299'999, 300'001};
    size_t withheld = 0;
    size_t mostKeys = 0;
    for (int i = 0; i < 40'000; ++i) {
        clock.now += random() % 2000 != 0 ? random() % 40 : steps[random() % std::size(steps)];
        const std::string line = "DX de " + std::string(spotters[random() % 4]) + ": " +
                                 std::to_string(7000 + random() % 300) + ".0 N4X" + char('A' + random() % 5) + " " +
                                 comments[random() % 5] + " 1234Z";
        const std::string connection = "Node " + std::to_string(random() % 3);
        std::string by, plainBy;
        const bool sent = cache.CheckAndRecord(line, connection, &by, nullptr);
        ASSERT_EQ(sent, plain.CheckAndRecord(line, connection, plainBy)) << i << ": " << line;
        ASSERT_EQ(by, plainBy) << i;
        ASSERT_EQ(cache.KeyCount(), plain.KeyCount()) << i;
        withheld += sent;
        mostKeys = std::max(mostKeys, cache.KeyCount());
    }
    EXPECT_GT(withheld, 5'000u);
    EXPECT_LT(withheld, 35'000u);
    EXPECT_GT(mostKeys, 1'000u);
}
