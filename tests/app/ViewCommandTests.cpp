// The view's commands in real windows: closing and deleting (also of failing connections and of ones that
// wait to reconnect), renaming, the settings' consequences, Next and Previous, the global filter switch,
// the spot-filter levels through the settings file, the "+" menu and the enabling of the buttons.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>

#include "app/CChildView.h"
#include "app/CKestrivaneApp.h"
#include "app/CMainFrame.h"
#include "app/CReceivePane.h"
#include "app/CSendEdit.h"
#include "app/LineStyle.h"
#include "app/SpotTestRequest.h"
#include "base/Format.h"
#include "connections/CConnectionPage.h"
#include "resources/resource.h"
#include "tests/app/ViewTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;

namespace {

// Answers the view's questions as a test tells it, and remembers them.
class CScriptedQuestions final : public IViewQuestions {
public:
    struct Question {
        std::string kind; // "yesno", "close-or-delete", "message"
        std::u16string text;
        bool defaultYes = false;
        UINT type = 0;
    };
    std::vector<Question> asked;
    bool yes = true;
    int closeOrDelete = kCloseTheTab;
    int messageAnswer = IDNO;
    std::function<void()> whileAsking; // what happens while the modal question is open

    bool AskYesNo(const std::u16string& text, bool defaultYes) override
    {
        asked.push_back({"yesno", text, defaultYes, 0});
        Wait();
        return yes;
    }
    int AskCloseOrDelete(const std::u16string& text) override
    {
        asked.push_back({"close-or-delete", text, false, 0});
        Wait();
        return closeOrDelete;
    }
    int ShowMessage(const std::u16string& text, UINT type) override
    {
        asked.push_back({"message", text, false, type});
        Wait();
        return messageAnswer;
    }

private:
    void Wait()
    {
        if (whileAsking) whileAsking();
    }
};

class ViewCommandTest : public test::ViewFixture<CChildView> {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        view.SetQuestions(questions);
    }
    void TearDown() override
    {
        questions.whileAsking = nullptr;
        ViewFixture::TearDown();
        ::WSACleanup();
    }

    void CreateView(const std::string& settings)
    {
        WriteSettings(settings);
        ViewFixture::CreateView();
    }
    bool LogHas(const std::u16string& text) { return LogText().find(text) != std::u16string::npos; }
    // A connection to a port where nothing listens: refused, then waiting 5 s to connect again.
    void MakeWaitToReconnect(CConnectionPage& page)
    {
        page.Connect();
        ASSERT_TRUE(test::PumpUntil([&] { return page.State == 4; }, 10000)) << "state " << page.State;
        ASSERT_FALSE(page.LastErrorText.empty());
    }
    const CScriptedQuestions::Question& LastQuestion()
    {
        static const CScriptedQuestions::Question none;
        return questions.asked.empty() ? none : questions.asked.back();
    }

    CScriptedQuestions questions;
};

// Port 9 of the loopback: nothing listens there in the test run.
const char kThreeTelnet[] =
    "[Connections]\r\nOrder=1,2,3\r\nActive=2\r\nNextId=4\r\n"
    "[Connection.1]\r\nName=Alpha\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=9\r\nLogin=K1ABC\r\n"
    "[Connection.2]\r\nName=Bravo\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=9\r\n"
    "[Connection.3]\r\nName=Charlie\r\nType=DXSummit\r\n";

} // namespace

TEST_F(ViewCommandTest, CloseAsksTheRightQuestionForEachState)
{
    CreateView(kThreeTelnet);
    CConnectionPage* bravo = view.PageAt(1);
    ASSERT_NE(bravo, nullptr);

    // Not active: the plain question, default Yes; No keeps the tab.
    questions.yes = false;
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(LastQuestion().kind, "yesno");
    EXPECT_TRUE(LastQuestion().defaultYes);
    EXPECT_EQ(LastQuestion().text, u"Close the tab \"Bravo\"?\n\nThe connection is kept: reopen it with the + tab.");
    EXPECT_EQ(view.ConnectionTabCount(), 3);

    // In error without a last error: not active, so the plain question again.
    bravo->State = 3;
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(LastQuestion().kind, "yesno");
    EXPECT_EQ(questions.asked.size(), 2u);
    bravo->State = 0;

    // Waiting to reconnect after a refused connection: close or delete; cancelled, nothing happens.
    MakeWaitToReconnect(*bravo);
    questions.closeOrDelete = 0;
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(LastQuestion().kind, "close-or-delete");
    EXPECT_EQ(LastQuestion().text, u"The connection \"Bravo\" fails:\n" + bravo->LastErrorText +
                                       u"\n\nClose the tab (the connection is kept: reopen it with the + tab), or "
                                       u"delete the connection (its settings are removed permanently)?");
    EXPECT_EQ(view.ConnectionTabCount(), 3);
    EXPECT_EQ(bravo->State, 4);

    // Deleted: the reconnection is cancelled before the tab goes, and the settings are gone.
    questions.closeOrDelete = kDeleteTheConnection;
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Charlie", u"+"}));
    const std::u16string log = LogText();
    const size_t cancelled = log.find(u"[Bravo] Automatic reconnection cancelled");
    ASSERT_NE(cancelled, std::u16string::npos);
    EXPECT_GT(log.find(u"[Bravo] Connection deleted"), cancelled);
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"<missing>");
    EXPECT_TRUE(view.ClosedIds().empty());

    // Active (connecting or waiting): the question that says so; the tab closes, the settings stay.
    CConnectionPage* alpha = view.PageAt(0);
    view.TabStrip().SetActiveTab(0);
    alpha->State = 2;
    questions.yes = true;
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(LastQuestion().text, u"The connection \"Alpha\" is active.\n\nDisconnect it and close the tab? The "
                                   u"connection is kept: reopen it with the + tab.");
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Charlie", u"+"}));
    EXPECT_EQ(view.ClosedIds(), std::vector<int>{1});
    EXPECT_EQ(Key(u"Connection.1", u"Name"), u"Alpha");
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"1");
}

TEST_F(ViewCommandTest, DeleteAsksWithNoAsDefaultAndCancelsAReconnection)
{
    CreateView(kThreeTelnet);
    CConnectionPage* bravo = view.PageAt(1);
    questions.yes = false;
    view.ExecuteCommand(ID_CONNECTION_DELETE);
    EXPECT_FALSE(LastQuestion().defaultYes);
    EXPECT_EQ(LastQuestion().text, u"Delete the connection \"Bravo\"?\n\nIts settings will be removed permanently.");
    EXPECT_EQ(view.ConnectionTabCount(), 3);

    MakeWaitToReconnect(*bravo);
    questions.yes = true;
    view.ExecuteCommand(ID_CONNECTION_DELETE);
    EXPECT_EQ(questions.asked.back().text,
              u"The connection \"Bravo\" is active.\n\nDisconnect and delete it? Its settings will be removed permanently.");
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Charlie", u"+"}));
    EXPECT_TRUE(LogHas(u"[Bravo] Automatic reconnection cancelled"));
    EXPECT_EQ(Key(u"Connection.2", u"Host"), u"<missing>");
}

// A logger station may close the tab while the question is open: the answer must not close the tab that
// took its place. A deletion so overtaken is not done, and the user is told why, as in the "+" menu.
TEST_F(ViewCommandTest, ATabClosedWhileTheQuestionIsOpenLeavesTheOthersAlone)
{
    CreateView(kThreeTelnet);
    questions.whileAsking = [&] { view.CloseConnectionTab(1, false); };
    for (int command : {ID_CONNECTION_CLOSE, ID_CONNECTION_DELETE}) {
        view.TabStrip().SetActiveTab(1);
        const int before = view.ConnectionTabCount();
        view.ExecuteCommand(command);
        EXPECT_EQ(view.ConnectionTabCount(), before - 1) << "only the station's close";
    }
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"+"}));
    EXPECT_EQ(Key(u"Connection.3", u"Name"), u"Charlie") << "not deleted by the answer";
    const auto notDeleted = [](const std::u16string& name) {
        return u"The connection \"" + name + u"\" was not deleted: a Quarnel station closed it meanwhile."
                                             u"\n\nTo delete it, use Delete in the menu of the + tab.";
    };
    ASSERT_EQ(questions.asked.size(), 3u) << "the Close's question, the Delete's question, then why";
    EXPECT_EQ(LastQuestion().kind, "message");
    EXPECT_EQ(LastQuestion().type, UINT(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(LastQuestion().text, notDeleted(u"Charlie"));

    // The same for a closed connection reopened while its deletion is asked.
    questions.whileAsking = [&] { view.ReopenConnection(2); };
    view.DeleteClosedConnection(2);
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"Bravo");
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Bravo", u"+"}));

    // The close-or-delete question of a failing connection, answered Delete.
    CConnectionPage* alpha = view.PageAt(0);
    alpha->State = 3;
    alpha->LastErrorText = u"refused";
    questions.closeOrDelete = kDeleteTheConnection;
    questions.whileAsking = [&] {
        if (CConnectionPage* page = view.FindPageById(1)) view.CloseConnectionTab(view.FindPageIndex(page), false);
    };
    view.TabStrip().SetActiveTab(0);
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    EXPECT_EQ(view.ClosedIds(), (std::vector<int>{3, 1}));
    EXPECT_EQ(Key(u"Connection.1", u"Name"), u"Alpha");
    EXPECT_EQ(LastQuestion().text, notDeleted(u"Alpha"));
}

TEST_F(ViewCommandTest, RenameComparesExactlyWithItselfAndWithoutCaseWithTheOthers)
{
    CreateView("[Connections]\r\nOrder=1,2,3\r\nClosed=5\r\nNextId=6\r\n"
               "[Connection.1]\r\nName=Alpha\r\nHost=h1\r\n[Connection.2]\r\nName=Bravo\r\nHost=h2\r\n"
               "[Connection.3]\r\nName=Charlie\r\nType=DXSummit\r\n[Connection.5]\r\nName=\r\nHost=Delta.example\r\n");
    HWND strip = view.TabStrip().Handle();
    const auto rename = [&](int index, const std::u16string& name) {
        return ::SendMessageW(view, WM_APP_TAB_NAME_CHANGED, WPARAM(index), LPARAM(name.c_str()));
    };
    EXPECT_NE(rename(0, u"alpha"), 0) << "only the case of its own name";
    EXPECT_EQ(Key(u"Connection.1", u"Name"), u"alpha");
    EXPECT_EQ(view.PageAt(0)->Settings.Name, u"alpha");
    EXPECT_TRUE(LogHas(u"[alpha] Renamed from \"Alpha\""));
    EXPECT_TRUE(questions.asked.empty());

    EXPECT_EQ(rename(1, u"ALPHA"), 0);
    EXPECT_EQ(LastQuestion().kind, "message");
    EXPECT_EQ(LastQuestion().type, UINT(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(LastQuestion().text, u"Another connection is already named \"ALPHA\". Choose another name.");
    EXPECT_EQ(rename(1, u"delta.EXAMPLE"), 0) << "a closed connection's display name counts too";
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"Bravo");
    EXPECT_EQ(rename(1, u"Bravo"), 1);
    EXPECT_EQ(rename(7, u"Nobody"), 0);
    EXPECT_EQ(rename(3, u"Plus"), 0) << "the add tab is no connection";
    EXPECT_EQ(rename(1, u""), 0);

    // F2 starts the in-place edit of the active tab.
    view.TabStrip().SetActiveTab(2);
    view.ExecuteCommand(ID_CONNECTION_RENAME);
    EXPECT_TRUE(view.TabStrip().IsRenaming());
    ::SetWindowTextW(view.TabStrip().RenameEdit(), L"  Web spots  ");
    ::PostMessageW(strip, WM_APP_RENAME_DONE, 1, 0);
    test::PumpFor(50);
    EXPECT_EQ(view.TabStrip().GetTabLabel(2), u"Web spots");
    EXPECT_EQ(Key(u"Connection.3", u"Name"), u"Web spots");
}

TEST_F(ViewCommandTest, NewSettingsOfAnActiveTelnetConnectionAskToReconnect)
{
    CreateView(kThreeTelnet);
    CConnectionPage* bravo = view.PageAt(1);
    MakeWaitToReconnect(*bravo);

    CConnectionSettings settings = bravo->Settings;
    settings.Host = u"127.0.0.2";
    settings.Password = u"pw";
    settings.Name = u"Bravo 2";
    questions.messageAnswer = IDNO;
    view.ApplyConnectionSettings(*bravo, settings);
    EXPECT_EQ(LastQuestion().type, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(LastQuestion().text,
              u"The new settings (host, password) of \"Bravo 2\" are used at the next connection.\n\nReconnect now?");
    EXPECT_EQ(Key(u"Connection.2", u"Host"), u"127.0.0.2") << "stored even when not used yet";
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"Bravo 2");
    EXPECT_EQ(view.TabStrip().GetTabLabel(1), u"Bravo 2");
    const std::u16string log = LogText();
    EXPECT_NE(log.find(u"[Bravo 2] Renamed from \"Bravo\""), std::u16string::npos);
    EXPECT_NE(log.find(u"[Bravo 2] Settings changed"), std::u16string::npos);
    EXPECT_NE(log.find(u"[Bravo 2] New settings (host, password): used at the next connection"), std::u16string::npos);
    EXPECT_EQ(bravo->State, 4) << "not reconnected";

    // Only the case of the host, or a change of type (even with a new host): applied without a question.
    const size_t asked = questions.asked.size();
    settings.Host = u"127.0.0.2";
    settings.LineEnding = LineEndingCr;
    view.ApplyConnectionSettings(*bravo, settings);
    settings.Type = ConnectionCwSkimmer;
    settings.Host = u"127.0.0.3";
    view.ApplyConnectionSettings(*bravo, settings);
    EXPECT_EQ(questions.asked.size(), asked);
    EXPECT_EQ(Key(u"Connection.2", u"Type"), u"CWSkimmer");

    // A DX Summit connection never asks.
    CConnectionPage* charlie = view.PageAt(2);
    charlie->State = 2;
    CConnectionSettings web = charlie->Settings;
    web.Login = u"K1XYZ";
    web.DxSummitInterval = 60;
    view.ApplyConnectionSettings(*charlie, web);
    EXPECT_EQ(questions.asked.size(), asked);
    EXPECT_EQ(Key(u"Connection.3", u"Login"), u"K1XYZ");
}

TEST_F(ViewCommandTest, NewConnectionsTakeTheNextIdAndTheFirstTabsLogin)
{
    CreateView(kThreeTelnet);
    CConnectionSettings settings = view.MakeNewConnectionSettings();
    EXPECT_EQ(settings.Name, u"Connection 1");
    EXPECT_EQ(settings.Login, u"K1ABC");
    settings.Host = u"dx.example.org";
    view.AddNewConnection(settings);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Bravo", u"Charlie", u"Connection 1", u"+"}));
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 3);
    EXPECT_EQ(view.PageAt(3)->State, 0) << "not connected";
    EXPECT_EQ(view.NextId(), 5);
    EXPECT_EQ(Key(u"Connection.4", u"Host"), u"dx.example.org");
    EXPECT_EQ(Key(u"Connections", u"Order"), u"1,2,3,4");
    EXPECT_EQ(Key(u"Connections", u"NextId"), u"5");
    EXPECT_TRUE(LogHas(u"[Connection 1] Connection added"));
    EXPECT_EQ(view.MakeDefaultConnectionName(), u"Connection 2");
}

TEST_F(ViewCommandTest, NextAndPreviousWrapAndTheAddTabNeverStaysActive)
{
    CreateView(kThreeTelnet);
    view.TabStrip().SetActiveTab(2);
    view.ExecuteCommand(ID_CONNECTION_NEXT);
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 0);
    view.ExecuteCommand(ID_CONNECTION_PREVIOUS);
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 2);
    EXPECT_EQ(::GetFocus(), view.PageAt(2)->SendEdit().Handle());

    view.TabStrip().SetActiveTab(1);
    view.TabStrip().SetActiveTab(3); // the add tab
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 1) << "back to the last active connection";

    view.CloseConnectionTab(1, false);
    view.CloseConnectionTab(1, false);
    EXPECT_FALSE(view.QueryCommand(ID_CONNECTION_NEXT)->enabled);
    EXPECT_FALSE(view.QueryCommand(ID_CONNECTION_PREVIOUS)->enabled);
}

TEST_F(ViewCommandTest, DisableAllSpotFiltersLogsOnlyWhenSwitchingOn)
{
    CreateView(kThreeTelnet);
    const std::u16string red = u"All the spot filters are disabled";
    EXPECT_FALSE(view.QueryCommand(ID_TOOLS_DISABLE_ALL_FILTERS)->checked);
    view.ExecuteCommand(ID_TOOLS_DISABLE_ALL_FILTERS);
    EXPECT_TRUE(app.GlobalFilters.allFiltersDisabled);
    EXPECT_TRUE(view.QueryCommand(ID_TOOLS_DISABLE_ALL_FILTERS)->checked);
    EXPECT_EQ(Key(u"SpotFilters", u"AllFiltersDisabled"), u"1");
    const size_t first = LogText().find(red);
    ASSERT_NE(first, std::u16string::npos);
    EXPECT_EQ(LogText().find(red, first + 1), std::u16string::npos);

    view.ExecuteCommand(ID_TOOLS_DISABLE_ALL_FILTERS);
    EXPECT_FALSE(app.GlobalFilters.allFiltersDisabled);
    EXPECT_EQ(Key(u"SpotFilters", u"AllFiltersDisabled"), u"<missing>");
    EXPECT_EQ(LogText().find(red, first + 1), std::u16string::npos) << "nothing logged when it goes off";
}

TEST_F(ViewCommandTest, GeneralSettingsLogTheNextConnectionItemsOnlyForActiveClusters)
{
    CreateView(kThreeTelnet);
    const std::u16string line = u"New general settings";
    GeneralSettings settings = app.Settings;
    settings.FontFace = u"DejaVu Sans Mono";
    settings.Port = 9872;
    settings.CommandDelay = 900;
    view.PageAt(2)->State = 2; // DX Summit only
    view.ApplyGeneralSettings(settings);
    EXPECT_FALSE(LogHas(line)) << "no Telnet cluster is active";
    EXPECT_EQ(Key(u"General", u"CommandDelay"), u"900");
    EXPECT_EQ(Key(u"Network", u"Port"), u"9872");

    settings.FontSize = 12;
    settings.ApplicationID = u"TELNET2";
    view.PageAt(0)->State = 2;
    view.ApplyGeneralSettings(settings);
    EXPECT_FALSE(LogHas(line)) << "only the font and the logger network changed";

    CConnectionPage* bravo = view.PageAt(1);
    MakeWaitToReconnect(*bravo);
    settings.GlobalCommands = {u"set/name Op"};
    settings.LostConnectionDelay = 120;
    settings.AutoReconnect = false;
    settings.ReceiveMaxLines = 300;
    view.ApplyGeneralSettings(settings);
    EXPECT_TRUE(LogHas(u"New general settings (general commands, lost connection delay): used at the next "
                       u"connection of each Telnet cluster"));
    EXPECT_EQ(bravo->State, 0) << "no more waiting to reconnect";
    EXPECT_EQ(app.Settings, settings);
    EXPECT_EQ(Key(u"GlobalCommands", u"Command1"), u"set/name Op");
}

TEST_F(ViewCommandTest, SpotFilterLevelsGoToThePagesAndTheSettingsFile)
{
    CreateView("[Connections]\r\nOrder=1,2,3\r\n[Connection.1]\r\nName=Alpha\r\nHost=h1\r\n"
               "[Connection.2]\r\nName=Bravo\r\nHost=h2\r\nFilterDxCalls=K1*\r\n"
               "[Connection.3]\r\nName=Charlie\r\nType=DXSummit\r\n[SpotFilters.Telnet]\r\nFilterWords=pirate\r\n");
    LoadGlobalSpotFilterLevels(CIniFile(app.IniPath), app.GlobalFilters); // as the application does at its start
    std::vector<SpotFilterLevel> levels(1);
    view.GetSpotFilterLevels(levels);
    ASSERT_EQ(levels.size(), 7u);
    for (int n = 0; n < 4; ++n) {
        EXPECT_FALSE(levels[n].IsConnection);
        EXPECT_EQ(levels[n].LevelIndex, n);
    }
    EXPECT_EQ(levels[1].Filters.words, u"pirate");
    EXPECT_TRUE(levels[5].IsConnection);
    EXPECT_EQ(levels[5].ConnectionId, 2);
    EXPECT_EQ(levels[5].Name, u"Bravo");
    EXPECT_EQ(levels[5].Filters.dxCalls, u"K1*");
    EXPECT_EQ(levels[6].Type, ConnectionDxSummit);

    levels[1].Filters.spotterCalls = u"DL1ABC";
    levels[1].Modified = true;
    levels[2].Filters.spotterCalls = u"DL1ABC"; // not for CW Skimmer connections
    levels[2].Modified = true;
    levels[3].Filters.words = u"ignored";       // not modified
    levels[4].Filters.dxCalls = u"W1*";
    levels[4].Modified = true;
    levels[4].BeingEdited = true;                 // its own dialog saves it
    levels[5].Filters.dxCalls = u"";
    levels[5].Filters.frequencies = u"14000-14100";
    levels[5].Modified = true;
    SpotFilterLevel gone = levels[5];
    gone.ConnectionId = 42;
    levels.push_back(gone);
    view.SetSpotFilterLevels(levels);

    EXPECT_EQ(Key(u"SpotFilters.Telnet", u"FilterSpotterCalls"), u"DL1ABC");
    EXPECT_EQ(Key(u"SpotFilters.Telnet", u"FilterWords"), u"pirate");
    EXPECT_FALSE(app.GlobalFilters.compiled[1].IsEmpty(true));
    EXPECT_EQ(Key(u"SpotFilters.CWSkimmer", u"FilterSpotterCalls"), u"DL1ABC");
    EXPECT_TRUE(app.GlobalFilters.compiled[2].IsEmpty(true)) << "the spotter is not compiled for CW Skimmer";
    EXPECT_EQ(Key(u"SpotFilters.DXSummit", u"FilterWords"), u"<missing>");
    EXPECT_EQ(Key(u"Connection.1", u"FilterDxCalls"), u"<missing>");
    EXPECT_EQ(Key(u"Connection.2", u"FilterDxCalls"), u"<missing>");
    EXPECT_EQ(Key(u"Connection.2", u"FilterFrequencies"), u"14000-14100");
    EXPECT_EQ(view.PageAt(1)->Settings.Filters.frequencies, u"14000-14100");
    EXPECT_EQ(Key(u"Connection.42", u"FilterFrequencies"), u"<missing>");

    // Read back as the next start reads them.
    GlobalSpotFilterLevels loaded;
    LoadGlobalSpotFilterLevels(CIniFile(app.IniPath), loaded);
    EXPECT_EQ(loaded.texts[1], levels[1].Filters);
    EXPECT_EQ(loaded.texts[2], levels[2].Filters);
}

TEST_F(ViewCommandTest, TheAddTabMenuListsTheClosedConnectionsAndDeletesThem)
{
    CreateView("[Connections]\r\nOrder=1\r\nClosed=2,3\r\nNextId=4\r\n"
               "[Connection.1]\r\nName=Alpha\r\nHost=h1\r\n[Connection.2]\r\nName=b&c\r\nHost=h2\r\n"
               "[Connection.3]\r\nName=A\r\nHost=h3\r\n");
    const std::vector<ClosedConnectionItem> items = view.ListClosedConnections();
    ASSERT_EQ(items.size(), 2u);
    CMenu menu;
    ASSERT_TRUE(view.BuildAddTabMenu(menu, items));
    const auto text = [](HMENU m, int position) {
        wchar_t buffer[128] = {};
        ::GetMenuStringW(m, UINT(position), buffer, 128, MF_BYPOSITION);
        return U16(buffer);
    };
    ASSERT_EQ(menu.Count(), 6);
    EXPECT_EQ(menu.ItemId(0), 1u);
    EXPECT_EQ(text(menu, 0), u"&New connection...\tCtrl+T");
    EXPECT_EQ(text(menu, 2), u"A");
    EXPECT_EQ(text(menu, 3), u"b&&c");
    EXPECT_EQ(menu.ItemId(3), 101u);
    EXPECT_EQ(text(menu, 5), u"&Delete");
    HMENU deleteMenu = ::GetSubMenu(menu, 5);
    ASSERT_NE(deleteMenu, nullptr);
    EXPECT_EQ(text(deleteMenu, 1), u"b&&c...");
    EXPECT_EQ(::GetMenuItemID(deleteMenu, 1), 1001u);

    // The real menu at the "+" tab; dismissed, the focus returns to the send line.
    static HWND shotOwner = nullptr;
    shotOwner = host.Handle();
    ::SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        test::SaveScreenshot(shotOwner, u"view-add-tab-menu");
        ::EndMenu();
    });
    ::PostMessageW(view, WM_APP_ADD_TAB_CLICKED, 0, 0);
    test::PumpFor(1200);
    EXPECT_EQ(::GetFocus(), view.PageAt(0)->SendEdit().Handle());
    EXPECT_EQ(view.ConnectionTabCount(), 1);

    view.OnAddTabChoice(101, items);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"b&c", u"+"}));
    EXPECT_TRUE(LogHas(u"[b&c] Connection reopened"));

    questions.yes = false;
    view.OnAddTabChoice(1000, items);
    EXPECT_FALSE(LastQuestion().defaultYes);
    EXPECT_EQ(LastQuestion().text, u"Delete the connection \"A\"?\n\nIts settings will be removed permanently.");
    EXPECT_EQ(view.ClosedIds(), std::vector<int>{3});
    questions.yes = true;
    view.OnAddTabChoice(1000, items);
    EXPECT_TRUE(view.ClosedIds().empty());
    EXPECT_EQ(Key(u"Connection.3", u"Host"), u"<missing>");
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"");
    EXPECT_TRUE(LogHas(u"[A] Connection deleted (its settings have been removed)"));
}

// The "+" menu is modal: while it is shown, a logger station may reopen one of its connections ("/open").
// Choosing that connection afterwards opens it no second time.
TEST_F(ViewCommandTest, AConnectionReopenedWhileTheAddTabMenuIsShownIsNotOpenedTwice)
{
    CreateView("[Connections]\r\nOrder=1\r\nClosed=2\r\nNextId=3\r\n"
               "[Connection.1]\r\nName=Alpha\r\nHost=h1\r\n[Connection.2]\r\nName=Bravo\r\nHost=h2\r\n");
    const std::vector<ClosedConnectionItem> items = view.ListClosedConnections();
    ASSERT_EQ(items.size(), 1u);
    view.ReopenConnection(2); // the station's, while the menu is shown
    view.OnAddTabChoice(100, items);
    view.ReopenConnection(2);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Bravo", u"+"}));
    EXPECT_EQ(Key(u"Connections", u"Order"), u"1,2");
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"");
}

// However many connections are closed, every item of the "+" menu has an id of its own: reopening one
// never asks to delete another.
TEST_F(ViewCommandTest, TheAddTabMenuKeepsReopenAndDeleteApartForAnyNumberOfClosedConnections)
{
    constexpr int kClosed = 902;
    std::string settings = "[Connections]\r\nOrder=\r\nNextId=903\r\nClosed=";
    for (int id = 1; id <= kClosed; ++id) settings += (id > 1 ? "," : "") + std::to_string(id);
    settings += "\r\n";
    for (int id = 1; id <= kClosed; ++id) {
        char section[64];
        std::snprintf(section, sizeof section, "[Connection.%d]\r\nName=C%04d\r\nHost=h\r\n", id, id);
        settings += section;
    }
    CreateView(settings);
    const std::vector<ClosedConnectionItem> items = view.ListClosedConnections();
    ASSERT_EQ(items.size(), size_t(kClosed));
    CMenu menu;
    ASSERT_TRUE(view.BuildAddTabMenu(menu, items));
    ASSERT_EQ(menu.Count(), kClosed + 4);
    HMENU deleteMenu = ::GetSubMenu(menu, kClosed + 3);
    ASSERT_NE(deleteMenu, nullptr);
    std::set<UINT> ids;
    for (int i = 0; i < kClosed; ++i) {
        ids.insert(menu.ItemId(2 + i));
        ids.insert(::GetMenuItemID(deleteMenu, i));
    }
    EXPECT_EQ(ids.size(), size_t(2 * kClosed));

    view.OnAddTabChoice(int(menu.ItemId(2 + 900)), items);
    EXPECT_TRUE(questions.asked.empty()) << "asked to delete";
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"C0901", u"+"}));
}

namespace {

// Drives the modal dialogs of this thread while a command runs them: each tick the handler sees the visible
// dialog windows until it returns true (it has done its part). A message box the handler did not expect is
// noted and closed, and so are the dialogs under it; the timer ends when no dialog is left.
std::function<bool(HWND)> g_dialogHandler;
bool g_dialogHandled = false;
std::vector<std::u16string> g_strayMessages;

std::u16string WindowTextOf(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return U16(text);
}

void Click(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR timer, DWORD)
{
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(hwnd, cls, 16);
            if (U16(cls) == u"#32770" && ::IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(l)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    if (dialogs.empty() && g_dialogHandled) {
        ::KillTimer(nullptr, timer);
        return;
    }
    for (HWND dialog : dialogs) {
        if (WindowTextOf(dialog) != u"Kestrivane") continue;
        HWND text = ::GetDlgItem(dialog, 0xFFFF);
        g_strayMessages.push_back(text ? WindowTextOf(text) : u"?");
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        for (HWND other : dialogs)
            if (other != dialog) Click(other, IDCANCEL);
        g_dialogHandled = true;
        return;
    }
    for (HWND dialog : dialogs)
        if (!g_dialogHandled && g_dialogHandler && g_dialogHandler(dialog)) g_dialogHandled = true;
}

void DriveNextDialog(std::function<bool(HWND)> handler)
{
    g_dialogHandler = std::move(handler);
    g_dialogHandled = false;
    g_strayMessages.clear();
    ::SetTimer(nullptr, 0, 150, DriveDialogs);
}

} // namespace

TEST_F(ViewCommandTest, TheDialogsOfNewAndSettingsReachTheView)
{
    CreateView(kThreeTelnet);

    // Without closed connections the "+" tab opens the New dialog at once, with the default name and login.
    std::u16string name, login;
    DriveNextDialog([&](HWND dialog) {
        if (WindowTextOf(dialog) != u"Connection Settings") return false;
        name = WindowTextOf(::GetDlgItem(dialog, IDC_CONN_NAME));
        login = WindowTextOf(::GetDlgItem(dialog, IDC_CONN_LOGIN));
        test::SaveScreenshot(dialog, u"view-new-connection-dialog");
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_CONN_HOST), L"127.0.0.5");
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_CONN_PORT), L"7300");
        Click(dialog, IDOK);
        return true;
    });
    ::PostMessageW(view, WM_APP_ADD_TAB_CLICKED, 0, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return view.ConnectionTabCount() == 4; }, 8000)) << g_strayMessages.size();
    EXPECT_EQ(name, u"Connection 1");
    EXPECT_EQ(login, u"K1ABC");
    EXPECT_EQ(Key(u"Connection.4", u"Host"), u"127.0.0.5");
    EXPECT_EQ(Key(u"Connections", u"NextId"), u"5");
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 3);

    // Settings: the dialog's OK stores and applies the new host.
    DriveNextDialog([&](HWND dialog) {
        if (WindowTextOf(dialog) != u"Connection Settings") return false;
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_CONN_HOST), L"127.0.0.6");
        Click(dialog, IDOK);
        return true;
    });
    view.ExecuteCommand(ID_CONNECTION_SETTINGS);
    EXPECT_EQ(Key(u"Connection.4", u"Host"), u"127.0.0.6");
    EXPECT_EQ(view.PageAt(3)->Settings.Host, u"127.0.0.6");
    EXPECT_TRUE(LogHas(u"[Connection 1] Settings changed"));

    // Its Delete button runs the Delete command.
    DriveNextDialog([&](HWND dialog) {
        if (WindowTextOf(dialog) != u"Connection Settings") return false;
        Click(dialog, IDC_CONN_DELETE);
        return true;
    });
    questions.yes = true;
    view.ExecuteCommand(ID_CONNECTION_SETTINGS);
    EXPECT_EQ(LastQuestion().text, u"Delete the connection \"Connection 1\"?\n\nIts settings will be removed permanently.");
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Bravo", u"Charlie", u"+"}));
    EXPECT_EQ(Key(u"Connection.4", u"Host"), u"<missing>");

    // General settings: what the dialog gives back is stored.
    app.Settings.BroadcastAddress = u"127.255.255.255";
    DriveNextDialog([&](HWND dialog) {
        if (WindowTextOf(dialog) != u"General Settings") return false;
        Click(dialog, IDOK);
        return true;
    });
    view.ExecuteCommand(ID_TOOLS_GENERAL_SETTINGS);
    EXPECT_EQ(Key(u"Network", u"ApplicationID"), u"TELNET");
    EXPECT_EQ(Key(u"Network", u"BroadcastAddress"), u"127.255.255.255");
    for (const std::u16string& message : g_strayMessages) ADD_FAILURE() << std::string(message.begin(), message.end());
}

// A logger station may close the tab whose settings or spot filters dialog is open, or reopen a closed
// connection while the "+" menu is shown: what the user then confirms is done, or he is told why not.
TEST_F(ViewCommandTest, WhatTheUserConfirmsAfterAStationsCloseOrReopenIsDoneOrExplained)
{
    CreateView(kThreeTelnet);
    const auto activateBravo = [&] { view.TabStrip().SetActiveTab(view.FindPageIndex(view.FindPageById(2))); };
    const auto settingsAfterAStationsClose = [&](int button) {
        activateBravo();
        DriveNextDialog([&, button](HWND dialog) {
            if (WindowTextOf(dialog) != u"Connection Settings") return false;
            if (CConnectionPage* bravo = view.FindPageById(2)) view.CloseConnectionTab(view.FindPageIndex(bravo), false);
            ::SetWindowTextW(::GetDlgItem(dialog, IDC_CONN_HOST), L"127.0.0.7");
            ::SetWindowTextW(::GetDlgItem(dialog, IDC_CONN_LOGIN), L"K1ABC");
            Click(dialog, button);
            return true;
        });
        view.ExecuteCommand(ID_CONNECTION_SETTINGS);
        view.ReopenConnection(2);
    };

    // OK: the settings are stored with the closed connection.
    settingsAfterAStationsClose(IDOK);
    EXPECT_EQ(Key(u"Connection.2", u"Host"), u"127.0.0.7");
    ASSERT_NE(view.FindPageById(2), nullptr);
    EXPECT_EQ(view.FindPageById(2)->Settings.Host, u"127.0.0.7");
    EXPECT_TRUE(LogHas(u"[Bravo] Settings changed"));

    // The "+" menu's Delete of a connection reopened while the menu was shown: no question, but the reason.
    activateBravo();
    view.ExecuteCommand(ID_CONNECTION_CLOSE);
    const std::vector<ClosedConnectionItem> items = view.ListClosedConnections();
    ASSERT_EQ(items.size(), 1u);
    view.ReopenConnection(2); // the station's, while the menu is shown
    const size_t asked = questions.asked.size();
    view.OnAddTabChoice(1000, items);
    ASSERT_EQ(questions.asked.size(), asked + 1);
    EXPECT_EQ(LastQuestion().kind, "message");
    EXPECT_EQ(LastQuestion().type, UINT(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(LastQuestion().text, u"The connection \"Bravo\" was not deleted: a Quarnel station reopened it meanwhile."
                                   u"\n\nTo delete it, use Delete in the Connection menu on its tab.");
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"Bravo");

    // The settings dialog's Delete: the closed connection is deleted once the user confirms it.
    questions.yes = true;
    settingsAfterAStationsClose(IDC_CONN_DELETE);
    EXPECT_EQ(LastQuestion().text, u"Delete the connection \"Bravo\"?\n\nIts settings will be removed permanently.");
    EXPECT_EQ(Key(u"Connection.2", u"Name"), u"<missing>");
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Charlie", u"+"}));
    for (const std::u16string& message : g_strayMessages) ADD_FAILURE() << std::string(message.begin(), message.end());

    // The spot filters' OK after a station's "/close" of the connection shown: its level is stored with it.
    view.TabStrip().SetActiveTab(0);
    DriveNextDialog([&](HWND dialog) {
        if (WindowTextOf(dialog) != u"Spot Filters") return false;
        view.OnQuarnelPacket({"SENDPKT:", "STN2", "", "/close Alpha"});
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_SF_WORDS), L"pirate");
        Click(dialog, IDOK);
        return true;
    });
    view.ExecuteCommand(ID_CONNECTION_SPOT_FILTERS);
    EXPECT_EQ(view.ClosedIds(), std::vector<int>{1}) << "the station's close";
    EXPECT_EQ(Key(u"Connection.1", u"FilterWords"), u"pirate");
    EXPECT_EQ(Key(u"Connection.1", u"Login"), u"K1ABC");
    EXPECT_TRUE(LogHas(u"[Alpha] Settings changed"));
    view.ReopenConnection(1);
    ASSERT_NE(view.FindPageById(1), nullptr);
    EXPECT_EQ(view.FindPageById(1)->Settings.Filters.words, u"pirate");
    for (const std::u16string& message : g_strayMessages) ADD_FAILURE() << std::string(message.begin(), message.end());
}

// "Test in Spot Filters" of a received line opens the dialog on that connection's level with the line; the
// spot-filter commands open it on the active connection or on all connections, and OK stores the levels.
// Select All Received selects what the pane shows: the lines still waiting follow in the pane's own bounded
// updates, not all at once in the command.
TEST_F(ViewCommandTest, SelectAllReceivedShowsNoWaitingLinesAtOnce)
{
    CreateView(kThreeTelnet);
    CReceivePane& pane = view.PageAt(1)->ReceivePane(); // Bravo, the active tab
    std::u16string block;
    for (int i = 1; i <= 3000; ++i) block += FormatText(u"DX de K1ABC:     14025.0  JA%04dX      CQ TEST   1200Z\n", i);
    pane.AppendText(block, LineReceived); // the first update shows some lines at once, the rest waits
    CReadOnlyRichEdit& edit = pane.TextControl();
    const long linesShown = edit.GetLineCount();
    ASSERT_LT(linesShown, 3000);

    view.ExecuteCommand(ID_EDIT_SELECT_ALL_RECEIVED);
    EXPECT_EQ(edit.GetLineCount(), linesShown);
    EXPECT_EQ(edit.GetSel().cpMin, 0);
    EXPECT_GE(edit.GetSel().cpMax, edit.GetTextLength());
    EXPECT_TRUE(test::PumpUntil(
        [&] { return edit.GetTextRange(0, edit.GetTextLength()).find(u"JA3000X") != std::u16string::npos; }, 60000));
}

TEST_F(ViewCommandTest, TheSpotFilterDialogOpensOnTheAskedLevel)
{
    CreateView(kThreeTelnet);
    const auto openedOn = [&](const std::function<void()>& command, bool ok, std::u16string* testLine = nullptr) {
        std::u16string level;
        DriveNextDialog([&](HWND dialog) {
            if (WindowTextOf(dialog) != u"Spot Filters") return false;
            level = WindowTextOf(::GetDlgItem(dialog, IDC_SF_LEVEL));
            if (testLine) *testLine = WindowTextOf(::GetDlgItem(dialog, IDC_SF_TEST_LINE));
            if (ok) ::SetWindowTextW(::GetDlgItem(dialog, IDC_SF_WORDS), L"pirate");
            Click(dialog, ok ? IDOK : IDCANCEL);
            return true;
        });
        command();
        return level;
    };

    std::u16string line;
    const SpotTestRequest request{u"DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z", 30, {}};
    EXPECT_NE(openedOn([&] { view.OnTestInSpotFilters(view.PageAt(2), request); }, false, &line).find(u"Charlie"),
              std::u16string::npos);
    EXPECT_EQ(line, request.Line);
    view.TabStrip().SetActiveTab(1);
    EXPECT_NE(openedOn([&] { view.ExecuteCommand(ID_CONNECTION_SPOT_FILTERS); }, true).find(u"Bravo"),
              std::u16string::npos);
    EXPECT_EQ(Key(u"Connection.2", u"FilterWords"), u"pirate");
    EXPECT_EQ(view.PageAt(1)->Settings.Filters.words, u"pirate");
    EXPECT_NE(openedOn([&] { view.ExecuteCommand(ID_TOOLS_SPOT_FILTERS); }, true).find(u"All connections"),
              std::u16string::npos);
    EXPECT_EQ(Key(u"SpotFilters", u"FilterWords"), u"pirate");
    for (const std::u16string& message : g_strayMessages) ADD_FAILURE() << std::string(message.begin(), message.end());
}

namespace {

// The program's main frame on three connections.
class ViewCommandFrameTest : public test::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_TRUE(test::WriteFileBytes(app.IniPath, kThreeTelnet));
        ASSERT_TRUE(frame.Create(app.Loop()));
        frame.RestorePlacement();
        frame.Show(SW_SHOWNORMAL);
        test::PumpFor(100);
    }
};

class StartupConnectAllTest : public test::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
    }
    void TearDown() override
    {
        FrameFixture::TearDown();
        ::WSACleanup();
    }
};

} // namespace

// A start-up Connect All that was refused (nothing could connect) is over: the user's first Connect All is
// not taken for it, so the stations hear nothing about it 120 s later.
TEST_F(StartupConnectAllTest, ARefusedStartupConnectAllLeavesTheUsersOwnAlone)
{
    ASSERT_TRUE(test::WriteFileBytes(app.IniPath, "[Connections]\r\nNextId=1\r\n"));
    app.Settings.ConnectAllOnStartup = true;
    ASSERT_TRUE(frame.Create(app.Loop()));
    test::PumpFor(100);
    CConnectionSettings settings;
    settings.Name = u"Alpha";
    settings.Host = u"127.0.0.1";
    settings.Port = 9;
    frame.View().AddNewConnection(settings);
    CConnectionPage* page = frame.View().PageAt(0);
    ASSERT_NE(page, nullptr);
    frame.SendMessage(WM_COMMAND, ID_CONNECTION_CONNECT_ALL);
    EXPECT_NE(page->State, 0) << "the user's Connect All did not run";
    EXPECT_FALSE(page->StartupConnectPending);
}

// The buttons of the page's bar are enabled as the Connection menu's commands.
TEST_F(ViewCommandFrameTest, ThePageButtonsFollowTheActiveConnectionsState)
{
    CConnectionPage* bravo = frame.View().PageAt(1);
    ASSERT_NE(bravo, nullptr);
    const auto enabled = [&](int id) { return ::IsWindowEnabled(bravo->ButtonBar().GetItem(id)) != FALSE; };
    frame.OnIdle(0);
    EXPECT_TRUE(enabled(ID_CONNECTION_CONNECT));
    EXPECT_FALSE(enabled(ID_CONNECTION_DISCONNECT));
    EXPECT_TRUE(enabled(ID_CONNECTION_SETTINGS));
    bravo->State = 1;
    frame.OnIdle(0);
    EXPECT_FALSE(enabled(ID_CONNECTION_CONNECT));
    EXPECT_TRUE(enabled(ID_CONNECTION_DISCONNECT));
    bravo->State = 4;
    frame.OnIdle(0);
    EXPECT_TRUE(enabled(ID_CONNECTION_CONNECT)) << "waiting to reconnect: both";
    EXPECT_TRUE(enabled(ID_CONNECTION_DISCONNECT));
    test::PumpFor(150);
    test::SaveScreenshot(frame, u"view-page-buttons-waiting");
    bravo->State = 0;

    // A disabled command is refused whatever sends it.
    frame.SendMessage(WM_COMMAND, ID_CONNECTION_DISCONNECT);
    EXPECT_EQ(bravo->State, 0);

    // The Connection menu as the user opens it.
    ::SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        test::SaveScreenshot(nullptr, u"view-connection-menu");
        ::EndMenu();
    });
    frame.PostMessage(WM_SYSCOMMAND, SC_KEYMENU, 'c');
    test::PumpFor(1300);
}

// A new font from the general settings reaches the frame and its panes; the tabs' labels follow the DPI.
TEST_F(ViewCommandFrameTest, ANewFontWidensTheFrameAndTheTabLabelsFollowTheDpi)
{
    const int width = frame.MinWidth();
    const int charWidth = frame.UiFont().CharWidth;
    GeneralSettings settings = app.Settings;
    settings.FontSize = 16;
    frame.View().ApplyGeneralSettings(settings);
    test::PumpFor(100);
    EXPECT_GT(frame.UiFont().CharWidth, charWidth);
    EXPECT_EQ(frame.MinWidth() - width, 80 * (frame.UiFont().CharWidth - charWidth));

    const auto labelHeight = [&] {
        LOGFONTW lf{};
        HFONT font = reinterpret_cast<HFONT>(frame.View().TabStrip().SendMessage(WM_GETFONT));
        ::GetObjectW(font, sizeof lf, &lf);
        return lf.lfHeight;
    };
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    EXPECT_EQ(labelHeight(), metrics.lfMenuFont.lfHeight) << "the system's menu font";
    RECT suggested{30, 40, 30 + frame.MinWidth() * 3 / 2, 40 + 900};
    frame.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    test::PumpFor(100);
    EXPECT_EQ(labelHeight(), ::MulDiv(metrics.lfMenuFont.lfHeight, 144, 96));
}
