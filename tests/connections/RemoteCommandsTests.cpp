// The view's dealings with logger stations and slash commands, on real page controllers with fake
// transports and a fake view.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/CConnectionController.h"
#include "connections/CRemoteCommands.h"
#include "connections/GeneralSettings.h"
#include "connections/QuarnelCodec.h"
#include "tests/support/PageRoadFakes.h"

using namespace kv;

namespace {

// A transport whose state the test sets; what it sends is kept.
class FakeTransport : public IClusterTransport {
public:
    using IClusterTransport::IClusterTransport;
    std::vector<std::u16string> sent;
    bool commands = true;
    bool lines = true;
    bool refuses = false;
    std::u16string unreadBacklog; // refuses each line for this lasting cause, as a node that does not read makes it
    int connects = 0;

    bool Connect(const CConnectionSettings&, int, const std::vector<std::u16string>&) override
    {
        ++connects;
        SetState(TransportState::Connecting);
        return true;
    }
    void Disconnect() override { SetState(TransportState::Disconnected); }
    void ApplySettings(const CConnectionSettings&) override {}
    bool SendLine(const std::u16string& line) override
    {
        if (refuses || !unreadBacklog.empty()) return false;
        sent.push_back(line);
        return true;
    }
    std::u16string SendRefusal() const override { return unreadBacklog; }
    bool AcceptsCommands() const override { return commands; }
    bool CanSendLines() const override { return lines; }
    void Report(TransportState state) { SetState(state); }
};

class PageHost : public test::CCollectingPageHost {
public:
    std::unique_ptr<IClusterTransport> MakeTransport(ConnectionType, ITransportListener& listener) override
    {
        return std::make_unique<FakeTransport>(&listener);
    }
};

struct Page {
    PageHost host;
    CConnectionController controller;
    Page(const ConnectionPageEnvironment& environment, int id, const CConnectionSettings& settings)
        : controller(host, environment, nullptr)
    {
        controller.Transport = host.MakeTransport(settings.Type, controller);
        controller.ConnectionId = id;
        controller.ApplySettings(settings);
    }
    FakeTransport& Transport() { return static_cast<FakeTransport&>(*controller.Transport); }
};

struct LogLine {
    bool error;
    std::u16string name, text;
    bool operator==(const LogLine&) const = default;
};

class FakeView : public IRemoteCommandsHost {
public:
    GeneralSettings general;
    std::vector<CConnectionController*> tabs;
    int active = 0;
    std::map<int, CConnectionSettings> closed; // by id, in id order
    std::vector<int> closedOrder;
    std::vector<LogLine> log;
    std::vector<std::pair<std::u16string, std::u16string>> gabs;
    std::vector<std::u16string> networkErrors;
    std::vector<int> reopened, closeRequests;
    int exitRequests = 0;
    int gabFailuresLeft = 0;

    const GeneralSettings& General() const override { return general; }
    int ConnectionCount() const override { return int(tabs.size()); }
    CConnectionController* ConnectionAt(int index) const override { return tabs.at(size_t(index)); }
    int ActiveTab() const override { return active; }
    void ActivateTab(int index) override { active = index; }
    std::vector<int> ClosedIds() const override { return closedOrder; }
    std::u16string ClosedDisplayName(int id) const override { return closed.at(id).Name; }
    bool LoadClosedSettings(int id, CConnectionSettings& settings) const override
    {
        if (!closed.count(id)) return false;
        settings = closed.at(id);
        return true;
    }
    void ReopenConnection(int id) override { reopened.push_back(id); }
    void PostCloseConnection(int id) override { closeRequests.push_back(id); }
    void PostCloseProgram() override { ++exitRequests; }
    void Log(bool isError, const std::u16string& name, const std::u16string& text) override
    {
        log.push_back({isError, name, text});
    }
    void ReportNetworkStatus(const std::u16string& error) override { networkErrors.push_back(error); }
    bool SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error) override
    {
        if (gabFailuresLeft > 0) {
            error = gabFailuresLeft-- > 1 ? u"network error 10065" : u"";
            return false;
        }
        gabs.emplace_back(station, message);
        return true;
    }
    std::vector<std::u16string> GabsTo(const std::u16string& station) const
    {
        std::vector<std::u16string> texts;
        for (const auto& [to, text] : gabs)
            if (to == station) texts.push_back(text);
        return texts;
    }
};

CConnectionSettings Telnet(const std::u16string& name, int port)
{
    CConnectionSettings settings;
    settings.Name = name;
    settings.Host = u"127.0.0.1";
    settings.Port = port;
    return settings;
}

CConnectionSettings SkimmerFollowing(const std::u16string& name, int radio, const std::u16string& station)
{
    CConnectionSettings settings = Telnet(name, 7300);
    settings.Type = ConnectionCwSkimmer;
    settings.CwSkimmer = true;
    settings.CwSkimmerRadio = radio;
    settings.CwSkimmerStationName = station;
    return settings;
}

std::vector<std::string> Packet(std::initializer_list<std::string> fields) { return fields; }

// What a page reports about its connection, handed to the stations' bookkeeping as the view hands it.
class PageReportsToRemote : public IConnectionEvents {
public:
    PageReportsToRemote(CRemoteCommands& remote, CConnectionController& page) : remote_(remote), page_(page) {}
    void OnConnectionStateChanged(CConnectionPage*) override { remote_.OnConnectionStateChanged(page_); }
    void OnConnectionLogMessage(CConnectionPage*, bool, const std::u16string&) override {}
    void OnSendLinesChanged(CConnectionPage*) override {}
    void OnNetworkStatus(const std::u16string&) override {}
    void OnCommandLine(CConnectionPage*, const std::u16string&) override {}
    void OnConnectionLost(CConnectionPage*, const std::u16string& reason, bool reconnecting) override
    {
        remote_.OnConnectionLost(page_, reason, reconnecting);
    }
    void OnTestInSpotFilters(CConnectionPage*, const SpotTestRequest&) override {}

private:
    CRemoteCommands& remote_;
    CConnectionController& page_;
};

class RemoteCommandsTest : public ::testing::Test {
protected:
    Page& Add(const CConnectionSettings& settings)
    {
        pages.push_back(std::make_unique<Page>(environment, int(pages.size()) + 1, settings));
        view.tabs.push_back(&pages.back()->controller);
        return *pages.back();
    }
    void Connect(Page& page)
    {
        page.controller.Connect();
        page.Transport().Report(TransportState::Connected);
    }
    // The node ends the connection, and the page takes its posted decision.
    static void ServerCloses(Page& page)
    {
        page.controller.OnLogMessage(false, 342, u"Connection closed by the server");
        page.Transport().Report(TransportState::Disconnected);
        page.controller.OnTransportEnded();
    }
    // The countdown runs out and the next automatic attempt starts.
    static void RetriesAfterItsCountdown(Page& page)
    {
        for (int s = 0; s < 60 && page.controller.State == CConnectionController::kStateWaitingToReconnect; ++s)
            page.controller.OnTimer(CConnectionController::kReconnectTimer);
    }
    void CloseOne(int id, const std::u16string& name, const std::u16string& host)
    {
        CConnectionSettings settings = Telnet(name, 7300);
        settings.Host = host;
        view.closed[id] = settings;
        view.closedOrder.push_back(id);
    }
    // A station's text as the link delivers it.
    void FromStation(const std::string& text, const std::string& station = "STN2", const std::string& to = "TELNET")
    {
        remote.OnQuarnelPacket(Packet({"SENDPKT:", station, to, text}));
    }
    // What a page's receive pane shows.
    static std::u16string Shown(Page& page) { return page.host.shown; }

    FakeView view;
    test::CCollectingLogger logger;
    ConnectionPageEnvironment environment{&view.general, nullptr, nullptr, &logger, nullptr, nullptr};
    std::vector<std::unique_ptr<Page>> pages;
    CRemoteCommands remote{view};
};

} // namespace

TEST_F(RemoteCommandsTest, SendPacketsForThisProgramOrForAnyAreTakenAndTheirSendersRemembered)
{
    Page& node = Add(Telnet(u"Node A", 7300));
    Connect(node);

    FromStation("sh/dx 5", "STN2", "telnet");
    FromStation("sh/dx 6", " STN3 ", "");
    FromStation("sh/dx 7", "STN4", "LOGGER");
    FromStation("sh/dx 8", "stn2", "TELNET");
    FromStation("sh/dx 9", "stn1", "TELNET"); // one of the alert stations already
    remote.OnQuarnelPacket(Packet({"SENDPKT:", "STN5", "TELNET"}));            // a field short
    remote.OnQuarnelPacket(Packet({"SENDPKT:", "STN5", "TELNET", "x", "y"})); // one too many
    remote.OnQuarnelPacket(Packet({"sendpkt:", "STN5", "TELNET", "x"}));      // keywords compare exactly

    EXPECT_EQ(node.Transport().sent, (std::vector<std::u16string>{u"sh/dx 5", u"sh/dx 6", u"sh/dx 8", u"sh/dx 9"}));
    EXPECT_EQ(remote.SenderStations(), (std::vector<std::u16string>{u"STN2", u"STN3"}));
}

TEST_F(RemoteCommandsTest, SpotsGoWhereSpotsAreTakenAndCommandsWhereCommandsAre)
{
    Page& plain = Add(Telnet(u"Plain", 7300));
    CConnectionSettings refusing = Telnet(u"No spots", 7301);
    refusing.NoSpotsFromQuarnel = true;
    Page& noSpots = Add(refusing);
    Page& web = Add(Telnet(u"Web", 7302)); // a DX Summit-like transport: spots only
    Page& down = Add(Telnet(u"Down", 7303));
    for (Page* page : {&plain, &noSpots, &web}) Connect(*page);
    web.Transport().commands = false;
    plain.controller.SoftwareId = ARCluster;

    // Lines of one text: CR LF, CR and LF all end a line; blank lines are skipped.
    FromStation("dx 14025.0 K1ABC tnx\r\nSH/DX 25\r\r\nDX \nDX 7001 W1AW\n");

    EXPECT_EQ(plain.Transport().sent,
              (std::vector<std::u16string>{u"dx 14025.0 K1ABC tnx", u"SH/DX/25", u"DX", u"DX 7001 W1AW"}));
    EXPECT_EQ(noSpots.Transport().sent, (std::vector<std::u16string>{u"SH/DX 25", u"DX"}));
    EXPECT_EQ(web.Transport().sent, (std::vector<std::u16string>{u"dx 14025.0 K1ABC tnx", u"DX 7001 W1AW"}));
    EXPECT_TRUE(down.Transport().sent.empty());
    EXPECT_NE(Shown(plain).find(u"SH/DX/25   (from Quarnel: SH/DX 25)\n"), std::u16string::npos);
    EXPECT_TRUE(view.gabs.empty());

    // Without a taker the station hears why, and the operator sees it in red.
    view.general.TranslateCommands = false;
    for (Page* page : {&plain, &noSpots}) page->controller.Disconnect();
    FromStation("DX 3525 OK1BBB");
    FromStation("sh/wwv");
    const std::vector<std::u16string> expected = {u"DX 3525 OK1BBB: no connected cluster accepts the spots",
                                                   u"sh/wwv: no connected cluster accepts commands"};
    EXPECT_EQ(view.GabsTo(u"STN2"), std::vector<std::u16string>{expected[1]});
    EXPECT_EQ(web.Transport().sent.size(), 3u); // the spot, not the command
    view.gabs.clear();
    web.controller.Disconnect();
    FromStation("DX 3525 OK1BBB");
    FromStation("sh/wwv");
    EXPECT_EQ(view.GabsTo(u"STN2"), expected);
    ASSERT_GE(view.log.size(), 2u);
    EXPECT_EQ(view.log.back(), (LogLine{true, u"", expected[1]}));
}

TEST_F(RemoteCommandsTest, ALineTheTransportRefusesIsAnsweredAsNotSentAndNotShownAsSent)
{
    Page& node = Add(Telnet(u"Node", 7300));
    Connect(node);
    node.Transport().refuses = true; // a web service given a line that is not a spot, or a flush that failed

    FromStation("DX 3525 OK1BBB");
    FromStation("sh/wwv");
    FromStation("/bye");
    remote.OnCommandLine(node.controller, u"/bye");

    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{
        u"DX 3525 OK1BBB: no connected cluster accepts the spots",
        u"sh/wwv: no connected cluster accepts commands",
        u"/bye: \"bye\" not sent: the connection \"Node\" is not connected or does not accept commands"}));
    EXPECT_EQ(Shown(node), u"/bye: \"bye\" not sent: the connection \"Node\" is not connected or does not accept commands\n");
}

TEST_F(RemoteCommandsTest, ALineRefusedForANodeThatDoesNotReadIsAnsweredWithTheReason)
{
    Page& reading = Add(Telnet(u"Reading", 7300));
    Page& stalled = Add(Telnet(u"Stalled", 7301));
    Connect(reading);
    Connect(stalled);
    const std::u16string why = u"Lines refused until the node reads: 4096 KiB still wait for it";
    stalled.Transport().unreadBacklog = why;

    FromStation("sh/dx");
    EXPECT_EQ(reading.Transport().sent, std::vector<std::u16string>{u"sh/dx"});
    reading.controller.Disconnect();
    FromStation("DX 3525 OK1BBB");
    EXPECT_TRUE(view.log.empty()); // the page tells the operator in red, once
    view.active = 1;
    FromStation("/bye"); // an error reply as any, logged too

    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{u"sh/dx: Stalled: " + why,
                                                                  u"DX 3...: Stalled: " + why,
                                                                  u"/bye: Stalled: " + why}));
    EXPECT_EQ(view.log, std::vector<LogLine>{(LogLine{true, u"", u"/bye: Stalled: " + why})});
    EXPECT_EQ(Shown(stalled), u"");
    EXPECT_EQ(stalled.controller.State, 2);
}

// A station hears the whole reason, figure included, within one "GAB:" message: the echoed line gives way first,
// then a long connection name.
TEST_F(RemoteCommandsTest, TheReplyToARefusedLineFitsOneGabMessageWithItsFigure)
{
    Page& spider = Add(Telnet(u"Spider1", 7300));
    Page& club = Add(Telnet(u"Club node of the north-eastern region, port 7300", 7301));
    const std::u16string why = FormatText(LoadText(357), 4096);
    for (Page* page : {&spider, &club}) {
        Connect(*page);
        page->Transport().unreadBacklog = why;
    }
    FromStation("DX 14025.0 K1ABC strong signal, calling CQ");
    view.active = 1;
    FromStation("/bye");

    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{u"DX 1...: Spider1: " + why,
                                                                  u"D...: Club no...: " + why,
                                                                  u"/bye: Club no...: " + why}));
    for (const std::u16string& reply : view.GabsTo(u"STN2")) EXPECT_LE(reply.size(), kGabMessageLimit) << Utf16ToUtf8(reply);
}

TEST_F(RemoteCommandsTest, SkimmerFrequencyMovesTheSkimmersThatFollowThatRadio)
{
    Page& first = Add(SkimmerFollowing(u"Radio 1", 1, u" stn1 "));
    Page& second = Add(SkimmerFollowing(u"Radio 2", 2, u"STN1"));
    Page& telnet = Add(Telnet(u"Node", 7301));
    for (Page* page : {&first, &second, &telnet}) {
        Connect(*page);
        page->controller.OnLoggedIn();
        page->Transport().sent.clear();
    }

    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "telnet", "0", "140253"}));
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", " +1", "70105", "x"}));
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", "0", "0"}));        // no frequency
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN2", "TELNET", "0", "35250"}));    // another station
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "LOGGER", "0", "35250"}));    // another program
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", "0"}));             // too short
    // A negative radio names no radio; read as 0 it would move the skimmer of radio 1.
    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", "-1", "35250"}));

    EXPECT_EQ(first.Transport().sent, std::vector<std::u16string>{u"SKIMMER/QSY 14025.3"});
    EXPECT_EQ(second.Transport().sent, std::vector<std::u16string>{u"SKIMMER/QSY 7010.5"});
    EXPECT_TRUE(telnet.Transport().sent.empty());
    EXPECT_EQ(first.controller.RadioFrequency, 140253u);
}

TEST_F(RemoteCommandsTest, RadioIndexesBeyondTheRangeOfIntNameNoRadio)
{
    Page& first = Add(SkimmerFollowing(u"Radio 1", 1, u"STN1"));
    Page& second = Add(SkimmerFollowing(u"Radio 2", 2, u"STN1"));
    for (Page* page : {&first, &second}) {
        Connect(*page);
        page->controller.OnLoggedIn();
        page->Transport().sent.clear();
    }

    for (const char* index : {"2147483647", "2147483648", "4294967296", "4294967297", "99999999999999999999",
                              "-2147483648", "-2147483649", " -0000000000002147483649x"})
        remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", index, "140253"}));
    EXPECT_TRUE(first.Transport().sent.empty());
    EXPECT_TRUE(second.Transport().sent.empty());

    remote.OnQuarnelPacket(Packet({"CWSKIMMERFREQ:", "STN1", "TELNET", "00000000000000000001", "70105"}));
    EXPECT_EQ(second.Transport().sent, std::vector<std::u16string>{u"SKIMMER/QSY 7010.5"});
    EXPECT_TRUE(first.Transport().sent.empty());
}

TEST_F(RemoteCommandsTest, StationCommandsAnswerByGabAndErrorsAlsoInTheLog)
{
    Page& spider = Add(Telnet(u"DXSpider", 7300));
    Add(Telnet(u"DX Summit", 7301));
    CloseOne(7, u"Contest node", u"dx.example.net");
    view.active = 2; // the "+" tab

    FromStation("/con");
    FromStation("/con dx");
    FromStation("/con dxs");
    FromStation("/open DXSp");
    FromStation("/open nothing");
    FromStation("/close cont");
    FromStation("/disc all");
    FromStation("/sel abcdefghijklmnopqrstuvwxyz0123456789ABCD");
    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{
        u"/con: No current connection (no connection tab)",
        u"/con dx: Several connections match \"dx\": DXSpider, DX Summit",
        u"Connecting DXSpider",
        u"/open DXSp: The connection \"DXSpider\" is already open",
        u"/open nothing: Unknown connection: \"nothing\"",
        u"/close cont: The connection \"Contest node\" is closed (reopen it with /open or the + tab)",
        u"Disconnecting all: 1 connection(s)",
        u"/sel abcdefghijklmnopqrstuv...: Unknown connection: \"abcdefghijklmnopqrstuvwxyz0123456789ABCD\""}));
    EXPECT_EQ(spider.Transport().connects, 1);
    EXPECT_EQ(spider.controller.State, 0);
    // Every error reply is also a red line of the log pane, without a connection name.
    int errors = 0;
    for (const LogLine& line : view.log) errors += line.error && line.name.empty();
    EXPECT_EQ(errors, 6);

    view.gabs.clear();
    FromStation("/open cont\n/close DX Summit\n/list\n/sel dxsp\n/cur\n/bye\n/quit");
    EXPECT_EQ(view.reopened, std::vector<int>{7});
    EXPECT_EQ(view.closeRequests, std::vector<int>{2});
    EXPECT_EQ(view.exitRequests, 1);
    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{
        u"Reopened Contest node",
        u"Closed DX Summit (reopen it with /open)",
        u"2 connection(s), 0 connected, 1 closed",
        u" D DXSpider         127.0.0.1:7300",
        u" D DX Summit        127.0.0.1:7301",
        u" - Contest node     dx.example.net:7300",
        u"Selected DXSpider",
        u"Selected: *D DXSpider         127.0.0.1:7300",
        u"/bye: \"bye\" not sent: the connection \"DXSpider\" is not connected or does not accept commands",
        u"Kestrivane closing"}));

    view.gabs.clear();
    Connect(spider);
    FromStation("/bye");
    FromStation("/help");
    EXPECT_EQ(spider.Transport().sent.back(), u"bye");
    const std::vector<std::u16string> answers = view.GabsTo(u"STN2");
    ASSERT_EQ(answers.size(), 14u);
    EXPECT_EQ(answers[0], u"bye sent to DXSpider");
    EXPECT_EQ(answers[1], u"Commands (current connection: this tab, or the active tab for Quarnel):");
    EXPECT_EQ(answers[13], u"- closed; * active tab");
}

// A packet of thousands of lines: a bounded part of it runs, and one last reply says what did not.
TEST_F(RemoteCommandsTest, OnePacketRunsABoundedNumberOfLinesAndMakesABoundedNumberOfReplies)
{
    Page& node = Add(Telnet(u"Node", 7300));
    Connect(node);
    node.Transport().sent.clear();
    std::string help;
    for (int i = 0; i < 3000; ++i) help += "/?\n";
    FromStation(help);
    const std::vector<std::u16string> answers = view.GabsTo(u"STN2");
    ASSERT_EQ(answers.size(), CRemoteCommands::kMaxRepliesPerPacket + 1);
    EXPECT_EQ(answers.back(), u"Too much in one packet: 2968 line(s) not run, 352 reply(ies) not sent");
    EXPECT_EQ(view.log.back(), (LogLine{true, u"", answers.back()}));

    view.gabs.clear();
    std::string commands;
    for (int i = 0; i < 100; ++i) commands += "sh/dx\r\n";
    FromStation(commands);
    EXPECT_EQ(node.Transport().sent.size(), CRemoteCommands::kMaxLinesPerPacket);
    EXPECT_EQ(view.GabsTo(u"STN2"),
              std::vector<std::u16string>{u"Too much in one packet: 68 line(s) not run, 0 reply(ies) not sent"});

    view.gabs.clear();
    FromStation("/status");
    EXPECT_EQ(view.GabsTo(u"STN2"),
              (std::vector<std::u16string>{u"1 connection(s), 1 connected, 0 closed", u"*C Node             127.0.0.1:7300"}));
}

// Blank lines run nothing: only the lines that run count toward the packet's bound and its last reply.
TEST_F(RemoteCommandsTest, BlankLinesOfAPacketCountNeitherAsRunNorAsNotRun)
{
    Page& node = Add(Telnet(u"Node", 7300));
    Connect(node);
    node.Transport().sent.clear();
    std::string commands;
    for (int i = 0; i < 40; ++i) commands += "\r\n \n\t\rtalk " + std::to_string(i) + "\n";
    FromStation(commands + " \r\n\n");
    ASSERT_EQ(node.Transport().sent.size(), CRemoteCommands::kMaxLinesPerPacket);
    EXPECT_EQ(node.Transport().sent.back(), u"talk 31");
    EXPECT_EQ(view.GabsTo(u"STN2"),
              std::vector<std::u16string>{u"Too much in one packet: 8 line(s) not run, 0 reply(ies) not sent"});
}

TEST_F(RemoteCommandsTest, TypedCommandsAnswerInTheirPage)
{
    Page& alpha = Add(Telnet(u"Alpha", 7300));
    Page& bravo = Add(Telnet(u"Bravo", 7301));
    Connect(bravo);

    remote.OnCommandLine(alpha.controller, u" /con ");     // its own page: it shows what happens
    remote.OnCommandLine(alpha.controller, u"/con bravo");
    remote.OnCommandLine(alpha.controller, u"/disc bravo");
    remote.OnCommandLine(alpha.controller, u"/close");
    remote.OnCommandLine(alpha.controller, u"/exit");

    EXPECT_EQ(alpha.Transport().connects, 1);
    EXPECT_EQ(alpha.controller.State, 1);
    EXPECT_EQ(bravo.controller.State, 0);
    EXPECT_EQ(Shown(alpha), u"Bravo is already connected\n"
                            u"Disconnecting Bravo\n"
                            u"/close: a connection name is required\n");
    EXPECT_EQ(Shown(bravo), u"");
    EXPECT_EQ(view.log, (std::vector<LogLine>{{true, u"Alpha", u"/close: a connection name is required"}}));
    EXPECT_EQ(view.exitRequests, 1);
    EXPECT_TRUE(view.gabs.empty());
    EXPECT_TRUE(remote.StationRequests().empty()) << "typed commands are answered in the page";
}

TEST_F(RemoteCommandsTest, AStationHearsTheOutcomeOfItsConnectOrDisconnect)
{
    Page& alpha = Add(Telnet(u"Alpha", 7300));
    Page& bravo = Add(Telnet(u"Bravo", 7301));
    Page& charlie = Add(Telnet(u"Charlie", 7302));
    view.general.GabStations = {u"STN1"};

    FromStation("/con alpha", "STN2");
    FromStation("/con bravo", "STN3");
    remote.OnConnectionStateChanged(alpha.controller); // connecting: no answer yet
    alpha.Transport().Report(TransportState::Connected);
    remote.OnConnectionStateChanged(alpha.controller);
    bravo.Transport().Report(TransportState::Error);
    remote.OnConnectionStateChanged(bravo.controller);
    remote.OnConnectionError(bravo.controller, u"Connection refused");
    remote.OnConnectionError(bravo.controller, u"Connection refused"); // answered once

    Connect(charlie);
    FromStation("/disc charlie", "STN2");
    remote.OnConnectionStateChanged(charlie.controller);

    EXPECT_EQ(view.GabsTo(u"STN2"), (std::vector<std::u16string>{u"Connecting Alpha", u"Connected to Alpha",
                                                                 u"Disconnecting Charlie", u"Disconnected from Charlie"}));
    EXPECT_EQ(view.GabsTo(u"STN3"),
              (std::vector<std::u16string>{u"Connecting Bravo", u"Connection to Bravo failed: Connection refused"}));
    EXPECT_TRUE(remote.StationRequests().empty());
    EXPECT_TRUE(view.log.empty()) << "answers to stations are not logged";

    // A request whose tab closes is forgotten.
    FromStation("/con charlie", "STN2");
    EXPECT_EQ(remote.StationRequests().size(), 1u);
    remote.ForgetConnection(charlie.controller.ConnectionId);
    EXPECT_TRUE(remote.StationRequests().empty());
}

TEST_F(RemoteCommandsTest, AlertsGoToTheListedStationsThenToTheSendersAndStopAtTheFirstFailure)
{
    Page& alpha = Add(Telnet(u"Alpha", 7300));
    Page& bravo = Add(Telnet(u"Bravo", 7301));
    view.general.GabStations = {u"STN1", u"RUN"};
    FromStation("sh/wwv", "run");  // already listed
    FromStation("sh/wwv", "MULT"); // a sender
    view.gabs.clear();
    view.log.clear();

    Connect(alpha);
    remote.OnConnectionLost(alpha.controller, u"Connection closed by the server", true);
    alpha.Transport().Report(TransportState::Connected);
    remote.OnConnectionStateChanged(alpha.controller);
    remote.OnConnectionLost(alpha.controller, u"", false);
    alpha.controller.Disconnect();
    remote.OnConnectionStateChanged(alpha.controller); // dropped silently
    const std::vector<std::u16string> alerts = {u"Connection to Alpha lost, reconnecting: Connection closed by the server",
                                                u"Connection to Alpha restored", u"Connection to Alpha lost: no answer"};
    for (const std::u16string station : {u"STN1", u"RUN", u"MULT"}) EXPECT_EQ(view.GabsTo(station), alerts);
    EXPECT_TRUE(remote.AnnouncedFailures().empty());

    // Still not connected 120 s after Connect All at start-up: told once, then told when it comes.
    view.gabs.clear();
    bravo.controller.Connect();
    bravo.controller.StartupConnectPending = true;
    alpha.controller.Connect();
    alpha.controller.StartupConnectPending = true;
    alpha.controller.Disconnect(); // by the user: not reported
    remote.ReportUnconnectedSinceStartup();
    bravo.Transport().Report(TransportState::Connected);
    remote.OnConnectionStateChanged(bravo.controller);
    EXPECT_EQ(view.GabsTo(u"MULT"), (std::vector<std::u16string>{u"Not connected to Bravo since startup: no answer",
                                                                 u"Connected to Bravo"}));

    // A failing network: one red line, and nobody after the first station.
    view.gabs.clear();
    view.gabFailuresLeft = 2;
    remote.NotifyStations(u"one");
    EXPECT_TRUE(view.gabs.empty());
    EXPECT_EQ(view.networkErrors, std::vector<std::u16string>{u"network error 10065"});
    remote.NotifyStations(u"two"); // a failure already reported
    EXPECT_EQ(view.networkErrors.size(), 1u);

    view.general.GabAlerts = false;
    remote.NotifyStations(u"three");
    EXPECT_TRUE(view.gabs.empty());
    EXPECT_TRUE(view.log.empty()) << "alerts are not logged";
}

TEST_F(RemoteCommandsTest, AConnectionClosedBeforeItsLoginCompletedIsAFailedAttemptNeitherLostNorRestored)
{
    CConnectionSettings settings = Telnet(u"Alpha", 7300);
    settings.Login = u"N0CALL";
    settings.Password = u"wrong";
    Page& alpha = Add(settings);
    CConnectionController& page = alpha.controller;
    PageReportsToRemote reports(remote, page);
    page.Owner = &reports;
    view.general.GabStations = {u"STN1"};
    const auto serverCloses = [&] { ServerCloses(alpha); };
    const auto connectsAgain = [&] {
        RetriesAfterItsCountdown(alpha);
        alpha.Transport().Report(TransportState::Connected);
    };

    Connect(alpha);
    page.OnLoggedIn();
    serverCloses();
    EXPECT_EQ(page.ReconnectCountdown, 5);
    // The node answers the password with "Sorry" and closes before the login's end, every time.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        connectsAgain();
        serverCloses();
        EXPECT_EQ(page.ReconnectAttempt, attempt);
        EXPECT_EQ(page.ReconnectCountdown, 30);
    }
    connectsAgain();
    page.OnLoggedIn();
    EXPECT_EQ(page.ReconnectAttempt, 0);
    EXPECT_EQ(view.GabsTo(u"STN1"), (std::vector<std::u16string>{
                                        u"Connection to Alpha lost, reconnecting: Connection closed by the server",
                                        u"Connection to Alpha restored"}));
    EXPECT_TRUE(remote.AnnouncedFailures().empty());
}

// Connect All at start-up: 120 s later the stations hear of every page not yet up, logged in where it logs in
// by itself, with the reason its last attempt failed.
TEST_F(RemoteCommandsTest, APageNotLoggedInSinceStartupIsReportedWithTheReasonItLastFailed)
{
    view.general.GabStations = {u"STN1"};
    CConnectionSettings withLogin = Telnet(u"Sorry", 7300);
    withLogin.Login = u"N0CALL";
    withLogin.Password = u"wrong";
    Page& sorry = Add(withLogin); // the node answers the password "Sorry" and closes, every time
    withLogin.Name = u"Asks";
    Page& asks = Add(withLogin); // the node asks for the password once more and stays
    withLogin.Name = u"Mute";
    Page& mute = Add(withLogin); // the node never prompts
    Page& refused = Add(Telnet(u"Refused", 7303));
    Page& manual = Add(Telnet(u"Manual", 7304)); // no login set: up at the connection, as the user logs in
    PageReportsToRemote reports(remote, sorry.controller);
    sorry.controller.Owner = &reports;
    for (const auto& page : pages) {
        page->controller.Connect();
        page->controller.StartupConnectPending = true;
    }

    sorry.Transport().Report(TransportState::Connected);
    ServerCloses(sorry);
    RetriesAfterItsCountdown(sorry);
    sorry.Transport().Report(TransportState::Connected); // the next attempt, at its login again
    asks.Transport().Report(TransportState::Connected);
    const std::u16string askedAgain =
        u"The password is asked once more: wrong password? The connection commands are not sent.";
    asks.controller.OnLogMessage(true, 466, askedAgain);
    mute.Transport().Report(TransportState::Connected);
    refused.controller.OnLogMessage(true, 344, u"Unable to connect: connection refused");
    refused.Transport().Report(TransportState::Error);
    refused.controller.OnTransportEnded();
    RetriesAfterItsCountdown(refused); // connecting again
    manual.Transport().Report(TransportState::Connected);

    remote.ReportUnconnectedSinceStartup();
    EXPECT_EQ(view.GabsTo(u"STN1"),
              (std::vector<std::u16string>{u"Not connected to Sorry since startup: Connection closed by the server",
                                           u"Not connected to Asks since startup: " + askedAgain,
                                           u"Not connected to Mute since startup: no answer",
                                           u"Not connected to Refused since startup: Unable to connect: connection refused"}));

    view.gabs.clear();
    sorry.controller.OnLoggedIn();
    EXPECT_EQ(view.GabsTo(u"STN1"), std::vector<std::u16string>{u"Connected to Sorry"});
}

// Without automatic reconnection a page closed by the node before its login stays disconnected; only the
// user's disconnect keeps a page out of the report.
TEST_F(RemoteCommandsTest, WithoutReconnectionAPageClosedBeforeItsLoginIsReportedButNotOneTheUserDisconnected)
{
    view.general.GabStations = {u"STN1"};
    view.general.AutoReconnect = false;
    CConnectionSettings withLogin = Telnet(u"Sorry", 7300);
    withLogin.Login = u"N0CALL";
    withLogin.Password = u"wrong";
    Page& sorry = Add(withLogin);
    Page& dropped = Add(Telnet(u"Dropped", 7301));
    for (const auto& page : pages) {
        page->controller.Connect();
        page->controller.StartupConnectPending = true;
    }

    sorry.Transport().Report(TransportState::Connected);
    ServerCloses(sorry);
    dropped.controller.Disconnect();
    ASSERT_EQ(sorry.controller.State, 0);
    ASSERT_EQ(dropped.controller.State, 0);

    remote.ReportUnconnectedSinceStartup();
    EXPECT_EQ(view.GabsTo(u"STN1"), std::vector<std::u16string>{
                                        u"Not connected to Sorry since startup: Connection closed by the server"});
    EXPECT_EQ(remote.AnnouncedFailures(), (std::map<int, bool>{{sorry.controller.ConnectionId, true}}));
}

// Turning AutoReconnect off ends the countdown of a page that never came up since start-up; the user did not
// disconnect it, so the start-up report still names it.
TEST_F(RemoteCommandsTest, APageWhoseReconnectionEndsWithAutoReconnectTurnedOffIsStillReported)
{
    view.general.GabStations = {u"STN1"};
    Page& refused = Add(Telnet(u"Refused", 7303));
    refused.controller.Connect();
    refused.controller.StartupConnectPending = true;
    refused.controller.OnLogMessage(true, 344, u"Unable to connect: connection refused");
    refused.Transport().Report(TransportState::Error);
    refused.controller.OnTransportEnded();
    ASSERT_EQ(refused.controller.State, CConnectionController::kStateWaitingToReconnect);

    view.general.AutoReconnect = false;
    refused.controller.OnGeneralSettingsChanged();
    EXPECT_EQ(refused.controller.State, 0);
    remote.ReportUnconnectedSinceStartup();
    EXPECT_EQ(view.GabsTo(u"STN1"), std::vector<std::u16string>{
                                        u"Not connected to Refused since startup: Unable to connect: connection refused"});
}

TEST_F(RemoteCommandsTest, OnlyTheLatestSendersAreKeptAndAKnownOneKeepsItsPlace)
{
    Page& node = Add(Telnet(u"Node", 7300));
    Connect(node);
    view.general.GabStations = {u"STN1"};
    for (int i = 0; i < 1000; ++i) FromStation("sh/wwv", "MADE" + std::to_string(i));
    FromStation("sh/wwv", "made950"); // known: nothing moves
    FromStation("sh/wwv", "STN1");    // listed: never a sender

    std::vector<std::u16string> latest;
    for (int i = 936; i < 1000; ++i) latest.push_back(u"MADE" + AsciiToU16(std::to_string(i)));
    EXPECT_EQ(remote.SenderStations(), latest);
    EXPECT_EQ(node.Transport().sent.size(), 1002u);

    // A forgotten name that comes back is the newest; the oldest makes room for it.
    FromStation("sh/wwv", "MADE0");
    latest.erase(latest.begin());
    latest.push_back(u"MADE0");
    EXPECT_EQ(remote.SenderStations(), latest);

    view.gabs.clear();
    remote.NotifyStations(u"Connection to Node lost: no answer");
    ASSERT_EQ(view.gabs.size(), 65u);
    EXPECT_EQ(view.gabs.front().first, u"STN1");
    EXPECT_EQ(view.gabs.back().first, u"MADE0");
}

TEST(FormatLineReplyTest, LongLinesAreCutTo27CharactersAndAnEllipsis)
{
    EXPECT_EQ(FormatLineReply(u"/con", u"no"), u"/con: no");
    const std::u16string thirty(30, u'x');
    EXPECT_EQ(FormatLineReply(thirty, u"m"), thirty + u": m");
    EXPECT_EQ(FormatLineReply(thirty + u"y", u"m"), std::u16string(27, u'x') + u"...: m");
    // A character of two UTF-16 units across the cut is left out whole.
    const std::u16string face = u"\U0001F600";
    EXPECT_EQ(FormatLineReply(std::u16string(26, u'x') + face + u"yyyy", u"m"), std::u16string(26, u'x') + u"...: m");
}
