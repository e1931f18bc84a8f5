#include <gtest/gtest.h>

#include "directory/ConnectionTestVerdict.h"

using namespace kv;

namespace {

std::u16string Answer(const std::string& greeting, uint32_t ms = 42)
{
    return DescribeConnectionTest(TestAnswered, 0, ms, DecodeGreeting(greeting));
}

} // namespace

TEST(DecodeGreeting, DropsTelnetCommandsAndKeepsAnEscapedIac)
{
    EXPECT_EQ(DecodeGreeting("\xff\xfd\x01Hello"), u"Hello");
    EXPECT_EQ(DecodeGreeting("a\xff\xff" "b"), u"a\u00ffb"); // not UTF-8: Latin-1
    EXPECT_EQ(DecodeGreeting("\xff\xfa\x18\x01 ab\xff\xf0y"), u"y"); // up to IAC SE
    EXPECT_EQ(DecodeGreeting("a\xff\xfa\x18 no end"), u"a");
    EXPECT_EQ(DecodeGreeting("a\xff\xf1" "b\xff"), u"ab"); // IAC NOP, then a lone IAC at the end
    EXPECT_EQ(DecodeGreeting("\xff\xfb"), u"");
    EXPECT_EQ(DecodeGreeting("Z\xc3\xbcrich"), u"Z\u00fcrich");
    EXPECT_EQ(DecodeGreeting(""), u"");
}

TEST(DecodeGreeting, AnEscapedIacInsideASubnegotiationIsData)
{
    EXPECT_EQ(DecodeGreeting("\xff\xfa\x18\xff\xff\xf0hidden\xff\xf0login: "), u"login: ");
    EXPECT_EQ(DecodeGreeting("\xff\xfa\x18\xff\xff\xff\xf0login: "), u"login: ");
    EXPECT_EQ(DecodeGreeting("a\xff\xfa\xff\xff\xf0 no end"), u"a");
}

TEST(ConnectionTestVerdict, NamesTheSoftwareOfAnyLineEvenBeforeALoginPrompt)
{
    EXPECT_EQ(Answer("Welcome\r\nrunning DXSpider V1.57\r\nlogin: "), u"Answers in 42 ms - DXSpider");
    EXPECT_EQ(Answer("AR-Cluster node\r\nW1XX de K1TTT arc6> "), u"Answers in 42 ms - AR-Cluster 6");
    EXPECT_EQ(Answer("AR-Cluster node\r\nW1XX de K1TTT arc > \a"), u"Answers in 42 ms - AR-Cluster 4");
    EXPECT_EQ(Answer("DX de K1TTT: dxspider spot\r\n"), u"Answers in 42 ms - software not named");
}

TEST(ConnectionTestVerdict, TellsALoginPromptFromOtherText)
{
    EXPECT_EQ(Answer("login: "), u"Answers in 42 ms - login prompt (software not named)");
    EXPECT_EQ(Answer("Hello\r\nPlease enter your CALL :\r\n\r\n"),
              u"Answers in 42 ms - login prompt (software not named)");
    EXPECT_EQ(Answer("Enter your callsign"), u"Answers in 42 ms - login prompt (software not named)");
    EXPECT_EQ(Answer("Hello there\r\n"), u"Answers in 42 ms - software not named");
    EXPECT_EQ(Answer(" \r\n\t\r\n"), u"Answers in 42 ms - nothing sent before the login");
    EXPECT_EQ(Answer("", 7), u"Answers in 7 ms - nothing sent before the login");
}

TEST(ConnectionTestVerdict, RecognisesWebAndSshServers)
{
    EXPECT_EQ(Answer("HTTP/1.1 408 Request Timeout\r\n\r\n"), u"Answers in 42 ms, but not like a cluster (HTTP/1.1)");
    EXPECT_EQ(Answer("ssh-2.0-OpenSSH_9.2\r\n"), u"Answers in 42 ms, but not like a cluster (ssh-2.0-OpenSSH_9.2)");
    EXPECT_EQ(Answer("SSH-2.0-X"), u"Answers in 42 ms, but not like a cluster (SSH-2.0-X)");
    EXPECT_EQ(Answer(" HTTP/1.1 200"), u"Answers in 42 ms - software not named");
}

TEST(ConnectionTestVerdict, ExplainsFailures)
{
    EXPECT_EQ(DescribeConnectionTest(TestNoAnswer, 0, 0, u""), u"No answer within 5 s");
    EXPECT_EQ(DescribeConnectionTest(TestRefused, 10061, 0, u""), u"Connection refused");
    EXPECT_EQ(DescribeConnectionTest(TestHostNotFound, 11001, 0, u""), u"Host name not found");
    EXPECT_EQ(DescribeConnectionTest(TestError, 10051, 0, u""), u"Connection error 10051");
    EXPECT_EQ(StatusOfResolveError(11004), TestHostNotFound);
    EXPECT_EQ(StatusOfResolveError(11002), TestError);
    EXPECT_EQ(StatusOfConnectError(10060), TestNoAnswer);
    EXPECT_EQ(DescribeConnectionTestStart(u"dx.example.net", 7300), u"Testing dx.example.net:7300...");
}

TEST(GreetingCollector, WaitsThreeSecondsForTheFirstByteThenOneSecondOfSilence)
{
    CGreetingCollector collector(1000);
    EXPECT_EQ(collector.WaitMs(1000), 3000u);
    EXPECT_EQ(collector.WaitMs(2500), 1500u);
    collector.Add("x", 1);
    EXPECT_EQ(collector.WaitMs(2500), 1000u);
    EXPECT_EQ(collector.WaitMs(3600), 400u);
    EXPECT_EQ(collector.WaitMs(4000), 0u);
    const std::string big(4095, 'a');
    collector.Add(big.data(), big.size());
    EXPECT_EQ(collector.WaitMs(1500), 0u);
}
