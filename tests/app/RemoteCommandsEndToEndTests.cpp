// The program and the logger's stations: a station's text sent on to the fake cluster nodes (spots where
// spots are taken, commands where commands are, in each node's dialect), a radio frequency followed by the
// CW Skimmer connection, slash commands of a station answered by "GAB:" messages, alerts about a connection
// lost and restored or not logged in since start-up, and slash commands typed in a page answered in that page.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Format.h"
#include "base/Utf.h"
#include "tests/app/EndToEndSupport.h"
#include "tests/app/ProgramTestHost.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using namespace kv::test;

namespace {

constexpr int kFirstPageId = 1100;
constexpr int kSendEditId = 1011;
constexpr UINT kSendLineMessage = WM_APP + 0x5;

const std::string kSep = "\x1f";
constexpr UINT_PTR kStartupReportTimer = 2;

bool NodeGot(const CTestPeer& node, const std::string& line)
{
    const std::vector<PeerEvent> log = node.Log();
    return std::any_of(log.begin(), log.end(), [&](const PeerEvent& e) { return e.event == "line" && e.data == line; });
}

// The messages of the "GAB:" packets the program sent to that station, in order.
std::vector<std::string> GabsOf(const CTestPeer& station, const std::string& to)
{
    std::vector<std::string> texts;
    for (const StationPacket& p : PacketsOfKind(station, "GAB:"))
        if (p.fields.size() == 4 && p.fields[1] == "TELNET" && p.fields[2] == to) texts.push_back(p.fields[3]);
    return texts;
}

class RemoteCommandsEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CTestPeer* peer : {&station, &nodeA, &nodeB, &skimmer, &dead}) ASSERT_TRUE(peer->Ok()) << peer->Error();
        ASSERT_TRUE(WriteDataFolderSettings(dir.Path(), Settings()));
    }

    std::string Settings() const
    {
        return FormatText("[General]\r\nConfigVersion=2\r\nFontFace=Consolas\r\nConnectAllOnStartup=1\r\n"
                          "CommandDelay=100\r\n"
                          "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=%d\r\nGabStations=STN1\r\n"
                          "[Connections]\r\nOrder=1,2,3\r\nActive=1\r\nClosed=4\r\nNextId=5\r\n"
                          "[Window]\r\nLogCollapsed=0\r\nHeight=640\r\n",
                          int(station.Port())) +
               TelnetSection(1, "Node A", nodeA.Port(), "") + TelnetSection(2, "Node B", nodeB.Port(), "NoSpotsFromQuarnel=1\r\nCommand1=sh/dx 1\r\n") +
               SkimmerSection(3, skimmer.Port()) +
               TelnetSection(4, "Dead", dead.Port(), "");
    }

    std::vector<std::string> GabsTo(const std::string& to) const { return GabsOf(station, to); }
    bool HasGab(const std::string& to, const std::string& text) const
    {
        const auto texts = GabsTo(to);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    void StationSends(const std::string& fields) { ASSERT_EQ(station.Tell(fields).substr(0, 2), "OK"); }
    void StationSendsText(const std::string& text) { StationSends("SENDPKT:" + kSep + "STN2" + kSep + kSep + text); }

    std::string Story(HWND frame) const
    {
        return "node A:\n" + Describe(nodeA) + "node B:\n" + Describe(nodeB) + "skimmer:\n" + Describe(skimmer) +
               "station:\n" + Describe(station) + "log pane:\n" + Utf16ToUtf8(LogPaneText(frame));
    }

    CTestPeer station{"station", "listen"};
    CTestPeer nodeA{"cluster", "contest", "chunk=64 pause=1"};
    CTestPeer nodeB{"cluster", "contest", "software=cc chunk=64 pause=1 close=1"};
    CTestPeer skimmer{"cluster", "contest", "software=skimmer chunk=64 pause=1"};
    CTestPeer dead{"cluster", "refused"};
    test::CTempDir dir;
};

// Connect All at start-up against a node that refuses the password ("Sorry", then it closes), one that asks
// for it once more and one that takes the login.
class StartupReportEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CTestPeer* peer : {&station, &sorry, &asks, &fine}) ASSERT_TRUE(peer->Ok()) << peer->Error();
    }

    // Each test writes the settings once, with the [General] keys of its own.
    void WriteSettings(const std::string& moreGeneral)
    {
        const std::string settings =
            FormatText("[General]\r\nConfigVersion=2\r\nFontFace=Consolas\r\nConnectAllOnStartup=1\r\n"
                       "CommandDelay=100\r\n%s"
                       "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=%d\r\nGabStations=STN1\r\n"
                       "[Connections]\r\nOrder=1,2,3\r\nActive=1\r\nNextId=4\r\n[Window]\r\nLogCollapsed=0\r\n",
                       moreGeneral, int(station.Port())) +
            TelnetSection(1, "Sorry", sorry.Port(), "Password=wrong\r\n") +
            TelnetSection(2, "Asks", asks.Port(), "Password=wrong\r\n") +
            TelnetSection(3, "Fine", fine.Port(), "Command1=sh/dx\r\n");
        ASSERT_TRUE(WriteDataFolderSettings(dir.Path(), settings));
    }

    std::string Story(HWND frame) const
    {
        return "sorry:\n" + Describe(sorry) + "asks:\n" + Describe(asks) + "station:\n" + Describe(station) +
               "log pane:\n" + Utf16ToUtf8(LogPaneText(frame));
    }
    static bool LogShows(HWND frame, const std::u16string& text)
    {
        return LogPaneText(frame).find(text) != std::u16string::npos;
    }
    // The program on the settings written: once Sorry's node has closed, Asks has been asked for the password
    // again and Fine has taken its command, the report (its timer's message standing for the two minutes)
    // tells STN1 of Sorry and Asks, with why each failed, and logs nothing.
    void ExpectTheReportOfSorryAndAsks(bool sorryReconnects)
    {
        test::CProgram program(u"-a \"" + dir.Path() + u"\"");
        ASSERT_TRUE(program.Started());
        HWND frame = program.FindWindowOfClass(kFrameClass, 15000);
        ASSERT_NE(frame, nullptr);
        const std::u16string sorryEnded =
            sorryReconnects ? u"[Sorry] Automatic reconnection in 5 s" : u"[Sorry] Connection closed by the server";
        ASSERT_TRUE(PumpUntil(
            [&] {
                return LogShows(frame, sorryEnded) && LogShows(frame, u"[Asks] The password is asked once more") &&
                       NodeGot(fine, "sh/dx\r\n");
            },
            10000))
            << Story(frame);

        ::PostMessageW(Child(frame, kViewId), WM_TIMER, kStartupReportTimer, 0);
        PumpUntil([&] { return GabsOf(station, "STN1").size() >= 2; }, 5000);
        PumpFor(300); // nothing more comes
        const std::vector<std::string> alerts = GabsOf(station, "STN1");
        ASSERT_EQ(alerts.size(), 2u) << Story(frame);
        EXPECT_EQ(alerts[0], "Not connected to Sorry since startup: Connection closed by the server");
        EXPECT_EQ(alerts[1].rfind("Not connected to Asks since startup: The password is asked once more", 0), 0u)
            << alerts[1];
        EXPECT_FALSE(LogShows(frame, u"since startup")) << "the report is not logged";
        EXPECT_EQ(LogShows(frame, u"[Sorry] Automatic reconnection"), sorryReconnects) << Story(frame);

        test::CloseAndExpectCleanExit(program, frame);
    }

    CTestPeer station{"station", "listen"};
    CTestPeer sorry{"cluster", "refusespassword"};
    CTestPeer asks{"cluster", "wrongpassword"};
    CTestPeer fine{"cluster", "session"};
    test::CTempDir dir;
};

// A line typed in the send line of the page with that control id, as Enter sends it.
void Type(HWND page, const std::u16string& line)
{
    ::SendMessageW(Child(page, kSendEditId), WM_SETTEXT, 0, LPARAM(line.c_str()));
    ::SendMessageW(page, kSendLineMessage, kSendEditId, 0);
}

std::u16string PaneText(HWND page) { return WindowText(Child(Child(page, kReceivePaneId), kReceiveEditId)); }

} // namespace

TEST_F(RemoteCommandsEndToEndTest, StationsSendTextAndCommandsAndHearTheAnswersAndTheAlerts)
{
    test::CProgram program(u"-a \"" + dir.Path() + u"\"");
    ASSERT_TRUE(program.Started());
    HWND frame = program.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(frame, nullptr);
    const std::string a = FormatText("127.0.0.1:%d", int(nodeA.Port()));

    // Node B closes its first connection: the alert station hears it lost, then restored.
    ASSERT_TRUE(PumpUntil([&] { return HasGab("STN1", "Connection to Node B restored"); }, 25000)) << Story(frame);
    EXPECT_EQ(GabsTo("STN1"), (std::vector<std::string>{"Connection to Node B lost, reconnecting: Connection closed by the server",
                                                        "Connection to Node B restored"}));
    ASSERT_TRUE(PumpUntil([&] { return NodeGot(skimmer, "N0CALL\n") && NodeGot(nodeA, "N0CALL\r\n"); }, 5000));
    PumpFor(1500); // the nodes' logins end after a quiet second

    // A spot and a command from a station: the spot to A and the skimmer (B takes no spots from the logger),
    // the command to all three, in CC Cluster's syntax on node B.
    StationSendsText("DX 14030.0 K1ABC tnx QSO\r\nSH/DX 25");
    ASSERT_TRUE(PumpUntil(
        [&] {
            return NodeGot(nodeB, "SH/DX/25\r\n") && NodeGot(skimmer, "SH/DX 25\n") && NodeGot(nodeA, "SH/DX 25\r\n") &&
                   NodeGot(nodeA, "DX 14030.0 K1ABC tnx QSO\r\n") && NodeGot(skimmer, "DX 14030.0 K1ABC tnx QSO\n");
        },
        5000))
        << Story(frame);
    EXPECT_FALSE(NodeGot(nodeB, "DX 14030.0 K1ABC tnx QSO\r\n"));

    // The logger's radio 1 of STN1 moves the skimmer.
    StationSends("CWSKIMMERFREQ:" + kSep + "STN1" + kSep + "TELNET" + kSep + "#0" + kSep + "#140253");
    EXPECT_TRUE(PumpUntil([&] { return NodeGot(skimmer, "SKIMMER/QSY 14025.3\n"); }, 5000)) << Story(frame);

    // Commands of a station, answered to that station alone.
    StationSendsText("/status");
    ASSERT_TRUE(PumpUntil([&] { return GabsTo("STN2").size() >= 5; }, 5000)) << Story(frame);
    EXPECT_EQ(GabsTo("STN2"), (std::vector<std::string>{
        "3 connection(s), 3 connected, 1 closed", "*C Node A           " + a,
        FormatText(" C Node B           127.0.0.1:%d", int(nodeB.Port())),
        FormatText(" C Skimmer          127.0.0.1:%d", int(skimmer.Port())),
        FormatText(" - Dead             127.0.0.1:%d", int(dead.Port()))}));

    StationSendsText("/open dead\n/con dead");
    ASSERT_TRUE(PumpUntil([&] { return GabsTo("STN2").size() >= 8; }, 10000)) << Story(frame);
    std::vector<std::string> answers = GabsTo("STN2");
    EXPECT_EQ(answers[5], "Reopened Dead");
    EXPECT_EQ(answers[6], "Connecting Dead");
    EXPECT_EQ(answers[7].rfind("Connection to Dead failed: ", 0), 0u) << answers[7];

    // "bye" makes node A end the session: both the alert station and the sender hear it lost, then back.
    StationSendsText("/sel node a\n/bye"); // the reopened connection became the active tab
    ASSERT_TRUE(PumpUntil([&] { return HasGab("STN2", "Connection to Node A restored"); }, 15000)) << Story(frame);
    answers = GabsTo("STN2");
    EXPECT_EQ(std::vector<std::string>(answers.begin() + 8, answers.end()),
              (std::vector<std::string>{"Selected Node A", "bye sent to Node A",
                                        "Connection to Node A lost, reconnecting: Connection closed by the server",
                                        "Connection to Node A restored"}));
    EXPECT_TRUE(HasGab("STN1", "Connection to Node A restored"));
    EXPECT_EQ(EventsOf(nodeA.Log(), "accept").size(), 2u);

    StationSendsText("/disc node b\n/help\n/sel nothing");
    ASSERT_TRUE(PumpUntil([&] { return HasGab("STN2", "Disconnected from Node B"); }, 5000)) << Story(frame);
    ASSERT_TRUE(PumpUntil([&] { return GabsTo("STN2").size() >= 12u + 1 + 1 + 13 + 1; }, 5000)) << Story(frame);
    PumpFor(300); // nothing more comes
    answers = GabsTo("STN2");
    ASSERT_EQ(answers.size(), 12u + 1 + 1 + 13 + 1) << Story(frame); // the help is 13 lines
    EXPECT_EQ(answers[12], "Disconnecting Node B");
    EXPECT_TRUE(HasGab("STN2", "Commands (current connection: this tab, or the active tab for Quarnel):"));
    EXPECT_TRUE(HasGab("STN2", "- closed; * active tab"));
    EXPECT_EQ(answers.back(), "/sel nothing: Unknown connection: \"nothing\"");
    for (const std::string& text : answers) EXPECT_LE(text.size(), 80u) << text;
    StationSendsText("/con node b");
    ASSERT_TRUE(PumpUntil([&] { return HasGab("STN2", "Connected to Node B"); }, 5000)) << Story(frame);
    answers = GabsTo("STN2");
    EXPECT_EQ(answers[answers.size() - 2], "Connecting Node B");
    const std::u16string log = LogPaneText(frame);
    EXPECT_NE(log.find(u"/sel nothing: Unknown connection: \"nothing\""), std::u16string::npos) << Utf16ToUtf8(log);
    EXPECT_EQ(log.find(u"Reopened Dead"), std::u16string::npos) << "a reply to a station is a \"GAB:\" message only";

    // Slash commands typed in node A's page are answered there.
    HWND tabStrip = Child(Child(frame, kViewId), kTabStripId);
    HWND pageA = Child(tabStrip, kFirstPageId);
    ASSERT_NE(pageA, nullptr);
    Type(pageA, u"/status");
    Type(pageA, u"/con");
    const auto pages = [&] {
        int count = 0;
        for (HWND page = ::GetWindow(tabStrip, GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT))
            count += ::GetDlgCtrlID(page) >= kFirstPageId;
        return count;
    };
    const int pagesBefore = pages();
    Type(pageA, u"/close dead");
    // The tab closes once the command has finished: then it can be reopened.
    EXPECT_TRUE(PumpUntil([&] { return pages() == pagesBefore - 1; }, 5000));
    Type(pageA, u"/open dead");
    Type(pageA, u"/sel nothing");
    Type(pageA, u"/sel node a");
    const std::u16string replies[] = {u"4 connection(s), 3 connected, 0 closed", u"*C Node A ", u" C Node B ",
                                      u" Dead             127.0.0.1:", u"Node A is already connected",
                                      u"Closed Dead (reopen it with /open)", u"Reopened Dead",
                                      u"/sel nothing: Unknown connection: \"nothing\"", u"Selected Node A"};
    const auto shows = [&](const std::u16string& reply) { return PaneText(pageA).find(reply) != std::u16string::npos; };
    PumpUntil([&] { return std::all_of(std::begin(replies), std::end(replies), shows); }, 5000);
    const std::u16string pane = PaneText(pageA);
    for (const std::u16string& reply : replies)
        EXPECT_NE(pane.find(reply), std::u16string::npos) << Utf16ToUtf8(reply) << "\n" << Utf16ToUtf8(pane);
    EXPECT_NE(LogPaneText(frame).find(u"[Node A] /sel nothing"), std::u16string::npos) << Utf16ToUtf8(LogPaneText(frame));
    EXPECT_EQ(GabsTo("STN2").size(), answers.size()) << "typed commands answer no station";
    ::SetForegroundWindow(frame);
    PumpFor(300);
    EXPECT_FALSE(test::SaveScreenshot(frame, u"remote-commands").empty());

    test::CloseAndExpectCleanExit(program, frame);
}

// The report of the connections not up 120 s after the start-up's Connect All names those that never logged
// in, with the reason their last attempt failed.
TEST_F(StartupReportEndToEndTest, StationsHearOfTheConnectionsNotLoggedInSinceStartup)
{
    WriteSettings("");
    ExpectTheReportOfSorryAndAsks(true);
}

// Without automatic reconnection the node that closes before the login leaves its page disconnected, and the
// stations still hear of it.
TEST_F(StartupReportEndToEndTest, WithoutReconnectionStationsHearOfAConnectionClosedBeforeItsLogin)
{
    WriteSettings("AutoReconnect=0\r\n");
    ExpectTheReportOfSorryAndAsks(false);
}
