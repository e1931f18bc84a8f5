#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/CReceivePane.h"
#include "app/CSendEdit.h"
#include "app/CSplitterBar.h"
#include "app/LineStyle.h"
#include "app/PaneMessages.h"
#include "app/SpotTestRequest.h"
#include "app/MonoFont.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "connections/CConnectionPage.h"
#include "connections/CQuarnelLoggerLink.h"
#include "connections/CTelnetConnection.h"
#include "connections/DxSummitConnection.h"
#include "spots/CSentSpotCache.h"
#include "spots/GlobalSpotFilterLevels.h"
#include "tests/app/ControlTestHost.h"
#include "tests/app/PaneTestHost.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"
#include "win/SystemClock.h"

using namespace kv;
using namespace kv::test;

namespace {

const std::string kForwardedSpot = "DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\a\a\n";

class CRecordingEvents : public IConnectionEvents {
public:
    std::vector<std::u16string> log;
    std::vector<std::pair<std::u16string, bool>> lost;
    std::vector<std::u16string> commands;
    std::vector<SpotTestRequest> spotTests;
    int sendLinesChanges = 0;
    void OnConnectionStateChanged(CConnectionPage*) override {}
    void OnConnectionLogMessage(CConnectionPage*, bool, const std::u16string& text) override { log.push_back(text); }
    void OnSendLinesChanged(CConnectionPage*) override { ++sendLinesChanges; }
    void OnNetworkStatus(const std::u16string& text) override { log.push_back(text); }
    void OnCommandLine(CConnectionPage*, const std::u16string& line) override { commands.push_back(line); }
    void OnConnectionLost(CConnectionPage*, const std::u16string& reason, bool reconnecting) override
    {
        lost.emplace_back(reason, reconnecting);
    }
    void OnTestInSpotFilters(CConnectionPage*, const SpotTestRequest& request) override
    {
        spotTests.push_back(request);
    }
};

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) ++count;
    return count;
}

class ConnectionPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::WSAStartup(MAKEWORD(2, 2), &wsa_);
        resources_ = ::LoadLibraryExW(W(Utf8ToUtf16(BuildPath("kestrivane.exe"))), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(resources_, nullptr);
        ASSERT_TRUE(station_.Ok()) << station_.Error();
        std::u16string error;
        ASSERT_TRUE(network_.Open(u"127.255.255.255", station_.Port(), u"TELNET", error)) << U16ToAscii(error);

        general_.CommandDelay = 100;
        levels_.rejectOutOfBand = false;
        levels_.texts[0].dxCalls = u"F5*";
        levels_.CompileLevel(0);
        ASSERT_TRUE(font_.CreateFontForDpi(u"Consolas", 10, 96));
        // The pages' tests need no focus, and take none from the tests beside them.
        ASSERT_TRUE(host_.Create(820, 480, u"Connection page", false));
        page_ = new CConnectionPage({&general_, &levels_, &sentSpots_, &logger_, nullptr, &clock_});
        ASSERT_TRUE(page_->Create(host_, 1100, resources_));
        page_->Owner = &events_;
        const RECT client = host_.ClientRect();
        page_->Move(0, 0, client.right, client.bottom);
        page_->Show(SW_SHOW);
        page_->SetTextFont(&font_);
    }
    void TearDown() override
    {
        if (page_) ::DestroyWindow(*page_); // deletes the page
        network_.Close();
        if (resources_) ::FreeLibrary(resources_);
        ::WSACleanup();
    }

    // The page's pane holding 5000 lines, "line 1" to "line 5000".
    CReceivePane& FullPane()
    {
        CReceivePane& pane = page_->ReceivePane();
        std::u16string lines;
        for (int i = 1; i <= 5000; ++i) lines += FormatText(u"line %d\n", i);
        pane.AppendText(lines, LineReceived);
        pane.FlushPendingText();
        return pane;
    }

    CConnectionSettings Node(uint16_t port) const
    {
        CConnectionSettings settings;
        settings.Name = u"Page node";
        settings.Host = u"127.0.0.1";
        settings.Port = port;
        settings.Login = u"N0CALL";
        settings.LineEnding = LineEndingCrLf;
        return settings;
    }
    std::string StationHeard() const
    {
        std::string all;
        for (const PeerEvent& e : station_.Log())
            if (e.event == "packet") all += e.data + "\n--\n";
        return all;
    }
    size_t Accepts(const CTestPeer& peer) const
    {
        size_t count = 0;
        for (const PeerEvent& e : peer.Log()) count += e.event == "accept";
        return count;
    }
    std::u16string PaneText() const
    {
        CReadOnlyRichEdit& edit = page_->ReceivePane().Edit();
        return edit.GetTextRange(0, edit.GetTextLength());
    }
    std::u16string ReasonOf(const std::u16string& text) const
    {
        const size_t at = PaneText().find(text);
        if (at == std::u16string::npos) return u"(not shown)";
        const LineReason* reason = page_->ReceivePane().FindReason(int(at));
        return reason ? reason->Reason : u"";
    }

    WSADATA wsa_{};
    HMODULE resources_ = nullptr;
    CTestPeer station_{"station", "silent"};
    CQuarnelNetwork network_;
    CQuarnelLoggerLink logger_{network_};
    CSystemClock clock_;
    GeneralSettings general_;
    GlobalSpotFilterLevels levels_;
    CSentSpotCache sentSpots_{clock_};
    CCommonControlsV6 commonControls_;
    MonoFont font_;
    CControlTestHost host_;
    CConnectionPage* page_ = nullptr;
    CRecordingEvents events_;
};

} // namespace

TEST_F(ConnectionPageTest, SpotsForwardedOnceRejectedStruckOutAndReconnectedAfterTheServerCloses)
{
    CTestPeer node("pagecluster", "spots", "chunk=4 pause=5");
    ASSERT_TRUE(node.Ok()) << node.Error();
    CConnectionSettings settings = Node(node.Port());
    settings.Commands = {u"sh/dx 1"}; // sent once the login has ended, when the node closes
    page_->ApplySettings(settings);
    page_->Connect();

    // Every line reaches the page in pieces of four bytes; each goes out once, whole.
    ASSERT_TRUE(PumpUntil([&] { return CountOf(StationHeard(), kForwardedSpot) > 0; }, 10000)) << StationHeard();
    ASSERT_TRUE(PumpUntil([&] { return PaneText().find(u"73 de GB7TST") != std::u16string::npos; }, 10000));
    EXPECT_EQ(page_->SoftwareId, DXSpider);
    EXPECT_EQ(ReasonOf(u"F5ABC"), u"Rejected by All connections: DX callsign (F5ABC)");
    SaveScreenshot(host_, u"connection-page-rejected");

    // The node closes the first connection: the page counts down 5 s and connects again.
    ASSERT_TRUE(PumpUntil([&] { return page_->State == 4; }, 5000));
    ASSERT_EQ(events_.lost.size(), 1u);
    EXPECT_EQ(events_.lost[0], std::make_pair(std::u16string(u"Connection closed by the server"), true));
    ASSERT_TRUE(PumpUntil([&] { return Accepts(node) == 2 && page_->State == 2; }, 12000));
    ASSERT_TRUE(PumpUntil([&] { return CountOf(U16ToAscii(PaneText()), "73 de GB7TST") == 2; }, 10000));
    PumpFor(700);

    const std::string heard = StationHeard();
    EXPECT_EQ(CountOf(heard, kForwardedSpot), 1u) << heard; // the second copy was already sent
    EXPECT_EQ(heard.find("F5ABC"), std::string::npos);
    EXPECT_EQ(CountOf(heard, "73 de GB7TST"), 2u);
    const std::u16string pane = PaneText();
    const size_t second = pane.rfind(u"DL1XYZ");
    ASSERT_NE(second, pane.find(u"DL1XYZ"));
    const LineReason* reason = page_->ReceivePane().FindReason(int(second));
    ASSERT_NE(reason, nullptr);
    EXPECT_EQ(reason->Style, LineDuplicate);
    EXPECT_NE(reason->Reason.find(u"Already sent to Quarnel by Page node at "), std::u16string::npos);
    SaveScreenshot(host_, u"connection-page-reconnected");
}

// A node that sends a spot twice in a row, in one read: the first copy goes to the logger and is shown as
// received, the second is withheld and is the one struck out.
TEST_F(ConnectionPageTest, OfASpotSentTwiceInARowTheSecondCopyIsStruckOut)
{
    CTestPeer node("cluster", "contest", "chunk=512 pause=5 lines=twice,closing");
    ASSERT_TRUE(node.Ok()) << node.Error();
    page_->ApplySettings(Node(node.Port()));
    page_->Connect();
    ASSERT_TRUE(PumpUntil([&] { return PaneText().find(u"73 de GB7TST") != std::u16string::npos; }, 15000));
    ASSERT_TRUE(PumpUntil([&] { return CountOf(StationHeard(), kForwardedSpot) > 0; }, 5000)) << StationHeard();
    PumpFor(300);
    EXPECT_EQ(CountOf(StationHeard(), kForwardedSpot), 1u) << StationHeard();
    SaveScreenshot(host_, u"connection-page-spot-sent-twice");

    const std::u16string text = PaneText();
    const size_t first = text.find(u"DL1XYZ");
    const size_t second = text.find(u"DL1XYZ", first + 1);
    ASSERT_NE(second, std::u16string::npos) << U16ToAscii(text);
    const auto struckOut = [&](size_t at) {
        CReadOnlyRichEdit& edit = page_->ReceivePane().Edit();
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        edit.SetSel(long(at), long(at) + 6);
        edit.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
        return (format.dwEffects & CFE_STRIKEOUT) != 0;
    };
    EXPECT_FALSE(struckOut(first));
    EXPECT_TRUE(struckOut(second));
}

TEST_F(ConnectionPageTest, SendLineSplitterSpotTestAndCloseWithoutAConnection)
{
    page_->ApplySettings(Node(23));
    CSendEdit& sendEdit = page_->SendEdit();
    const auto windowRect = [](HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r;
    };
    const int lineHeight = font_.LineHeight;
    EXPECT_EQ(windowRect(sendEdit).bottom - windowRect(sendEdit).top,
              4 + 2 * lineHeight + 2 * ::GetSystemMetrics(SM_CYEDGE));
    EXPECT_EQ(windowRect(page_->Splitter()).bottom, windowRect(sendEdit).top);

    // Typed while disconnected: a line stays, a command runs.
    sendEdit.SetText(u"sh/dx 20");
    page_->SendMessage(WM_APP_SEND_LINE, IDC_PAGE_SEND_EDIT, 0);
    EXPECT_EQ(sendEdit.GetText(), u"sh/dx 20");
    sendEdit.SetText(u"/con");
    page_->SendMessage(WM_APP_SEND_LINE, IDC_PAGE_SEND_EDIT, 0);
    EXPECT_EQ(events_.commands, std::vector<std::u16string>{u"/con"});
    EXPECT_EQ(sendEdit.GetText(), u"");

    // Dragged to the top, the receive pane keeps room for five lines.
    page_->SendMessage(WM_APP_SPLITTER_DRAG, IDC_PAGE_SPLITTER, 0);
    EXPECT_GT(page_->SendLines, 2);
    EXPECT_LE(page_->SendLines, 20);
    EXPECT_EQ(events_.sendLinesChanges, 1);
    EXPECT_GE(windowRect(page_->ReceivePane()).bottom - windowRect(page_->ReceivePane()).top, 5 * lineHeight);
    page_->SendMessage(WM_APP_SPLITTER_DRAG, IDC_PAGE_SPLITTER, host_.ClientRect().bottom);
    EXPECT_EQ(page_->SendLines, 1);

    // A notice after an unfinished line starts a line of its own.
    page_->OnTextReceived(u"login: ");
    page_->AppendLogLine(false, u"Connection added");
    EXPECT_EQ(PaneText(), u"login: \rConnection added\r");

    SpotTestRequest request{u"DX de K8RQT: 14025.0 N4XJZ CQ 1234Z", 7, u"why"};
    page_->SendMessage(WM_APP_TEST_IN_SPOT_FILTERS, 0, LPARAM(&request));
    ASSERT_EQ(events_.spotTests.size(), 1u);
    EXPECT_EQ(events_.spotTests[0].Line, request.Line);
    EXPECT_EQ(events_.spotTests[0].CharIndex, 7);
    EXPECT_EQ(events_.spotTests[0].Reason, u"why");

    page_->SendMessage(WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return host_.Count(WM_COMMAND) == 1; }, 2000));
    EXPECT_EQ(host_.Received(WM_COMMAND)[0].wParam, WPARAM(32772));
    EXPECT_TRUE(::IsWindow(*page_));

    CConnectionSettings summit = Node(23);
    summit.Type = ConnectionDxSummit;
    page_->ApplySettings(summit);
    EXPECT_NE(dynamic_cast<CDxSummitConnection*>(page_->Transport.get()), nullptr);
    PumpFor(200);
    SaveScreenshot(host_, u"connection-page-idle");
}

// A new font lays the text out again: a reader at the end of a full pane (taller than 65,535 pixels) stays
// there and follows the new lines, one above keeps his first line, with a larger font and with a smaller one.
TEST_F(ConnectionPageTest, ANewFontKeepsTheReadersPlaceInAFullPane)
{
    MonoFont larger;
    MonoFont smaller;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 14, 96));
    ASSERT_TRUE(smaller.CreateFontForDpi(u"Consolas", 8, 96));
    CReceivePane& pane = FullPane();
    const auto firstLine = [&] { return Utf16ToUtf8(FirstVisibleLineText(pane.Edit())); };

    int next = 5001;
    for (const MonoFont* font : {&larger, &font_, &smaller, &font_}) {
        pane.ScrollToEnd();
        page_->SetTextFont(font);
        EXPECT_TRUE(pane.IsScrolledToEnd()) << font->PointSize << " pt: at the end, then shown from " << firstLine();
        pane.AppendText(FormatText(u"line %d\n", next++), LineReceived);
        EXPECT_TRUE(pane.IsScrolledToEnd()) << font->PointSize << " pt";
        EXPECT_EQ(pane.NewLineCount(), 0) << font->PointSize << " pt";
    }
    for (const MonoFont* font : {&larger, &font_, &smaller, &font_}) {
        pane.ScrollToEnd();
        ScrollLinesAboveTheEnd(pane.Edit(), 100);
        const std::string reading = firstLine();
        page_->SetTextFont(font);
        EXPECT_EQ(firstLine(), reading) << font->PointSize << " pt";
        if (font == &larger) {
            PumpFor(100);
            SaveScreenshot(host_, u"connection-page-reader-after-a-larger-font");
        }
    }
}

// The general settings give every page a new font, the hidden ones too, whose text is laid out again unseen: shown
// again, a page's reader who was above is on his line, and one at the end is there and follows the new lines.
TEST_F(ConnectionPageTest, ANewFontWhileThePageIsHiddenKeepsTheReadersPlace)
{
    MonoFont larger;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 14, 96));
    CReceivePane& pane = FullPane();
    const auto firstLine = [&] { return Utf16ToUtf8(FirstVisibleLineText(pane.TextControl())); };
    const auto switchAwayAndBack = [&](const MonoFont& font, int line) {
        page_->Show(SW_HIDE);
        page_->SetTextFont(&font);
        pane.AppendText(FormatText(u"line %d\n", line), LineReceived);
        PumpFor(300);
        page_->Show(SW_SHOW);
        PumpFor(300);
    };

    ScrollLinesAboveTheEnd(pane.Edit(), 100);
    const std::string reading = firstLine();
    switchAwayAndBack(larger, 5001);
    EXPECT_EQ(firstLine(), reading) << "a reader above";

    pane.ScrollToEnd();
    switchAwayAndBack(font_, 5002);
    EXPECT_TRUE(pane.IsScrolledToEnd()) << "a follower, shown from " << firstLine();
    EXPECT_EQ(firstLine().substr(0, 5), "line ");
    EXPECT_NE(pane.TextControl().GetTextRange(0, pane.TextControl().GetTextLength()).find(u"line 5002\r"),
              std::u16string::npos);
}

// Laid out again at once, a full pane's text holds the window for a second under Wine, and again for each resize
// the new font brings: a new font on a shown page leaves its pane empty at once, before the page and the frame are
// laid out for it, and is drawn anew a part at a time, until the pane holds every line again, with no notice; a
// reader 30 lines above the end has his line in view all along, a follower the end.
TEST_F(ConnectionPageTest, ANewFontOnAFullShownPaneIsDrawnAnewAPartAtATimeFromTheReadersLine)
{
    MonoFont larger;
    ASSERT_TRUE(larger.CreateFontForDpi(u"Consolas", 14, 96));
    CReceivePane& pane = FullPane();
    std::u16string whole;
    for (int i = 1; i <= 5000; ++i) whole += FormatText(u"line %d\r", i);
    const CReadOnlyRichEdit& edit = pane.TextControl();
    const auto inFont = [&](const MonoFont& font) {
        return edit.GetLineCount() > 2 && edit.PosFromChar(edit.LineIndex(1)).y - edit.PosFromChar(0).y == font.LineHeight;
    };
    const auto drawAnew = [&](const MonoFont& font, const std::function<void(const char* when)>& check) {
        page_->SetTextFont(&font);
        EXPECT_EQ(edit.GetTextLength(), 0) << font.PointSize << " pt: the old text is laid out again for the new font";
        ASSERT_TRUE(PumpUntil([&] { return inFont(font); }, 5000));
        EXPECT_LT(edit.GetLineCount(), 1000) << font.PointSize << " pt: laid out whole at once";
        check("after the first part");
        ASSERT_TRUE(PumpUntil([&] { return edit.GetTextLength() >= long(whole.size()); }, 30000));
        PumpFor(300);
        EXPECT_TRUE(edit.GetTextRange(0, edit.GetTextLength()) == whole) << font.PointSize << " pt";
        check("drawn whole");
    };
    const auto firstLine = [&] { return Utf16ToUtf8(FirstVisibleLineText(edit)); };

    pane.ScrollToEnd();
    ScrollLinesAboveTheEnd(pane.Edit(), 30);
    const std::string reading = firstLine();
    drawAnew(larger, [&](const char* when) { EXPECT_EQ(firstLine(), reading) << "a reader, " << when; });
    SaveScreenshot(host_, u"connection-page-reader-after-a-new-font-drawn-anew");
    pane.ScrollToEnd();
    drawAnew(font_, [&](const char* when) { EXPECT_TRUE(edit.IsScrolledToEnd()) << "a follower, " << when; });
}

// A node that reads nothing more: once what waits for it reaches the bound, a typed line stays in the send line,
// unechoed, and each one is told in red; when the node reads again, it goes out.
TEST_F(ConnectionPageTest, ALineTypedForANodeThatStopsReadingStaysInTheSendLineUntilItReads)
{
    CTestPeer node("cluster", "stallread");
    ASSERT_TRUE(node.Ok()) << node.Error();
    page_->ApplySettings(Node(node.Port()));
    page_->Connect();
    ASSERT_TRUE(PumpUntil([&] { return page_->LoggedIn; }, 10000));
    const auto& telnet = dynamic_cast<const CTelnetConnection&>(*page_->Transport);
    const std::u16string fill = u"fill " + std::u16string(4091, u'x');
    for (int i = 0; i < 4096 && page_->Transport->SendLine(fill); ++i) {}
    ASSERT_FALSE(page_->Transport->SendRefusal().empty()) << telnet.PendingSendBytes() << " bytes wait";
    const size_t room = CTelnetSession::kMaxSendBuffer - telnet.PendingSendBytes(); // below a line of fill
    if (room >= 2) {
        ASSERT_TRUE(page_->Transport->SendLine(std::u16string(room - 2, u'f')));
    }
    ASSERT_FALSE(page_->Transport->SendLine(u"")); // full to the byte
    const std::u16string refusal = page_->Transport->SendRefusal();
    const size_t logged = events_.log.size();

    CSendEdit& sendEdit = page_->SendEdit();
    for (int typed = 0; typed < 2; ++typed) {
        sendEdit.SetText(u"sh/dx 20");
        page_->SendMessage(WM_APP_SEND_LINE, IDC_PAGE_SEND_EDIT, 0);
        EXPECT_EQ(sendEdit.GetText(), u"sh/dx 20");
    }
    EXPECT_EQ(std::vector(events_.log.begin() + long(logged), events_.log.end()), std::vector(2, refusal));
    EXPECT_EQ(PaneText().find(u"sh/dx 20"), std::u16string::npos);
    EXPECT_EQ(page_->State, 2);
    SaveScreenshot(host_, u"connection-page-line-refused");

    ASSERT_EQ(node.Tell("stop").substr(0, 2), "OK"); // the node reads again
    ASSERT_TRUE(PumpUntil([&] { return telnet.PendingSendBytes() == 0; }, 10000));
    page_->SendMessage(WM_APP_SEND_LINE, IDC_PAGE_SEND_EDIT, 0);
    EXPECT_EQ(sendEdit.GetText(), u"");
    EXPECT_NE(PaneText().find(u"sh/dx 20\r"), std::u16string::npos);
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<PeerEvent> log = node.Log();
        return std::any_of(log.begin(), log.end(), [](const PeerEvent& e) { return e.data == "sh/dx 20\r\n"; });
    }, 5000));
    SaveScreenshot(host_, u"connection-page-node-reads-again");
}

TEST_F(ConnectionPageTest, SkimmerPageThatFollowsARadioAnnouncesItselfAndSendsTheFrequencyAfterItsLogin)
{
    CTestPeer node("cluster", "greeting", "software=skimmer chunk=64");
    ASSERT_TRUE(node.Ok()) << node.Error();
    CConnectionSettings skimmer = Node(node.Port());
    skimmer.Type = ConnectionCwSkimmer;
    skimmer.CwSkimmer = true;
    skimmer.CwSkimmerRadio = 2;
    page_->ApplySettings(skimmer);
    page_->Connect();
    ASSERT_TRUE(PumpUntil([&] { return page_->State == 2; }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return StationHeard().find("CWSKIMMERCLIENT:") != std::string::npos; }, 5000));
    EXPECT_NE(StationHeard().find("CWSKIMMERCLIENT:\x1fTELNET\x1fSTN1\x1f" "1"), std::string::npos) << StationHeard();

    ASSERT_TRUE(PumpUntil([&] { return page_->LoggedIn; }, 10000));
    page_->RadioFrequency = 70253;
    page_->SendSkimmerQsy();
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::string received;
            for (const PeerEvent& e : node.Log())
                if (e.event == "line") received += e.data;
            return received.find("SKIMMER/QSY 7025.3\r\n") != std::string::npos;
        },
        5000));
    EXPECT_EQ(page_->LastQsyFrequency, 70253u);
}

TEST_F(ConnectionPageTest, APageWhoseWindowCannotBeMadeIsLeftToItsCreator)
{
    static int destroyed = 0;
    struct CountedPage : CConnectionPage {
        using CConnectionPage::CConnectionPage;
        ~CountedPage() override { ++destroyed; }
    };
    auto* page = new CountedPage({&general_, &levels_, &sentSpots_, &logger_, nullptr, &clock_});
    // A module without the template of the page's button bar: the page cannot be made. Windows sends
    // WM_NCDESTROY after a failed WM_CREATE (Wine does not), and the page must not delete itself then.
    EXPECT_FALSE(page->Create(host_, 1101, ::GetModuleHandleW(L"kernel32.dll")));
    EXPECT_EQ(destroyed, 0);
    delete page;
    EXPECT_EQ(destroyed, 1);
}
