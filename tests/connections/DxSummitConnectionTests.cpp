#include <gtest/gtest.h>

#include <memory>

#include "base/Text.h"
#include "connections/DxSummitConnection.h"
#include "connections/LinkTable.h"
#include "connections/Links.h"
#include "tests/support/RecordingTransportListener.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;

// The DX Summit transport for real: WinINet over HTTPS against the local service of
// tests/peers/peer_dxsummit.py on port 443, whose certificate the test CA of tools/wine-env vouches for.
namespace {

constexpr unsigned kWaitMs = 15000;
// The requests' time-outs where a test waits for them to run out (20 s in use).
constexpr DWORD kShortTimeoutMs = 3000;

std::u16string DefaultSettingsFile()
{
    wchar_t path[MAX_PATH];
    ::ExpandEnvironmentStringsW(L"%ProgramData%\\Quarnel\\cfg\\Kestrivane.ini", path, MAX_PATH);
    return U16(path);
}

CConnectionSettings Settings()
{
    CConnectionSettings settings;
    settings.Name = u"Summit";
    settings.Type = ConnectionDxSummit;
    settings.Login = u"k8rqt";
    settings.DxSummitInterval = 1; // the settings never load less than 15 s; a test need not wait that long
    return settings;
}

// The line of spot id as the service's stand-in makes it: frequency 7000 + id + 0.25 kHz.
std::string LineOf(int id, const std::string& spotter)
{
    std::string head = "DX de " + spotter + ":";
    head.resize(17, ' ');
    const std::string frequency = std::to_string(7000 + id) + ".3";
    std::string comment = id % 5 == 0 ? "" : "id " + std::to_string(id);
    comment.resize(30, ' ');
    char time[8];
    std::snprintf(time, sizeof time, "%02d%02dZ", id / 60 % 24, id % 60);
    return head + " " + std::string(10 - frequency.size(), ' ') + frequency + "  N4XJZ        " + comment + " " +
           time + "\n";
}

std::string WebLine(int id) { return LineOf(id, "K8RQT-@"); }

class DxSummitConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::GetFileAttributesW(W(test::WineStateDir() + u"\\tls\\trusted")) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the test CA is not trusted on this machine (tools/wine-env needs root)";
        bool exists = false;
        const std::u16string host =
            ReadProfileStringEx(DefaultSettingsFile(), u"Links", u"DxSummitHost", exists);
        ASSERT_EQ(host, u"localhost");
        ClearLinkTable();
        SetLink(u"DxSummitHost", host);
    }
    void TearDown() override { ClearLinkTable(); }

    void StartPeer(const std::string& scenario, const std::string& params)
    {
        peer = std::make_unique<test::CTestPeer>("dxsummit", scenario, params);
        ASSERT_TRUE(peer->Ok()) << peer->Error();
    }
    bool WaitFor(const std::string& prefix, unsigned ms = kWaitMs)
    {
        return test::PumpUntil([&] { return listener.Saw(prefix); }, ms);
    }
    std::vector<std::string> PeerEvents(const std::string& kind)
    {
        std::vector<std::string> data;
        for (const auto& e : peer->Log())
            if (e.event == kind) data.push_back(e.data);
        return data;
    }

    test::CRecordingTransportListener listener;
    std::unique_ptr<test::CTestPeer> peer;
    std::unique_ptr<CDxSummitConnection> connection = std::make_unique<CDxSummitConnection>(&listener);
};

} // namespace

TEST_F(DxSummitConnectionTest, ReadsAndDeliversNewSpotsInIdOrder)
{
    StartPeer("feed", "newest=8,10 invalid=4 relayed=3 order=shuffle");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("text "));
    auto events = listener.Take();
    ASSERT_EQ(events.size(), 9u) << ::testing::PrintToString(events);
    EXPECT_EQ(events[0], "state 1");
    EXPECT_EQ(events[1], "info 339 Connecting to localhost");
    EXPECT_EQ(events[2], "state 2");
    EXPECT_EQ(events[3], "info 340 Connected to localhost");
    // Spot 3 is relayed (dropped without the all-spots switch); spot 4 is an invalid web spot, struck out in place.
    EXPECT_EQ(events[4], "raw " + WebLine(1) + WebLine(2));
    EXPECT_EQ(events[5], "text " + WebLine(1) + WebLine(2));
    EXPECT_EQ(events[6], "invalid DX de K8RQT-@:        7004.3  N0CALL       id 4                           0004Z\n"
                         "|Invalid DX Summit web spot (rules of the calls, frequency or comment)");
    const std::string rest = WebLine(5) + WebLine(6) + WebLine(7) + WebLine(8);
    EXPECT_EQ(events[7], "raw " + rest);
    EXPECT_EQ(events[8], "text " + rest);

    // The next reading asks for two and delivers the two new ones.
    ASSERT_TRUE(WaitFor("text "));
    events = listener.Take();
    EXPECT_EQ(events, (std::vector<std::string>{"raw " + WebLine(9) + WebLine(10), "text " + WebLine(9) + WebLine(10)}));
    const auto readings = PeerEvents("get");
    ASSERT_GE(readings.size(), 2u);
    EXPECT_EQ(readings[0].substr(0, 29), "/api/v1/spots?limit=100&refre");
    EXPECT_EQ(readings[1].substr(0, 27), "/api/v1/spots?limit=2&refre");
    // WinINet's byte counts reach the traffic log.
    unsigned received = 0, sent = 0;
    for (const auto& [r, s] : listener.traffic) received += r, sent += s;
    EXPECT_GT(received, 1000u);
    EXPECT_GT(sent, 100u);
    connection->Disconnect();
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 0", "info 341 Disconnected"}));
}

TEST_F(DxSummitConnectionTest, AGapIsReadAgainAndACompressedAnswerIsDecoded)
{
    StartPeer("feed", "newest=3,40 order=asc gzip=1");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("text "));
    listener.Take();
    ASSERT_TRUE(WaitFor("text "));
    std::string expected;
    for (int id = 4; id <= 40; ++id) expected += WebLine(id);
    const auto events = listener.Take();
    ASSERT_EQ(events.size(), 2u) << ::testing::PrintToString(events);
    EXPECT_EQ(events[0], "raw " + expected);
    const auto readings = PeerEvents("get");
    ASSERT_GE(readings.size(), 3u);
    EXPECT_EQ(readings[1].substr(0, 22), "/api/v1/spots?limit=2&");
    EXPECT_EQ(readings[2].substr(0, 23), "/api/v1/spots?limit=47&"); // 37 missing + 10
}

TEST_F(DxSummitConnectionTest, UnavailableServiceIsRetriedTwiceThenGivesUp)
{
    StartPeer("feed", "newest=5 fail=503 failfrom=1 failcount=3");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("error 386"));
    auto events = listener.Take();
    ASSERT_GE(events.size(), 4u);
    const std::vector<std::string> tail(events.end() - 3, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"info 394 DX Summit: HTTP 503 (retried at the next reading)", "state 3",
                                              "error 386 DX Summit: HTTP 503"}));
    EXPECT_EQ(PeerEvents("get").size(), 4u);
    EXPECT_FALSE(connection->IsActive());
}

TEST_F(DxSummitConnectionTest, TooManyRequestsIsRetriedAndRelayedSpotsComeWithTheSwitch)
{
    StartPeer("feed", "newest=5,5,7 relayed=6 fail=429 failfrom=1 failcount=1");
    CConnectionSettings settings = Settings();
    settings.DxSummitAllSpots = true;
    ASSERT_TRUE(connection->Connect(settings, 0, {}));
    ASSERT_TRUE(WaitFor("text "));
    listener.Take();
    ASSERT_TRUE(WaitFor("text "));
    const std::string block = LineOf(6, "DL1ABC") + WebLine(7);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"info 394 DX Summit: HTTP 429 (retried at the next reading)",
                                                         "raw " + block, "text " + block}));
}

TEST_F(DxSummitConnectionTest, NotFoundAndAnswersThatAreNoListStopAtOnce)
{
    StartPeer("feed", "fail=404 failcount=1");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("error 386"));
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to localhost", "state 3",
                                                         "error 386 DX Summit: HTTP 404"}));
    peer.reset();
    StartPeer("feed", "notarray=0");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("error 386"));
    EXPECT_EQ(listener.Take().back(), "error 386 DX Summit: unexpected answer (not a list of spots)");
}

TEST_F(DxSummitConnectionTest, PostsATypedSpot)
{
    StartPeer("feed", "newest=1");
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("text "));
    listener.Take();
    EXPECT_FALSE(connection->SendLine(u"DX 14025.0"));
    ASSERT_TRUE(connection->SendLine(u"DX 14025.0 n4xjz CQ \u00e9 test"));
    ASSERT_TRUE(WaitFor("info 387"));
    const auto events = listener.Take();
    EXPECT_EQ(events.front(), "error 389 Only spots can be sent to DX Summit: DX <frequency> <call> [comment]");
    EXPECT_EQ(events.back(), "info 387 Spot posted to DX Summit: N4XJZ 14025.0 CQ \xC3\xA9 test");
    const auto posts = PeerEvents("post");
    ASSERT_EQ(posts.size(), 1u);
    const std::string& post = posts[0];
    EXPECT_EQ(post.substr(0, 19), "POST /api/v1/spots\r");
    for (const char* header : {"Content-Type: application/json;charset=utf-8\r\n", "Origin: https://localhost\r\n",
                               "Referer: https://localhost/\r\n", "Cookie: callsign=K8RQT\r\n"})
        EXPECT_NE(post.find(header), std::string::npos) << header;
    EXPECT_EQ(post.substr(post.find("\r\n\r\n") + 4),
              "{\"de_call\": \"K8RQT\", \"dx_call\": \"N4XJZ\", \"frequency\": \"14025.0\", \"info\": \"CQ \xC3\xA9 test\"}");
}

TEST_F(DxSummitConnectionTest, DestroyedWhileARequestHangs)
{
    StartPeer("hang", "");
    connection->SetRequestTimeoutMs(kShortTimeoutMs);
    const int threadsBefore = CDxSummitWorker::RunningThreads();
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(test::PumpUntil([&] { return !PeerEvents("hang").empty(); }, kWaitMs));
    EXPECT_EQ(CDxSummitWorker::RunningThreads(), threadsBefore + 1);
    connection.reset();
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to localhost"}));
    // The thread ends by itself, without a window to report to.
    EXPECT_TRUE(test::PumpUntil([&] { return CDxSummitWorker::RunningThreads() == threadsBefore; }, 30000));
    test::PumpFor(200);
    EXPECT_TRUE(listener.Take().empty());
}

TEST_F(DxSummitConnectionTest, DisconnectedWhileARequestHangsAndThenTheReadingTimesOut)
{
    StartPeer("hang", "");
    connection->SetRequestTimeoutMs(kShortTimeoutMs);
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(test::PumpUntil([&] { return !PeerEvents("hang").empty(); }, kWaitMs));
    connection->Disconnect();
    EXPECT_TRUE(test::PumpUntil([&] { return CDxSummitWorker::RunningThreads() == 0; }, 30000));
    test::PumpFor(200);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to localhost", "state 0",
                                                         "info 341 Disconnected"}));

    // Left alone, the reading gives up after the receive time-out.
    listener.traffic.clear();
    ASSERT_TRUE(connection->Connect(Settings(), 0, {}));
    ASSERT_TRUE(WaitFor("error 386", 40000));
    const auto events = listener.Take();
    // Windows tells a time-out; Wine's WinINet tells it as a connection that was aborted.
    EXPECT_TRUE(events.back() == "error 386 DX Summit: error 12002: timed out" ||
                events.back() == "error 386 DX Summit: error 12030: connection reset")
        << events.back();
    EXPECT_EQ(events[events.size() - 2], "state 3");
}
