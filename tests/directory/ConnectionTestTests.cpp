#include <gtest/gtest.h>

#include <memory>

#include "base/Format.h"
#include "directory/ConnectionTest.h"
#include "tests/support/WinTestSupport.h"
#include "win/MessageOnlyWindow.h"

using namespace kv;

// The probe for real: Winsock against the targets of tests/peers/peer_probe.py and the fake cluster of
// tests/peers/peer_cluster.py on loopback.
namespace {

struct Probed {
    std::unique_ptr<ConnectionTestResult> result;
    std::string sent; // what the target received from the probe
    std::u16string verdict;
};

Probed ProbeTarget(const std::string& scenario, const std::string& kind = "probe", const std::string& params = {},
                   const std::u16string& host = u"127.0.0.1")
{
    test::CTestPeer peer(kind, scenario, params);
    EXPECT_TRUE(peer.Ok()) << peer.Error();
    ConnectionTestRequest request;
    request.RequestId = 7;
    request.Host = host;
    request.Port = peer.Port();
    Probed probed;
    probed.result = RunConnectionTest(request);
    probed.verdict = DescribeConnectionTest(*probed.result);
    test::PumpFor(200); // the target sees the probe's end
    for (const auto& event : peer.Log())
        if (event.event == "recv") probed.sent += event.data;
    return probed;
}

} // namespace

TEST(ConnectionTest, NamesTheSoftwareOfANodeThatNegotiatesAndAsksForTheCall)
{
    const Probed probed = ProbeTarget("banner");
    EXPECT_EQ(probed.result->RequestId, 7);
    EXPECT_EQ(probed.result->Status, TestAnswered);
    EXPECT_EQ(probed.result->Greeting, u"Welcome to the CC Cluster node W1XX\r\nPlease enter your call: ");
    EXPECT_LT(probed.result->ElapsedMs, 1000u);
    EXPECT_EQ(probed.verdict, FormatText(u"Answers in %d ms - CC Cluster", probed.result->ElapsedMs));
    EXPECT_EQ(probed.sent, ""); // the probe answers no Telnet option and types nothing
}

TEST(ConnectionTest, ReadsAGreetingThatComesInSmallPieces)
{
    const Probed probed = ProbeTarget("greeting", "cluster", "software=arcluster");
    EXPECT_EQ(probed.result->Greeting,
              u"AR-Cluster node GB7TST\r\nWelcome to AR-Cluster Telnet\r\nPlease enter your call: ");
    EXPECT_EQ(probed.verdict, FormatText(u"Answers in %d ms - AR-Cluster", probed.result->ElapsedMs));
}

TEST(ConnectionTest, ALoginPromptWithoutLineEndIsALoginPrompt)
{
    const Probed probed = ProbeTarget("greeting", "cluster", "software=dxspider");
    EXPECT_EQ(probed.result->Greeting, u"login: ");
    EXPECT_EQ(probed.verdict,
              FormatText(u"Answers in %d ms - login prompt (software not named)", probed.result->ElapsedMs));
}

TEST(ConnectionTest, WebAndSshServersAreNotClusters)
{
    const Probed web = ProbeTarget("web");
    EXPECT_EQ(web.verdict, FormatText(u"Answers in %d ms, but not like a cluster (HTTP/1.1)", web.result->ElapsedMs));
    const Probed ssh = ProbeTarget("ssh");
    EXPECT_EQ(ssh.verdict,
              FormatText(u"Answers in %d ms, but not like a cluster (SSH-2.0-OpenSSH_9.2p1)", ssh.result->ElapsedMs));
}

TEST(ConnectionTest, CollectsUntilOneSecondOfSilenceOrThreeSeconds)
{
    const Probed drip = ProbeTarget("drip");
    EXPECT_EQ(drip.result->Greeting, u"first\r\nsecond\r\n");
    const uint64_t start = ::GetTickCount64();
    const Probed silent = ProbeTarget("silent");
    EXPECT_GE(::GetTickCount64() - start, 2900u);
    EXPECT_EQ(silent.verdict, FormatText(u"Answers in %d ms - nothing sent before the login", silent.result->ElapsedMs));
}

TEST(ConnectionTest, AClosedPortRefusesAndADeafAddressRunsIntoTheLimit)
{
    const Probed closed = ProbeTarget("refused", "cluster");
    EXPECT_EQ(closed.result->Status, TestRefused);
    EXPECT_EQ(closed.result->ErrorCode, WSAECONNREFUSED);
    EXPECT_EQ(closed.verdict, u"Connection refused");
    const uint64_t start = ::GetTickCount64();
    const Probed deaf = ProbeTarget("neveraccepts", "cluster");
    EXPECT_GE(::GetTickCount64() - start, 4900u);
    EXPECT_EQ(deaf.result->Status, TestNoAnswer);
    EXPECT_EQ(deaf.result->ErrorCode, 0);
    EXPECT_EQ(deaf.verdict, u"No answer within 5 s");
}

// The resolver would read "010" as octal (127.0.0.8, where nothing listens); the node listens on 127.0.0.10.
TEST(ConnectionTest, ADottedQuadWithLeadingZerosReachesTheDecimalAddress)
{
    const Probed probed = ProbeTarget("banner", "probe", "address=127.0.0.10", u"127.000.000.010");
    EXPECT_EQ(probed.result->Status, TestAnswered) << probed.result->ErrorCode;
    EXPECT_EQ(probed.verdict, FormatText(u"Answers in %d ms - CC Cluster", probed.result->ElapsedMs));
}

TEST(ConnectionTest, TheThreadPostsItsResultToTheRequestingWindow)
{
    test::CTestPeer peer("probe", "ssh");
    ASSERT_TRUE(peer.Ok()) << peer.Error();
    std::unique_ptr<ConnectionTestResult> received;
    CMessageOnlyWindow window;
    ASSERT_TRUE(window.Create([&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg != WM_APP_CONNECTION_TEST_RESULT) return false;
        received = TakeRecord<ConnectionTestResult>(lParam);
        return true;
    }));
    auto request = std::make_unique<ConnectionTestRequest>();
    request->Window = window.Handle();
    request->RequestId = 12;
    request->Host = u"localhost";
    request->Port = peer.Port();
    ASSERT_TRUE(StartConnectionTest(std::move(request)));
    ASSERT_TRUE(test::PumpUntil([&] { return received != nullptr; }, 10000));
    EXPECT_EQ(received->RequestId, 12);
    EXPECT_EQ(received->Status, TestAnswered);
    EXPECT_EQ(received->Greeting, u"SSH-2.0-OpenSSH_9.2p1 Debian-2+deb12u3\r\n");
}
