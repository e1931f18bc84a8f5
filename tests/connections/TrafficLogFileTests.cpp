#include <gtest/gtest.h>

#include "connections/CTrafficLogFile.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"
#include "win/SystemClock.h"

using namespace kv;
using kv::test::CTempDir;
using kv::test::ReadFileBytes;

namespace {

class TrafficLogFileTest : public testing::Test {
protected:
    CTempDir dir;
    CSystemClock clock;
    CTrafficLogFile file;
    CTrafficLog log{clock, file};

    void TearDown() override { SetTrafficLogOn(false); }

    std::u16string SettingsWith(const std::u16string& name, const std::u16string& trafficLog)
    {
        const std::u16string path = dir.File(name);
        CIniFile(path).Write(u"General", u"TrafficLog", trafficLog);
        return path;
    }
};

// "yyyy-mm-dd hh:mm" followed by the rest of the line.
void ExpectLine(const std::string& line, const std::string& rest)
{
    ASSERT_GE(line.size(), 16u);
    for (size_t i : {4u, 7u}) EXPECT_EQ(line[i], '-');
    EXPECT_EQ(line[10], ' ');
    EXPECT_EQ(line[13], ':');
    EXPECT_EQ(line.substr(16), rest);
}

} // namespace

TEST_F(TrafficLogFileTest, OffUnlessTheSettingIsNotZero)
{
    EXPECT_FALSE(log.Start(SettingsWith(u"Kestrivane.ini", u"0")));
    EXPECT_FALSE(log.Start(dir.File(u"Missing.ini")));
    EXPECT_FALSE(log.Enabled());
    EXPECT_FALSE(IsTrafficLogOn());
    EXPECT_EQ(::GetFileAttributesW(W(dir.File(u"Kestrivane-traffic.log"))), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TrafficLogFileTest, TheFileByteForByteWithHeaderTotalsAndUtf8)
{
    ASSERT_TRUE(log.Start(SettingsWith(u"KESTRIVANE.INI", u"2")));
    const std::u16string path = dir.File(u"Kestrivane-traffic.log");
    EXPECT_EQ(log.Path(), path);
    std::string bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes.starts_with(CTrafficLog::Header()));
    ExpectLine(bytes.substr(CTrafficLog::Header().size()), "\tstart\t0\t*TOTAL*\t0\t0\r\n");

    log.GetCounters(u"K\u00f8benhavn").Received += 1234;
    log.GetCounters(u"k\u00f8BENHAVN").Sent += 56;
    ASSERT_TRUE(log.WritePeriod(u"exit"));
    bytes = ReadFileBytes(path);
    const size_t first = bytes.find("\r\n", CTrafficLog::Header().size()) + 2;
    const size_t second = bytes.find("\r\n", first) + 2;
    ExpectLine(bytes.substr(first, second - first), "\texit\t0\tK\xC3\xB8" "benhavn\t1234\t56\r\n");
    ExpectLine(bytes.substr(second), "\texit\t0\t*TOTAL*\t1234\t56\r\n");
}

TEST_F(TrafficLogFileTest, ADeletedLogStartsAgainWithItsHeader)
{
    ASSERT_TRUE(log.Start(SettingsWith(u"cqww.ini", u"1")));
    const std::u16string path = dir.File(u"cqww-traffic.log");
    ASSERT_TRUE(ReadFileBytes(path).starts_with(CTrafficLog::Header()));
    ASSERT_TRUE(::DeleteFileW(W(path)));
    ASSERT_TRUE(log.WritePeriod(u"period"));
    const std::string bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes.starts_with(CTrafficLog::Header()));
    ExpectLine(bytes.substr(CTrafficLog::Header().size()), "\tperiod\t0\t*TOTAL*\t0\t0\r\n");
}

TEST_F(TrafficLogFileTest, OthersMayReadWriteAndDeleteTheLogMeanwhile)
{
    ASSERT_TRUE(log.Start(SettingsWith(u"a.ini", u"1")));
    const std::u16string path = dir.File(u"a-traffic.log");
    HANDLE reader = ::CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(log.WritePeriod(u"period"));
    ::CloseHandle(reader);
}

TEST_F(TrafficLogFileTest, AnUnwritableLogKeepsItsCountsForTheNextBlock)
{
    CTrafficLog lost{clock, file};
    lost.Begin(dir.File(u"no such folder\\x-traffic.log"));
    lost.GetCounters(u"A").Received = 9;
    EXPECT_FALSE(lost.WritePeriod(u"period"));
    EXPECT_EQ(lost.GetCounters(u"a").Received, 9u);
}
