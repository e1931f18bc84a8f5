#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "base/Platform.h"
#include "connections/CConnectionController.h"
#include "connections/ILoggerLink.h"
#include "spots/CSentSpotCache.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;

namespace {

class FakeClock : public IClock {
public:
    uint64_t now = 5'000'000;
    uint64_t TickCount() const override { return now; }
    UtcTime NowUtc() const override { return {2026, 12, 8, 14, 7, 0, 0}; }
};

class FakeTransport : public IClusterTransport {
public:
    using IClusterTransport::IClusterTransport;
    int connects = 0;
    bool startsConnecting = true;
    std::u16string unreadBacklog; // refuses each line for this lasting cause, as a node that does not read makes it
    std::vector<std::u16string> sent;

    bool Connect(const CConnectionSettings&, int, const std::vector<std::u16string>&) override
    {
        ++connects;
        if (!startsConnecting || IsActive()) return false;
        Report(TransportState::Connecting);
        return true;
    }
    void Disconnect() override { Report(TransportState::Disconnected); }
    void ApplySettings(const CConnectionSettings&) override {}
    bool SendLine(const std::u16string& line) override
    {
        if (!IsConnected() || !unreadBacklog.empty()) return false;
        sent.push_back(line);
        return true;
    }
    std::u16string SendRefusal() const override { return unreadBacklog; }
    bool AcceptsCommands() const override { return true; }
    bool CanSendLines() const override { return true; }
    void Report(TransportState state) { SetState(state); }
};

struct PaneBlock {
    std::u16string text, reason;
    int kind;
};

class FakeHost : public IConnectionPageHost {
public:
    std::map<unsigned, unsigned> timers;
    std::vector<PaneBlock> pane;
    std::u16string status;
    int endedPosts = 0;
    bool internet = true;

    ITimerHost* clockTimers = nullptr; // where the timers also run on a clock, when set

    bool StartTimer(unsigned id, unsigned periodMs) override
    {
        if (clockTimers) clockTimers->StartTimer(id, periodMs);
        return timers[id] = periodMs, true;
    }
    void StopTimer(unsigned id) override
    {
        if (clockTimers) clockTimers->StopTimer(id);
        timers.erase(id);
    }
    void AppendText(const std::u16string& text, int kind) override { pane.push_back({text, u"", kind}); }
    void AddText(const std::u16string& text, const std::u16string& reason, int kind) override
    {
        pane.push_back({text, reason, kind});
    }
    bool HasWindow() const override { return true; }
    void PostTransportEnded() override { ++endedPosts; }
    std::unique_ptr<IClusterTransport> MakeTransport(ConnectionType, ITransportListener& listener) override
    {
        return std::make_unique<FakeTransport>(&listener);
    }
    void SetStatusText(const std::u16string& text) override { status = text; }
    bool IsInternetReachable() override { return internet; }
    bool PaneExists() const override { return true; }
    bool PaneEndsInPartialLine() const override { return !pane.empty() && pane.back().text.back() != u'\n'; }
    void ScrollPaneToEnd() override {}
    bool Running(unsigned id) const { return timers.count(id) != 0; }
    std::u16string Shown() const
    {
        std::u16string all;
        for (const auto& block : pane) all += block.text;
        return all;
    }
};

class FakeLogger : public ILoggerLink {
public:
    bool open = true;
    std::vector<std::string> packets;
    std::vector<std::pair<std::u16string, int>> announcements;
    bool IsOpen() const override { return open; }
    bool SendReceivedSpot(std::string_view lines, std::u16string&) override
    {
        packets.emplace_back(lines);
        return true;
    }
    bool SendSkimmerClient(const std::u16string& station, int radio, std::u16string&) override
    {
        announcements.emplace_back(station, radio);
        return true;
    }
};

class FakeEvents : public IConnectionEvents {
public:
    std::vector<std::pair<bool, std::u16string>> log;
    int stateChanges = 0;
    std::vector<std::pair<std::u16string, bool>> lost;
    std::vector<std::u16string> commands;
    void OnConnectionStateChanged(CConnectionPage*) override { ++stateChanges; }
    void OnConnectionLogMessage(CConnectionPage*, bool isError, const std::u16string& text) override
    {
        log.emplace_back(isError, text);
    }
    void OnSendLinesChanged(CConnectionPage*) override {}
    void OnNetworkStatus(const std::u16string&) override {}
    void OnCommandLine(CConnectionPage*, const std::u16string& line) override { commands.push_back(line); }
    void OnConnectionLost(CConnectionPage*, const std::u16string& reason, bool reconnecting) override
    {
        lost.emplace_back(reason, reconnecting);
    }
    void OnTestInSpotFilters(CConnectionPage*, const SpotTestRequest&) override {}
    bool Logged(const std::u16string& text) const
    {
        for (const auto& entry : log)
            if (entry.second == text) return true;
        return false;
    }
};

// The window timers of several windows on one clock, each fired when it falls due, in the order they fall due.
class Timeline {
public:
    class Timers : public ITimerHost {
    public:
        Timers(Timeline& line, std::function<void(unsigned)> fire) : line_(line), fire_(std::move(fire)) {}
        bool StartTimer(unsigned id, unsigned periodMs) override
        {
            line_.Start(this, id, periodMs);
            return true;
        }
        void StopTimer(unsigned id) override { line_.Stop(this, id); }
        void Fire(unsigned id) const { fire_(id); }

    private:
        Timeline& line_;
        std::function<void(unsigned)> fire_;
    };

    uint64_t now = 0;

    // Fires every timer due up to the time, then stands at it.
    void RunTo(uint64_t end)
    {
        for (;;) {
            const auto next = std::min_element(timers_.begin(), timers_.end(),
                                               [](const Entry& a, const Entry& b) { return a.due < b.due; });
            if (next == timers_.end() || next->due > end) break;
            now = next->due;
            next->due += next->periodMs;
            next->owner->Fire(next->id);
        }
        now = end;
    }

private:
    struct Entry {
        const Timers* owner;
        unsigned id;
        unsigned periodMs;
        uint64_t due;
    };
    void Start(const Timers* owner, unsigned id, unsigned periodMs)
    {
        Stop(owner, id);
        timers_.push_back({owner, id, periodMs, now + periodMs});
    }
    void Stop(const Timers* owner, unsigned id)
    {
        std::erase_if(timers_, [&](const Entry& e) { return e.owner == owner && e.id == id; });
    }
    std::vector<Entry> timers_;
};

// What the application holds for all pages.
struct Shared {
    FakeClock clock;
    GeneralSettings general;
    GlobalSpotFilterLevels levels;
    CSentSpotCache sentSpots{clock};
    FakeLogger logger;
    ConnectionPageEnvironment Environment()
    {
        levels.rejectOutOfBand = false;
        return {&general, &levels, &sentSpots, &logger, nullptr, &clock};
    }
};

// A page's decisions with fakes around them, a Telnet connection named "Node A" by default.
struct Page {
    FakeHost host;
    FakeEvents events;
    CConnectionController page;

    Page(Shared& shared, const std::u16string& name = u"Node A", ConnectionType type = ConnectionTelnet)
        : page(host, shared.Environment(), nullptr)
    {
        page.Transport = host.MakeTransport(type, page);
        page.Owner = &events;
        CConnectionSettings settings;
        settings.Name = name;
        settings.Type = type;
        settings.Host = u"dx.example.net";
        page.ApplySettings(settings);
    }
    FakeTransport& Transport() { return static_cast<FakeTransport&>(*page.Transport); }
    void Connected()
    {
        page.Connect();
        Transport().Report(TransportState::Connected);
    }
    void Receive(const std::string& bytes)
    {
        page.OnRawDataReceived(bytes);
        page.OnTextReceived(Latin1ToUtf16Text(bytes));
    }
    // Ended as the transport reports it, then the posted decision.
    void Ends(TransportState state)
    {
        Transport().Report(state);
        page.OnTransportEnded();
    }
    // A connect that the transport fails with an error before the connection stands.
    void FailsToConnect(unsigned messageId, const std::u16string& text)
    {
        page.Connect();
        page.OnLogMessage(true, messageId, text);
        Ends(TransportState::Error);
    }
    // Each timer that runs fires once.
    void TimersFire()
    {
        for (const auto& [id, periodMs] : std::map(host.timers)) page.OnTimer(id);
    }
    void Tick(int seconds)
    {
        for (int i = 0; i < seconds && host.Running(CConnectionController::kReconnectTimer); ++i)
            page.OnTimer(CConnectionController::kReconnectTimer);
    }
    static std::u16string Latin1ToUtf16Text(const std::string& bytes)
    {
        std::u16string text;
        for (unsigned char c : bytes)
            if (c != '\r') text += char16_t(c);
        return text;
    }
};

const std::string kSpot1 = "DX de K8RQT:     14025.0  N4XJZ        CQ                             1234Z\r\n";
const std::string kSpot2 = "DX de DL1AB:      7012.0  F5XYZ        tnx QSO                        1235Z\r\n";

} // namespace

// ---- forwarding road

TEST(ForwardingRoad, SplitLineGoesOutOnceWholeAndPartialLinesWaitForTheirTimer)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.page.OnRawDataReceived(kSpot1.substr(0, 30));
    EXPECT_TRUE(shared.logger.packets.empty());
    EXPECT_TRUE(a.host.Running(CConnectionController::kForwardTimer));
    a.page.OnRawDataReceived(kSpot1.substr(30) + kSpot2.substr(0, 10));
    ASSERT_EQ(shared.logger.packets.size(), 1u);
    EXPECT_EQ(shared.logger.packets[0], kSpot1.substr(0, kSpot1.size() - 2) + "\n");

    // The rest of a late line goes out alone on the timer, a trailing CR held back for its LF.
    a.page.OnRawDataReceived(kSpot2.substr(10, kSpot2.size() - 11));
    a.page.OnTimer(CConnectionController::kForwardTimer);
    ASSERT_EQ(shared.logger.packets.size(), 2u);
    EXPECT_EQ(shared.logger.packets[1], kSpot2.substr(0, kSpot2.size() - 2));
    a.page.OnRawDataReceived("\n");
    ASSERT_EQ(shared.logger.packets.size(), 3u);
    EXPECT_EQ(shared.logger.packets[2], "\n");
}

TEST(ForwardingRoad, PacketsHoldWholeLinesOfAtMost200Bytes)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    const std::string line80 = std::string(79, 'x') + "\n";
    a.page.OnRawDataReceived(line80 + line80 + line80 + line80);
    ASSERT_EQ(shared.logger.packets.size(), 2u);
    EXPECT_EQ(shared.logger.packets[0].size(), 160u);
    EXPECT_EQ(shared.logger.packets[1].size(), 160u);
    shared.logger.packets.clear();
    a.page.OnRawDataReceived(std::string(249, 'y') + "\n" + line80);
    ASSERT_EQ(shared.logger.packets.size(), 2u);
    EXPECT_EQ(shared.logger.packets[0].size(), 250u);
}

TEST(ForwardingRoad, NothingGoesOutWhenTheConnectionOrTheNetworkSaysSo)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    shared.logger.open = false;
    a.page.OnRawDataReceived(kSpot1);
    CConnectionSettings quiet = a.page.Settings;
    quiet.NoSendToQuarnel = true;
    a.page.ApplySettings(quiet);
    shared.logger.open = true;
    a.page.OnRawDataReceived(kSpot1);
    EXPECT_TRUE(shared.logger.packets.empty());
    EXPECT_TRUE(a.page.PendingForward.empty());
}

TEST(ForwardingRoad, StreamWithoutLineEndsIsFlushedBeyond8KiB)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    const std::string chunk(4096, 'z');
    a.Receive(chunk);
    a.Receive(chunk);
    EXPECT_TRUE(shared.logger.packets.empty());
    a.Receive(chunk);
    ASSERT_EQ(shared.logger.packets.size(), 1u);
    EXPECT_EQ(shared.logger.packets[0].size(), 3 * chunk.size());
    EXPECT_TRUE(a.page.PendingForward.empty());
    EXPECT_TRUE(a.page.PendingDisplay.empty());
    EXPECT_EQ(a.host.Shown().size(), 3 * chunk.size());
}

TEST(ForwardingRoad, FiltersSeeLatin1LinesDecodedLikeTheDisplay)
{
    Shared shared;
    shared.levels.texts[0].words = u"caf\u00e9";
    shared.levels.CompileLevel(0);
    Page a(shared);
    a.Connected();
    a.Receive("DX de K8RQT:     14025.0  N4XJZ        caf\xe9 open                     1234Z\r\n" + kSpot2);
    ASSERT_EQ(shared.logger.packets.size(), 1u);
    EXPECT_EQ(shared.logger.packets[0], kSpot2.substr(0, kSpot2.size() - 2) + "\n");
    ASSERT_EQ(a.host.pane.size(), 2u);
    EXPECT_EQ(a.host.pane[0].kind, LineRejected);
    EXPECT_EQ(a.host.pane[0].reason, u"Rejected by All connections: comment words");
}

// ---- display road

TEST(DisplayRoad, PromptShownAtOnceWithoutFiltersButLaterWithThem)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.page.OnTextReceived(u"login: ");
    EXPECT_EQ(a.host.Shown(), u"login: ");
    EXPECT_FALSE(a.host.Running(CConnectionController::kDisplayTimer));

    shared.levels.rejectOutOfBand = true;
    Page b(shared);
    shared.levels.rejectOutOfBand = true; // Environment() of the page above reset it
    b.Connected();
    b.page.OnTextReceived(u"login: ");
    EXPECT_EQ(b.host.Shown(), u"");
    EXPECT_TRUE(b.host.Running(CConnectionController::kDisplayTimer));
    b.page.OnTimer(CConnectionController::kDisplayTimer);
    EXPECT_EQ(b.host.Shown(), u"login: ");
}

TEST(DisplayRoad, RejectionReasonsOfOwnLevelAndOutOfBand)
{
    Shared shared;
    Page a(shared, u"My node");
    CConnectionSettings settings = a.page.Settings;
    settings.Filters.dxCalls = u"N4*";
    a.page.ApplySettings(settings);
    shared.levels.rejectOutOfBand = true;
    a.Connected();
    a.Receive(kSpot1 + "DX de K8RQT:     13999.9  DL1AB        CQ                             1234Z\r\nplain\r\n");
    ASSERT_EQ(a.host.pane.size(), 3u);
    EXPECT_EQ(a.host.pane[0].reason, u"Rejected by My node: DX callsign (N4XJZ)");
    EXPECT_EQ(a.host.pane[1].reason, u"Rejected: outside the amateur bands (13999.9 kHz)");
    EXPECT_EQ(a.host.pane[1].kind, LineRejected);
    EXPECT_EQ(a.host.pane[2].text, u"plain\n");
    EXPECT_TRUE(shared.logger.packets.size() == 1 && shared.logger.packets[0] == "plain\n");
}

TEST(DisplayRoad, SpotAlreadySentByAnotherConnectionIsStruckOutWithItsReason)
{
    Shared shared;
    Page a(shared, u"Node A");
    Page b(shared, u"Node B");
    a.Connected();
    b.Connected();
    a.Receive(kSpot1);
    b.Receive(kSpot1 + kSpot2);
    ASSERT_EQ(shared.logger.packets.size(), 2u);
    EXPECT_EQ(shared.logger.packets[1], kSpot2.substr(0, kSpot2.size() - 2) + "\n");
    ASSERT_EQ(b.host.pane.size(), 2u);
    EXPECT_EQ(b.host.pane[0].kind, LineDuplicate);
    EXPECT_EQ(b.host.pane[0].reason, u"Already sent to Quarnel by Node A at 14:07Z (same spot)");
    EXPECT_EQ(b.host.pane[1].kind, LineReceived);
    EXPECT_TRUE(b.page.WithheldSpots.Empty());
}

TEST(DisplayRoad, DxNetGetsNoPageOnceWhicheverComesLast)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.page.OnTextReceived(u"Welcome to DxNet node\n");
    EXPECT_EQ(a.page.SoftwareId, DxNet);
    EXPECT_TRUE(a.Transport().sent.empty());
    a.page.OnLoggedIn();
    a.page.OnLoggedIn();
    EXPECT_EQ(a.Transport().sent, std::vector<std::u16string>{u"SET/NOPAGE"});
    EXPECT_TRUE(a.events.Logged(u"Cluster software: DxNet"));
    EXPECT_NE(a.host.status.find(u"DxNet</a> \u2013 dx.example.net:23"), std::u16string::npos);
}

// Refused by a node that does not read, it is neither shown nor marked as sent, and goes once the node reads.
TEST(DisplayRoad, DxNetNoPageRefusedGoesOnceTheNodeReads)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.page.OnTextReceived(u"Welcome to DxNet node\n");
    a.Transport().unreadBacklog = u"Lines refused until the node reads: 4096 KiB still wait for it";
    a.page.OnLoggedIn();
    a.TimersFire();
    EXPECT_FALSE(a.page.NoPageSent);
    EXPECT_EQ(a.host.Shown().find(u"SET/NOPAGE"), std::u16string::npos);

    a.Transport().unreadBacklog.clear();
    a.page.OnLinesTakenAgain();
    EXPECT_EQ(a.Transport().sent, std::vector<std::u16string>{u"SET/NOPAGE"});
    EXPECT_TRUE(a.page.NoPageSent);
    EXPECT_EQ(a.host.pane.back().text, u"SET/NOPAGE\n");
    EXPECT_EQ(a.host.pane.back().kind, LineSent);
}

// A DxNet node that stalls at the login's end and reads again 50 ms later: SET/NOPAGE, refused at the login's end,
// still goes before the first start-up command, so that the output of a start-up "sh/dx" is not paged.
TEST(DisplayRoad, DxNetNoPageRefusedAtTheLoginsEndStillGoesBeforeTheCommands)
{
    for (const int commandDelay : {100, 500}) {
        Shared shared;
        shared.general.CommandDelay = commandDelay;
        Page a(shared);
        Timeline timeline;
        Timeline::Timers pageTimers(timeline, [&](unsigned id) { a.page.OnTimer(id); });
        a.host.clockTimers = &pageTimers;
        test::CFakeTelnetSocket node;
        CTelnetSession* session = nullptr;
        Timeline::Timers sessionTimers(timeline, [&](unsigned id) { session->OnTimer(id); });
        a.page.Transport = std::make_unique<CTelnetSession>(&a.page, node, sessionTimers, shared.clock);
        session = static_cast<CTelnetSession*>(a.page.Transport.get());
        CTelnetSession& telnet = *session;
        CConnectionSettings settings = a.page.Settings;
        settings.Login = u"N0CALL";
        settings.LineEnding = LineEndingCrLf;
        settings.Commands = {u"sh/dx 30", u"set/filter"};
        a.page.ApplySettings(settings);

        a.page.Connect();
        node.open = true;
        telnet.OnConnectDone(0);
        telnet.OnReceived("Welcome to DxNet node\r\nlogin: ");
        node.wouldBlock = true; // the node stalls at the login's end
        test::FillLeaving(telnet, 0);
        timeline.RunTo(CTelnetLogin::kEndOfLoginMs + 50);
        node.wouldBlock = false;
        telnet.OnWritable();
        timeline.RunTo(CTelnetLogin::kEndOfLoginMs + 3000);

        EXPECT_EQ(test::NodeLines(node.sent),
                  (std::vector<std::string>{"N0CALL\r\n", "SET/NOPAGE\r\n", "sh/dx 30\r\n", "set/filter\r\n"}))
            << commandDelay;
    }
}

// ---- reconnection

TEST(Reconnection, RefusedConnectIsRetriedAndCountedDown)
{
    Shared shared;
    Page a(shared);
    a.FailsToConnect(344, u"Unable to connect: connection refused");
    EXPECT_EQ(a.page.State, 4);
    EXPECT_TRUE(a.events.Logged(u"Automatic reconnection in 5 s, then every 30 s"));
    EXPECT_TRUE(a.events.lost.empty()); // never established: not reported as lost
    a.Tick(4);
    EXPECT_EQ(a.host.status, u"dx.example.net:23 - reconnecting in 1 s");
    a.Tick(1);
    EXPECT_EQ(a.Transport().connects, 2);
    EXPECT_EQ(a.page.ReconnectAttempt, 1);
    a.page.OnLogMessage(false, 339, u"Connecting to dx.example.net:23");
    a.page.OnLogMessage(true, 344, u"Unable to connect: connection refused");
    EXPECT_FALSE(a.events.Logged(u"Connecting to dx.example.net:23"));
    EXPECT_TRUE(a.events.Logged(u"Reconnection attempt 1 failed: Unable to connect: connection refused"));
    a.Ends(TransportState::Error);
    EXPECT_EQ(a.page.ReconnectCountdown, 30);
}

// Lines refused while an automatic attempt logs in are no failure of it: the attempt goes on and logs in.
TEST(Reconnection, LinesRefusedDuringAnAttemptDoNotFailIt)
{
    Shared shared;
    Page a(shared);
    CConnectionSettings settings = a.page.Settings;
    settings.Login = u"N0CALL";
    a.page.ApplySettings(settings);
    a.FailsToConnect(344, u"Unable to connect: connection refused");
    a.Tick(5);
    ASSERT_EQ(a.page.ReconnectAttempt, 1);
    a.Transport().Report(TransportState::Connected);
    const std::u16string refusal = u"Lines refused until the node reads: 4096 KiB still wait for it";
    a.page.OnLogMessage(true, 357, refusal);
    EXPECT_EQ(a.events.log.back(), std::make_pair(true, refusal));
    EXPECT_EQ(a.page.LastFailureText, u"Unable to connect: connection refused");
    EXPECT_EQ(a.page.LastErrorText, u"");
    a.page.OnLoggedIn();
    EXPECT_TRUE(a.page.Established);
    EXPECT_EQ(a.page.ReconnectAttempt, 0);
}

TEST(Reconnection, AttemptThatCannotStartSchedulesTheNextOne)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.Ends(TransportState::Error);
    a.Transport().startsConnecting = false; // fails at once, reporting nothing
    a.Tick(5);
    EXPECT_EQ(a.page.State, 3);
    EXPECT_EQ(a.host.endedPosts, 2);
    a.page.OnTransportEnded();
    EXPECT_EQ(a.page.State, 4);
    EXPECT_EQ(a.page.ReconnectCountdown, 30);
    EXPECT_TRUE(a.host.Running(CConnectionController::kReconnectTimer));
}

TEST(Reconnection, UserDisconnectsAndAutoReconnectOff)
{
    Shared shared;
    Page a(shared);
    a.Connected();
    a.page.Disconnect();
    a.page.OnTransportEnded();
    EXPECT_EQ(a.page.State, 0);
    EXPECT_TRUE(a.events.lost.empty());

    a.Connected();
    a.page.OnLogMessage(false, 342, u"Connection closed by the server");
    a.Ends(TransportState::Disconnected);
    EXPECT_EQ(a.page.State, 4);
    a.page.Disconnect();
    EXPECT_EQ(a.page.State, 0);
    EXPECT_TRUE(a.events.Logged(u"Automatic reconnection cancelled"));
    ASSERT_EQ(a.events.lost.size(), 1u);
    EXPECT_EQ(a.events.lost[0], std::make_pair(std::u16string(u"Connection closed by the server"), true));

    shared.general.AutoReconnect = false;
    a.Connected();
    a.Ends(TransportState::Error);
    EXPECT_EQ(a.page.State, 3);
    ASSERT_EQ(a.events.lost.size(), 2u);
    EXPECT_FALSE(a.events.lost[1].second);
}

TEST(Reconnection, HostNameNotFoundStopsOnlyWhileTheInternetIsReachable)
{
    Shared shared;
    Page a(shared);
    a.FailsToConnect(343, u"Host name not found: dx.example.net");
    EXPECT_EQ(a.page.State, 3);
    EXPECT_TRUE(a.events.Logged(u"No automatic reconnection: check the host name in Settings"));

    a.host.internet = false;
    a.FailsToConnect(343, u"Host name not found: dx.example.net");
    EXPECT_EQ(a.page.State, 4);
}

// ---- typed lines and radio follow

TEST(SendLine, PasswordPromptsEmptyLinesCommandsAndTheLineDown)
{
    Shared shared;
    Page a(shared);
    SendLineOutcome outcome = a.page.OnSendLine(u"sh/dx");
    EXPECT_FALSE(outcome.clear); // not connected: stays in the send line
    a.Connected();
    a.page.OnTextReceived(u"Welcome\nPassWord :\u2022\u2022 ");
    outcome = a.page.OnSendLine(u"/con");
    EXPECT_TRUE(a.events.commands.empty());
    EXPECT_FALSE(outcome.addToHistory);
    EXPECT_EQ(a.host.pane.back().text, u"********\n");
    EXPECT_EQ(a.Transport().sent.back(), u"/con");

    outcome = a.page.OnSendLine(u"");
    EXPECT_EQ(a.Transport().sent.back(), u"");
    EXPECT_EQ(a.host.pane.back().text, u"\n");
    EXPECT_FALSE(outcome.addToHistory);

    outcome = a.page.OnSendLine(u"/disc\r\n");
    EXPECT_EQ(a.events.commands, std::vector<std::u16string>{u"/disc "});
    EXPECT_TRUE(outcome.clear && outcome.addToHistory);
}

TEST(RadioFollow, AnnouncesAndSendsEachNewFrequencyOnce)
{
    Shared shared;
    Page a(shared, u"Skimmer", ConnectionCwSkimmer);
    CConnectionSettings settings = a.page.Settings;
    settings.CwSkimmer = true;
    settings.CwSkimmerRadio = 2;
    a.page.ApplySettings(settings);
    a.Connected();
    ASSERT_EQ(shared.logger.announcements.size(), 1u);
    EXPECT_EQ(shared.logger.announcements[0], std::make_pair(std::u16string(u"STN1"), 1));
    EXPECT_EQ(a.host.timers[CConnectionController::kAnnounceTimer], 15000u);
    a.page.RadioFrequency = 140253;
    a.page.OnLoggedIn();
    a.page.SendSkimmerQsy();
    EXPECT_EQ(a.Transport().sent, std::vector<std::u16string>{u"SKIMMER/QSY 14025.3"});
    a.Receive("DX de SKIMMER-#: 14025.0 N4XJZ CW 22 dB 1234Z\r\nok\r\n");
    EXPECT_EQ(a.host.Shown(), u"ok\n");
    EXPECT_EQ(shared.logger.packets, std::vector<std::string>{"ok\n"});
}

TEST(OutgoingLines, StationLinesAreAdaptedToTheDialectAndRefusedWhileDown)
{
    Shared shared;
    Page a(shared);
    EXPECT_FALSE(a.page.ProcessOutgoingLine(u"SH/DX 20M", true));
    a.Connected();
    a.page.SoftwareId = ARCluster6;
    EXPECT_TRUE(a.page.ProcessOutgoingLine(u"SH/DX 20M", true));
    EXPECT_EQ(a.Transport().sent.back(), u"SH/DX Band=20");
    ASSERT_GE(a.host.pane.size(), 2u);
    EXPECT_EQ(a.host.Shown(), u"SH/DX Band=20   (from Quarnel: SH/DX 20M)\n");
    EXPECT_EQ(a.host.pane.back().kind, LineNotice);

    EXPECT_TRUE(a.page.ProcessOutgoingLine(u"SH/DX 20M", false));
    EXPECT_EQ(a.Transport().sent.back(), u"SH/DX 20M");
    shared.general.TranslateCommands = false;
    EXPECT_TRUE(a.page.ProcessOutgoingLine(u"SH/DX 20M", true));
    EXPECT_EQ(a.Transport().sent.back(), u"SH/DX 20M");
}
