#include <gtest/gtest.h>

#include <optional>

#include "base/Format.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/DxSummitAnswer.h"
#include "connections/DxSummitPoller.h"
#include "connections/LinkTable.h"
#include "tests/support/RecordingTransportListener.h"

using namespace kv;

namespace {

// The poller with a fake worker: requests are recorded, results are handed in by the test.
class CTestPoller : public CDxSummitPoller {
public:
    using CDxSummitPoller::CDxSummitPoller;

    bool windowWorks = true;
    bool threadStarts = true;
    bool worker = false;
    unsigned workerGeneration = 0;
    int workerStops = 0;
    std::vector<DxSummitRequest> requests;
    std::optional<unsigned> timerMs;
    uint64_t nowMs = 1765110896123;

    // The answer to the last reading, from the current worker.
    void Answer(const std::string& body, uint32_t status = 200, uint32_t error = 0)
    {
        DxSummitResult result;
        result.generation = workerGeneration;
        result.status = status;
        result.error = error;
        result.body = body;
        OnRequestDone(result);
    }
    void Fail(uint32_t status) { Answer("", status); }
    std::string LastPath() const { return requests.empty() ? "" : Utf16ToUtf8(requests.back().path); }

protected:
    bool CreateHiddenWindow() override { return windowWorks; }
    bool StartWorker(unsigned generation, const std::u16string& host) override
    {
        if (!threadStarts) return false;
        worker = true;
        workerGeneration = generation;
        return true;
    }
    bool HasWorker() const override { return worker; }
    void StopWorker() override
    {
        worker = false;
        ++workerStops;
    }
    void QueueRequest(const DxSummitRequest& request) override { requests.push_back(request); }
    void StartReadingTimer(unsigned periodMs) override { timerMs = periodMs; }
    void StopReadingTimer() override { timerMs.reset(); }
    uint64_t UtcMilliseconds() const override { return nowMs; }
};

std::string WebSpot(uint64_t id, const std::string& dx = "N4XJZ")
{
    return FormatText(R"({"id": %llu, "de_call": "K8RQT-@", "dx_call": "%s", "frequency": 14025, "info": "n%llu", )"
                      R"("time": "2026-12-07T12:34:56"})",
                      id, dx, id);
}

std::string AnswerOf(std::initializer_list<uint64_t> ids)
{
    std::string body = "[";
    for (uint64_t id : ids) body += (body.size() > 1 ? ", " : "") + WebSpot(id);
    return body + "]";
}

std::string Range(uint64_t from, uint64_t to)
{
    std::string body = "[";
    for (uint64_t id = to; id >= from; --id) body += (body.size() > 1 ? ", " : "") + WebSpot(id);
    return body + "]";
}

std::string LineOf(uint64_t id)
{
    return "DX de K8RQT-@:       14025.0  N4XJZ        n" + std::to_string(id) +
           std::string(29 - std::to_string(id).size(), ' ') + " 1234Z\n";
}

CConnectionSettings Settings(const std::u16string& login = u"k8rqt")
{
    CConnectionSettings settings;
    settings.Name = u"Summit";
    settings.Type = ConnectionDxSummit;
    settings.Login = login;
    return settings;
}

class DxSummitPollerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearLinkTable();
        SetLink(u"DxSummitHost", u"summit.test");
    }
    void TearDown() override { ClearLinkTable(); }

    // Connected after a first answer of spots 1..3.
    void ConnectAndRead()
    {
        ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
        poller.Answer(AnswerOf({3, 1, 2}));
        ASSERT_TRUE(poller.IsConnected());
        listener.Take();
    }

    test::CRecordingTransportListener listener;
    CTestPoller poller{&listener};
};

} // namespace

TEST_F(DxSummitPollerTest, TheReadingCycle)
{
    ASSERT_TRUE(poller.Connect(Settings(), 500, {u"ignored"}));
    EXPECT_FALSE(poller.Connect(Settings(), 0, {})); // already active
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=100&refresh=1765110896123");
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to summit.test"}));
    EXPECT_FALSE(poller.timerMs.has_value());

    // The first answer: every spot, in id order, as raw bytes first and then as text.
    poller.Answer(AnswerOf({3, 1, 2}));
    const std::string block = LineOf(1) + LineOf(2) + LineOf(3);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 2", "info 340 Connected to summit.test",
                                                         "raw " + block, "text " + block}));
    EXPECT_EQ(poller.timerMs, 15000u);
    EXPECT_EQ(poller.LastId(), 3u);
    EXPECT_EQ(poller.NextLimit(), 2);

    // The timer reads with the next limit; a reading outstanding holds the next tick back.
    poller.OnTimer();
    poller.OnTimer();
    ASSERT_EQ(poller.requests.size(), 2u);
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=2&refresh=1765110896123");
    poller.Answer(AnswerOf({4, 3}));
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"raw " + LineOf(4), "text " + LineOf(4)}));
    EXPECT_EQ(poller.NextLimit(), 2);

    // Nothing new: nothing delivered, and the next reading asks for one spot.
    poller.OnTimer();
    poller.Answer(AnswerOf({4}));
    poller.OnTimer();
    EXPECT_TRUE(listener.Take().empty());
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=1&refresh=1765110896123");
    poller.Answer("[]");
    EXPECT_EQ(poller.LastId(), 4u);
}

TEST_F(DxSummitPollerTest, InvalidWebSpotsKeepTheirPlaceAndRelayedSpotsNeedTheSwitch)
{
    ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
    const std::string relayed = R"({"id": 4, "de_call": "DL1ABC", "dx_call": "N4XJZ", "frequency": "7025.0"})";
    poller.Answer("[" + WebSpot(1) + ", " + WebSpot(2, "N0CALL") + ", " + WebSpot(3) + ", " + relayed + "]");
    const auto events = listener.Take();
    ASSERT_EQ(events.size(), 9u) << ::testing::PrintToString(events);
    EXPECT_EQ(events[4], "raw " + LineOf(1));
    EXPECT_EQ(events[5], "text " + LineOf(1));
    EXPECT_EQ(events[6], "invalid DX de K8RQT-@:       14025.0  N0CALL       n2                             1234Z\n"
                         "|Invalid DX Summit web spot (rules of the calls, frequency or comment)");
    EXPECT_EQ(events[7], "raw " + LineOf(3)); // the relayed spot 4 is dropped without the switch
    EXPECT_EQ(events[8], "text " + LineOf(3));
    EXPECT_EQ(poller.LastId(), 4u);

    CConnectionSettings all = Settings();
    all.DxSummitAllSpots = true;
    poller.ApplySettings(all);
    poller.OnTimer();
    poller.Answer(R"([{"id": 5, "de_call": "DL1ABC", "dx_call": "N4XJZ", "frequency": "7025.0"}])");
    EXPECT_EQ(listener.Take().at(0), "raw DX de DL1ABC:         7025.0  N4XJZ                                       0000Z\n");
}

TEST_F(DxSummitPollerTest, SpotsWithoutAUsableIdAreInvalidAndNeverMoveTheLastId)
{
    CConnectionSettings all = Settings();
    all.DxSummitAllSpots = true;
    ASSERT_TRUE(poller.Connect(all, 0, {}));
    const std::string web = R"("de_call": "K8RQT-@", "dx_call": "N4XJZ", "frequency": 14025, "info": "x"})";
    const std::string relayed = R"("de_call": "DL1ABC", "dx_call": "N4XJZ", "frequency": 7025})";
    const std::string bad = "{" + web + R"(, {"id": 7.5, )" + web + R"(, {"id": 9e18, )" + relayed +
                            R"(, {"id": 0, )" + relayed + R"(, {"id": -3, )" + relayed +
                            R"(, {"id": 9007199254740994, )" + relayed;
    poller.Answer("[" + WebSpot(2) + ", " + bad + "]");
    const std::vector<std::string> events = listener.Take();
    ASSERT_EQ(events.size(), 8u) << ::testing::PrintToString(events);
    EXPECT_EQ(events[4].substr(0, 15), "invalid DX de K"); // the web spots without an id and with 7.5
    EXPECT_EQ(events[5].substr(0, 15), "invalid DX de K");
    EXPECT_EQ(events[6], "raw " + LineOf(2)); // the relayed spots with a bad id are dropped
    EXPECT_EQ(poller.LastId(), 2u);
    EXPECT_EQ(poller.NextLimit(), 2);

    poller.OnTimer();
    poller.Answer("[" + WebSpot(3) + ", " + bad + ", " + WebSpot(2) + "]");
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"raw " + LineOf(3), "text " + LineOf(3)}));
    EXPECT_EQ(poller.LastId(), 3u);

    std::vector<DxSummitSpot> spots;
    ASSERT_TRUE(ParseDxSummitSpots(R"([{"id": 9007199254740992}, {"id": 1}, {"id": "12"}])", spots));
    EXPECT_EQ(spots[0].id, kMaxDxSummitSpotId); // 2^53 is still usable
    EXPECT_EQ(spots[1].id, 1u);
    EXPECT_EQ(spots[2].id, 12u);
}

TEST_F(DxSummitPollerTest, GapsAreReread)
{
    ConnectAndRead();
    poller.OnTimer();
    poller.Answer(AnswerOf({10, 9})); // 7 new spots, 2 in the answer: read again with 7 + 10
    EXPECT_TRUE(listener.Take().empty());
    EXPECT_EQ(poller.LastId(), 3u);
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=17&refresh=1765110896123");
    poller.Answer(Range(1, 10));
    const auto events = listener.Take();
    ASSERT_EQ(events.size(), 2u);
    std::string block;
    for (uint64_t id = 4; id <= 10; ++id) block += LineOf(id);
    EXPECT_EQ(events[0], "raw " + block);
    EXPECT_EQ(poller.NextLimit(), 8);

    // Three re-readings in a row, then what is at hand is delivered with message 391.
    poller.OnTimer();
    for (int i = 0; i < 3; ++i) poller.Answer(AnswerOf({30, 29}));
    EXPECT_TRUE(listener.Take().empty());
    EXPECT_EQ(poller.requests.size(), 7u);
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=30&refresh=1765110896123");
    poller.Answer(AnswerOf({30, 29}));
    const auto missed = listener.Take();
    ASSERT_EQ(missed.size(), 3u);
    EXPECT_EQ(missed[0],
              "error 391 DX Summit: 18 spot(s) missed (more than 200 new spots between two readings)");
    EXPECT_EQ(missed[1], "raw " + LineOf(29) + LineOf(30));
    EXPECT_EQ(poller.LastId(), 30u);
}

TEST_F(DxSummitPollerTest, AReadingOf200IsNotRereadAgain)
{
    ConnectAndRead();
    poller.OnTimer();
    poller.Answer(AnswerOf({1000, 999})); // 997 missing: re-read with the most there is
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=200&refresh=1765110896123");
    poller.Answer(Range(801, 1000));
    const auto events = listener.Take();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0],
              "error 391 DX Summit: 797 spot(s) missed (more than 200 new spots between two readings)");
    EXPECT_EQ(poller.NextLimit(), 200);
    EXPECT_EQ(poller.LastId(), 1000u);
}

TEST_F(DxSummitPollerTest, TheRetryPolicy)
{
    ConnectAndRead();
    poller.OnTimer();
    poller.Fail(503);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"info 394 DX Summit: HTTP 503 (retried at the next reading)"}));
    poller.OnTimer();
    poller.Fail(503); // the second in a row is silent
    EXPECT_TRUE(listener.Take().empty());
    poller.OnTimer();
    poller.Fail(503);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 3", "error 386 DX Summit: HTTP 503"}));
    EXPECT_EQ(poller.workerStops, 1);
    EXPECT_FALSE(poller.timerMs.has_value());

    // A success in between starts the count again; 429, 408 and network errors are retried too.
    ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
    EXPECT_EQ(poller.LastPath(), "/api/v1/spots?limit=2&refresh=1765110896123"); // continues after spot 3
    poller.Answer("[]");
    listener.Take();
    for (uint32_t status : {429u, 408u, 0u, 429u}) {
        poller.OnTimer();
        if (status)
            poller.Fail(status);
        else
            poller.Answer("[]");
    }
    for (int i = 0; i < 2; ++i) {
        poller.OnTimer();
        poller.Answer("", 0, 12002);
    }
    const auto events = listener.Take();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], "info 394 DX Summit: HTTP 429 (retried at the next reading)");
    EXPECT_EQ(events[1], "info 394 DX Summit: HTTP 429 (retried at the next reading)");
    EXPECT_EQ(events[2], "state 3");
    EXPECT_EQ(events[3], "error 386 DX Summit: " + Utf16ToUtf8(FormatText(LoadText(1300), 12002u, LoadText(1302))));
}

TEST_F(DxSummitPollerTest, FailuresThatStopAtOnce)
{
    ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
    poller.Fail(503); // while connecting nothing is retried
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to summit.test", "state 3",
                                                         "error 386 DX Summit: HTTP 503"}));
    ConnectAndRead();
    poller.OnTimer();
    poller.Fail(404);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 3", "error 386 DX Summit: HTTP 404"}));
    ConnectAndRead();
    poller.OnTimer();
    poller.Answer(R"({"error": "rate limited"})");
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "state 3", "error 386 DX Summit: unexpected answer (not a list of spots)"}));
    EXPECT_EQ(poller.LastId(), 3u); // kept across stops
}

TEST_F(DxSummitPollerTest, LateResultsAreCountedAndIgnored)
{
    ConnectAndRead();
    poller.OnTimer();
    const unsigned old = poller.workerGeneration;
    poller.Disconnect();
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 0", "info 341 Disconnected"}));
    poller.Disconnect(); // nothing more
    EXPECT_TRUE(listener.Take().empty());

    DxSummitResult late;
    late.generation = old;
    late.body = AnswerOf({9, 8, 7, 6, 5, 4});
    late.bytesReceived = (uint64_t(1) << 32) + 700;
    late.bytesSent = 300;
    listener.traffic.clear();
    poller.OnRequestDone(late);
    EXPECT_EQ(listener.traffic, (std::vector<std::pair<unsigned, unsigned>>{{700, 300}}));
    EXPECT_TRUE(listener.Take().empty());

    // Nor does it count after a new start: the generation changed.
    ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
    EXPECT_NE(poller.workerGeneration, old);
    listener.Take();
    poller.OnRequestDone(late);
    EXPECT_TRUE(listener.Take().empty());
    EXPECT_EQ(poller.LastId(), 3u);
}

TEST_F(DxSummitPollerTest, AnAnswerIsDroppedWhenThePageDisconnectsOnConnected)
{
    listener.onState = [&](int state) {
        if (state == int(TransportState::Connected)) poller.Disconnect();
    };
    ASSERT_TRUE(poller.Connect(Settings(), 0, {}));
    poller.Answer(AnswerOf({1}));
    const auto events = listener.Take();
    EXPECT_EQ(events.back(), "info 340 Connected to summit.test");
    EXPECT_FALSE(poller.timerMs.has_value());
    for (const auto& e : events) EXPECT_NE(e.substr(0, 4), "raw ");
}

TEST_F(DxSummitPollerTest, ConnectFailsWhenTheThreadOrTheWindowCannotStart)
{
    poller.threadStarts = false;
    EXPECT_FALSE(poller.Connect(Settings(), 0, {}));
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"state 1", "info 339 Connecting to summit.test", "state 3",
                                                         "error 386 DX Summit: unable to start the network thread"}));
    EXPECT_TRUE(poller.requests.empty());
    poller.windowWorks = false;
    poller.threadStarts = true;
    EXPECT_FALSE(poller.Connect(Settings(), 0, {}));
    EXPECT_TRUE(listener.Take().empty());
}

TEST_F(DxSummitPollerTest, TheReadingIntervalFollowsTheSettings)
{
    CConnectionSettings settings = Settings();
    settings.DxSummitInterval = 60;
    poller.ApplySettings(settings); // disconnected: waits for the next connection
    EXPECT_FALSE(poller.timerMs.has_value());
    ASSERT_TRUE(poller.Connect(settings, 0, {}));
    poller.Answer("[]");
    EXPECT_EQ(poller.timerMs, 60000u);
    settings.DxSummitInterval = 120;
    poller.ApplySettings(settings);
    EXPECT_EQ(poller.timerMs, 120000u);
}

TEST_F(DxSummitPollerTest, PostingATypedSpot)
{
    EXPECT_FALSE(poller.SendLine(u"DX 14025 N4XJZ")); // not connected
    poller.Connect(Settings(u"  k8rqt "), 0, {});
    poller.Answer("[]");
    listener.Take();
    EXPECT_TRUE(poller.CanSendLines());
    const size_t readings = poller.requests.size();

    ASSERT_TRUE(poller.SendLine(u"dx n4xjz 14025.0  CQ \u00e9"));
    ASSERT_EQ(poller.requests.size(), readings + 1);
    const DxSummitRequest& post = poller.requests.back();
    EXPECT_TRUE(post.isPost);
    EXPECT_EQ(post.path, u"/api/v1/spots");
    EXPECT_EQ(post.headers, u"Content-Type: application/json;charset=utf-8\r\nOrigin: https://summit.test\r\n"
                            u"Referer: https://summit.test/\r\nCookie: callsign=K8RQT\r\n");
    EXPECT_EQ(post.body, "{\"de_call\": \"K8RQT\", \"dx_call\": \"N4XJZ\", \"frequency\": \"14025.0\", \"info\": "
                         "\"CQ \xC3\xA9\"}");
    EXPECT_EQ(post.text, u"N4XJZ 14025.0 CQ \u00e9");

    DxSummitResult result;
    result.generation = poller.workerGeneration;
    result.isPost = true;
    result.text = post.text;
    result.status = 201;
    poller.OnRequestDone(result);
    result.status = 500;
    poller.OnRequestDone(result);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "info 387 Spot posted to DX Summit: N4XJZ 14025.0 CQ \xC3\xA9",
                                   "error 388 Spot not posted to DX Summit: N4XJZ 14025.0 CQ \xC3\xA9 (HTTP 500)"}));
    // A post leaves the reading alone: the timer still reads.
    poller.OnTimer();
    EXPECT_FALSE(poller.requests.back().isPost);

    EXPECT_FALSE(poller.SendLine(u"DX 14025"));
    poller.ApplySettings(Settings(u"  "));
    EXPECT_FALSE(poller.CanSendLines());
    EXPECT_FALSE(poller.SendLine(u"DX 14025 N4XJZ"));
    EXPECT_EQ(listener.Take(),
              (std::vector<std::string>{
                  "error 389 Only spots can be sent to DX Summit: DX <frequency> <call> [comment]",
                  "error 390 No login (callsign) in the settings: the spot cannot be posted to DX Summit"}));
    EXPECT_FALSE(poller.AcceptsCommands());
}
