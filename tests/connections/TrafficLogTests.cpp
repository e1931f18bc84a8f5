#include <gtest/gtest.h>

#include "connections/CTrafficLog.h"

using namespace kv;

namespace {

class FakeClock : public IClock {
public:
    uint64_t tick = 1000000;
    UtcTime now{2026, 12, 8, 7, 5, 59, 0};
    uint64_t TickCount() const override { return tick; }
    UtcTime NowUtc() const override { return now; }
};

// A file in memory that behaves like the real one: the header goes first into an empty file.
class FakeLogFile : public ITrafficLogFile {
public:
    std::string contents;
    bool fail = false;
    std::u16string lastPath;
    bool Append(const std::u16string& path, const std::string& header, const std::string& text) override
    {
        lastPath = path;
        if (fail) return false;
        if (contents.empty()) contents += header;
        contents += text;
        return true;
    }
    std::string Body() const { return contents.substr(CTrafficLog::Header().size()); }
};

class TrafficLogTest : public testing::Test {
protected:
    FakeClock clock;
    FakeLogFile file;
    CTrafficLog log{clock, file};

    void TearDown() override { SetTrafficLogOn(false); }
};

} // namespace

TEST_F(TrafficLogTest, StartWritesTheHeaderAndAZeroTotal)
{
    EXPECT_FALSE(log.Enabled());
    EXPECT_FALSE(IsTrafficLogOn());
    log.Begin(u"C:\\cfg\\Kestrivane-traffic.log");
    EXPECT_TRUE(log.Enabled());
    EXPECT_TRUE(IsTrafficLogOn());
    EXPECT_EQ(file.lastPath, u"C:\\cfg\\Kestrivane-traffic.log");
    EXPECT_EQ(file.contents, CTrafficLog::Header() + "2026-12-08 07:05\tstart\t0\t*TOTAL*\t0\t0\r\n");
    EXPECT_TRUE(CTrafficLog::Header().starts_with("# Kestrivane traffic log ([General] TrafficLog=1 in Kestrivane.ini)\r\n"));
    EXPECT_TRUE(CTrafficLog::Header().ends_with("\r\ntime_utc\tevent\tminutes\tconnection\trx\ttx\r\n"));
}

TEST_F(TrafficLogTest, NamesDifferingInCaseShareOneEntryInNameOrder)
{
    log.Begin(u"x.log");
    file.contents.clear();
    log.GetCounters(u"dover").Received += 100;
    log.GetCounters(u"DOVER").Sent += 7;
    log.GetCounters(u"Berlin\tNode").Received += 18446744073709551000ull;
    log.GetCounters(u"\u0416uk").Sent += 1; // sorted after ASCII names, written as UTF-8
    clock.tick += 59 * 60000 + 31000;
    ASSERT_TRUE(log.WritePeriod(u"period"));
    EXPECT_EQ(file.Body(),
              "2026-12-08 07:05\tperiod\t60\tBerlin Node\t18446744073709551000\t0\r\n"
              "2026-12-08 07:05\tperiod\t60\tdover\t100\t7\r\n"
              "2026-12-08 07:05\tperiod\t60\t\xD0\x96uk\t0\t1\r\n"
              "2026-12-08 07:05\tperiod\t60\t*TOTAL*\t18446744073709551100\t8\r\n");
}

TEST_F(TrafficLogTest, PeriodsRoundToTheNearestMinuteAndResetOnlyWhenWritten)
{
    log.Begin(u"x.log");
    file.contents.clear();
    clock.tick += 29000;
    ASSERT_TRUE(log.WritePeriod(u"period"));
    EXPECT_EQ(file.Body(), "2026-12-08 07:05\tperiod\t0\t*TOTAL*\t0\t0\r\n");

    // A failed write keeps everything: the next block covers the longer period.
    log.GetCounters(u"A").Received = 5;
    clock.tick += 30000;
    file.fail = true;
    EXPECT_FALSE(log.WritePeriod(u"period"));
    file.fail = false;
    log.GetCounters(u"a").Received += 5;
    clock.tick += 60000;
    file.contents.clear();
    ASSERT_TRUE(log.WritePeriod(u"exit"));
    EXPECT_EQ(file.Body(), "2026-12-08 07:05\texit\t2\tA\t10\t0\r\n2026-12-08 07:05\texit\t2\t*TOTAL*\t10\t0\r\n");

    file.contents.clear();
    ASSERT_TRUE(log.WritePeriod(u"exit"));
    EXPECT_EQ(file.Body(), "2026-12-08 07:05\texit\t0\t*TOTAL*\t0\t0\r\n");
}

TEST_F(TrafficLogTest, NothingIsWrittenWithoutAPath)
{
    EXPECT_FALSE(log.AppendToFile(u"x"));
    EXPECT_FALSE(log.WritePeriod(u"period"));
    EXPECT_TRUE(file.contents.empty());
}

TEST(TrafficLogPath, BesideTheSettingsFileAfterItsBaseName)
{
    EXPECT_EQ(GetTrafficLogPath(u"C:\\ProgramData\\Quarnel\\cfg\\Kestrivane.ini"),
              u"C:\\ProgramData\\Quarnel\\cfg\\Kestrivane-traffic.log");
    EXPECT_EQ(GetTrafficLogPath(u"C:\\cfg\\KESTRIVANE.INI"), u"C:\\cfg\\Kestrivane-traffic.log");
    EXPECT_EQ(GetTrafficLogPath(u"D:\\contest\\cqww.cw.ini"), u"D:\\contest\\cqww.cw-traffic.log");
    EXPECT_EQ(GetTrafficLogPath(u"D:\\my.dir\\settings"), u"D:\\my.dir\\settings-traffic.log");
    EXPECT_EQ(GetTrafficLogPath(u"D:/a/Test.ini"), u"D:/a/Test-traffic.log");
    EXPECT_EQ(GetTrafficLogPath(u"local.ini"), u"local-traffic.log");
}
