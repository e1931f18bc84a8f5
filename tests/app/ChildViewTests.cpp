// The connection view and the main frame in real windows: the tabs restored from [Connections], the lists
// kept when a tab cannot be opened, closing and reopening, the frame's size rules and its status bar.
#include <gtest/gtest.h>

#include "app/CChildView.h"
#include "app/CKestrivaneApp.h"
#include "app/CMainFrame.h"
#include "app/CSendEdit.h"
#include "connections/CConnectionPage.h"
#include "resources/resource.h"
#include "tests/app/ViewTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;

namespace {

// A view whose page windows can be made to fail, as they would when the system runs out of windows.
class CTestView : public CChildView {
public:
    bool failPages = false;
    std::vector<int> failOnCalls; // 1-based numbers of the calls that fail
    int calls = 0;

protected:
    CConnectionPage* CreatePageWindow(int controlId) override
    {
        ++calls;
        if (failPages || std::find(failOnCalls.begin(), failOnCalls.end(), calls) != failOnCalls.end()) return nullptr;
        return CChildView::CreatePageWindow(controlId);
    }
};

class ViewTest : public test::ViewFixture<CTestView> {};

const char kThreeConnections[] =
    "[Connections]\r\nOrder=3,1\r\nActive=1\r\nClosed=2,3\r\nNextId=1\r\n"
    "[Connection.1]\r\nName=Alpha\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=7301\r\n"
    "[Connection.2]\r\nName=Bravo\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=7302\r\n"
    "[Connection.3]\r\nName=Charlie\r\nType=CWSkimmer\r\nHost=127.0.0.1\r\nPort=7303\r\n";

} // namespace

TEST_F(ViewTest, RestoresTheTabsInOrderWithTheActiveOneAndSavesThemAtTheEnd)
{
    WriteSettings(kThreeConnections);
    CreateView();

    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Charlie", u"Alpha", u"+"}));
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 1);
    EXPECT_EQ(view.ClosedIds(), std::vector<int>{2}); // 3 is open, so not closed
    EXPECT_EQ(view.NextId(), 4);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(view.PageAt(i)->State, 0) << "restored connections are not connected";
    const std::u16string log = LogText();
    EXPECT_NE(log.find(u"Kestrivane 4.0 started"), std::u16string::npos) << "log: " << std::string(log.begin(), log.end());
    EXPECT_NE(log.find(u"Settings file: " + app.IniPath), std::u16string::npos);
    EXPECT_NE(log.find(u"Quarnel communication disabled"), std::u16string::npos);
    EXPECT_EQ(view.MakeDefaultConnectionName(), u"Connection 1");

    view.Destroy();
    EXPECT_EQ(Key(u"Connections", u"Order"), u"3,1");
    EXPECT_EQ(Key(u"Connections", u"Active"), u"1");
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"2");
    EXPECT_EQ(Key(u"Connections", u"NextId"), u"4");
    EXPECT_EQ(Key(u"Window", u"LogCollapsed"), u"1");
    EXPECT_EQ(Key(u"Window", u"SendLines"), u"2");
}

TEST_F(ViewTest, FirstStartShowsOnlyTheAddTab)
{
    CreateView();
    EXPECT_EQ(TabLabels(), std::vector<std::u16string>{u"+"});
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 0);
    EXPECT_FALSE(view.TabStrip().IsActiveTabCloseButtonEnabled());
    EXPECT_EQ(view.NextId(), 1);
}

TEST_F(ViewTest, AConnectionWhoseTabCannotBeOpenedStaysWithTheClosedOnes)
{
    WriteSettings(kThreeConnections);
    view.failOnCalls = {1}; // Charlie's page window
    CreateView();

    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"+"}));
    EXPECT_EQ(view.ClosedIds(), (std::vector<int>{2, 3}));
    EXPECT_EQ(Key(u"Connections", u"Order"), u"1") << "saved at once, so that no start loses it";
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"2,3");
    EXPECT_NE(LogText().find(u"[Charlie] The connection cannot be opened"), std::u16string::npos);

    view.failPages = true;
    view.ReopenConnection(3);
    EXPECT_EQ(view.ClosedIds(), (std::vector<int>{2, 3}));
    EXPECT_EQ(LogText().find(u"Connection reopened"), std::u16string::npos) << "nothing may say it was reopened";
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"2,3");

    view.failPages = false;
    view.ReopenConnection(3);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"Alpha", u"Charlie", u"+"}));
    EXPECT_EQ(view.ClosedIds(), std::vector<int>{2});
    EXPECT_NE(LogText().find(u"[Charlie] Connection reopened"), std::u16string::npos);
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 1);
}

TEST_F(ViewTest, ClosingTabsActivatesTheNeighbourThenTheAddTab)
{
    WriteSettings("[Connections]\r\nOrder=1,2,3\r\n"
                  "[Connection.1]\r\nName=A\r\nHost=h1\r\n[Connection.2]\r\nName=B\r\nHost=h2\r\n"
                  "[Connection.3]\r\nName=C\r\nHost=h3\r\n");
    CreateView();
    view.TabStrip().SetActiveTab(1);
    view.CloseConnectionTab(1, false);
    EXPECT_EQ(TabLabels(), (std::vector<std::u16string>{u"A", u"C", u"+"}));
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 1);
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"2");

    view.CloseConnectionTab(1, true);
    EXPECT_EQ(Key(u"Connection.3", u"Host"), u"<missing>") << "deleted with its settings";
    view.CloseConnectionTab(0, false);
    EXPECT_EQ(TabLabels(), std::vector<std::u16string>{u"+"});
    EXPECT_EQ(view.TabStrip().GetActiveTab(), 0);
    EXPECT_EQ(Key(u"Connections", u"Closed"), u"2,1");
    EXPECT_EQ(Key(u"Connections", u"Order"), u"");
    const std::u16string log = LogText();
    EXPECT_NE(log.find(u"[B] Connection closed (reopen it with the + tab)"), std::u16string::npos);
    EXPECT_NE(log.find(u"[C] Connection deleted (its settings have been removed)"), std::u16string::npos);
}

// The frame.

namespace {

class CFontlessFrame : public CMainFrame {
protected:
    bool CreateUiFont() override { return false; }
};

// Windows destroys a frame whose creation failed: its WM_DESTROY comes before the creation finished.
class CDestroyedWhileCreatingFrame : public CMainFrame {
protected:
    bool CreateUiFont() override
    {
        SendMessage(WM_DESTROY);
        return false;
    }
};

class FrameTest : public test::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_TRUE(test::WriteFileBytes(app.IniPath, "[Connections]\r\nOrder=1,2\r\n"
                                                      "[Connection.1]\r\nName=One\r\nHost=h1\r\n"
                                                      "[Connection.2]\r\nName=Two\r\nHost=h2\r\n"));
    }
};

} // namespace

TEST_F(FrameTest, KeepsItsWidthAndMinimumHeightAndShowsTheConnectionCounts)
{
    ASSERT_TRUE(frame.Create(app.Loop())) << std::string(frame.FailureText().begin(), frame.FailureText().end());
    frame.RestorePlacement();
    frame.Show(SW_SHOWNORMAL);
    test::PumpFor(100);
    const int width = frame.MinWidth();
    ASSERT_GT(width, 0);
    RECT r = frame.WindowRect();
    EXPECT_EQ(r.right - r.left, width);

    frame.SetPos(nullptr, 0, 0, width + 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    test::PumpFor(100);
    r = frame.WindowRect();
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_GE(r.bottom - r.top, frame.ComputeMinHeight());

    frame.OnIdle(0);
    EXPECT_EQ(frame.StatusBar().GetPaneText(0), u"0 active connections / 2 inactive connections");
    EXPECT_EQ(frame.StatusBar().GetPaneText(1), u"Version 4.0");
    EXPECT_EQ(frame.FormatConnectionStatus(), u"0 active connections / 2 inactive connections");

    // A larger font widens the frame by 80 times the growth of a character.
    const int charWidth = frame.UiFont().CharWidth;
    app.Settings.FontSize = 20;
    frame.ApplyFontSettings();
    test::PumpFor(50);
    EXPECT_EQ(frame.MinWidth() - width, 80 * (frame.UiFont().CharWidth - charWidth));
    r = frame.WindowRect();
    EXPECT_EQ(r.right - r.left, frame.MinWidth());
}

TEST_F(FrameTest, DisabledCommandsAreRefusedAndTheEditCommandsFollowTheFocus)
{
    ASSERT_TRUE(frame.Create(app.Loop()));
    frame.Show(SW_SHOWNORMAL);
    test::PumpFor(50);
    CConnectionPage* page = frame.View().PageAt(0);
    ASSERT_NE(page, nullptr);
    CWindow sendLine(page->SendEdit().Handle());
    sendLine.SetFocus();
    sendLine.SetText(u"sh/dx 20");
    EXPECT_TRUE(frame.Router().IsEnabled(ID_EDIT_SELECT_ALL));
    EXPECT_FALSE(frame.Router().IsEnabled(ID_EDIT_CUT)) << "nothing selected";
    frame.SendMessage(WM_COMMAND, ID_EDIT_CUT);
    EXPECT_EQ(sendLine.GetText(), u"sh/dx 20");
    frame.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
    EXPECT_TRUE(frame.Router().IsEnabled(ID_EDIT_CUT));
    frame.SendMessage(WM_COMMAND, ID_EDIT_CUT);
    EXPECT_EQ(sendLine.GetText(), u"");
    EXPECT_TRUE(frame.Router().IsEnabled(ID_EDIT_PASTE));
    frame.SendMessage(WM_COMMAND, ID_EDIT_PASTE);
    EXPECT_EQ(sendLine.GetText(), u"sh/dx 20");
}

TEST_F(FrameTest, AFrameWithoutAFixedPitchFontSaysWhy)
{
    CFontlessFrame fontless;
    app.Settings.FontFace = u"Proportional Sans";
    EXPECT_FALSE(fontless.Create(app.Loop()));
    EXPECT_EQ(fontless.Handle(), nullptr);
    EXPECT_EQ(fontless.FailureText(), u"The main window cannot be created: no fixed-pitch font can be made from "
                                      u"\"Proportional Sans\", \"Consolas\" or \"Courier New\".");
}

// A frame never shown saves no placement, and leaves the loop running for the message box that says why
// the program ends.
TEST_F(FrameTest, AFrameDestroyedBeforeItsCreationFinishedSavesNothingAndKeepsTheLoop)
{
    const std::string before = test::ReadFileBytes(app.IniPath);
    CDestroyedWhileCreatingFrame failing;
    EXPECT_FALSE(failing.Create(app.Loop()));
    EXPECT_EQ(test::ReadFileBytes(app.IniPath), before);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop would end";
}

TEST_F(FrameTest, OpeningTheLogAtTheBottomOfTheScreenGrowsTheFrameUpwards)
{
    ASSERT_TRUE(frame.Create(app.Loop()));
    frame.RestorePlacement();
    frame.Show(SW_SHOWNORMAL);
    test::PumpFor(100);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int collapsedMin = frame.ComputeMinHeight();
    frame.SetPos(nullptr, 50, work.bottom - collapsedMin, frame.MinWidth(), collapsedMin, SWP_NOZORDER);
    test::PumpFor(100);

    ASSERT_TRUE(frame.View().LogCollapsed());
    frame.SendMessage(WM_COMMAND, ID_VIEW_LOG_PANE);
    test::PumpFor(200);
    EXPECT_FALSE(frame.View().LogCollapsed());
    const RECT r = frame.WindowRect();
    EXPECT_GT(frame.ComputeMinHeight(), collapsedMin);
    EXPECT_EQ(r.bottom - r.top, frame.ComputeMinHeight());
    EXPECT_EQ(r.bottom, work.bottom) << "moved up to stay inside the work area";
}

TEST_F(FrameTest, TheStatusBarCountsConnectedPagesAsActive)
{
    ASSERT_TRUE(frame.Create(app.Loop()));
    frame.View().PageAt(1)->State = 2;
    EXPECT_EQ(frame.FormatConnectionStatus(), u"1 active connection / 1 inactive connection");
    frame.OnIdle(0);
    EXPECT_EQ(frame.StatusBar().GetPaneText(0), u"1 active connection / 1 inactive connection");
}

TEST_F(FrameTest, ADpiChangeRescalesTheFrameAndItsView)
{
    ASSERT_TRUE(frame.Create(app.Loop()));
    frame.RestorePlacement();
    frame.Show(SW_SHOWNORMAL);
    test::PumpFor(100);
    const int width96 = frame.MinWidth();
    const int bar96 = frame.View().ButtonBar().BarHeight();
    RECT suggested{30, 40, 30 + width96 * 3 / 2, 40 + 900};
    frame.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    test::PumpFor(200);
    EXPECT_EQ(frame.View().Dpi(), 144);
    EXPECT_EQ(frame.View().ButtonBar().BarHeight(), ::MulDiv(bar96, 144, 96));
    EXPECT_NEAR(frame.MinWidth(), width96 * 3 / 2, width96 / 10);
    const RECT r = frame.WindowRect();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, frame.MinWidth());
    EXPECT_EQ(frame.View().TabChromeDpi(), 144) << "the tabs' chrome is measured again at the new DPI";
}

TEST_F(ViewTest, GeneralSettingsKeepsToTheRightEdgeOfTheButtonBar)
{
    CreateView();
    CWindow bar(view.ButtonBar().Handle());
    RECT button{};
    ::GetWindowRect(bar.GetItem(ID_TOOLS_GENERAL_SETTINGS), &button);
    const RECT barRect = bar.WindowRect();
    EXPECT_EQ(barRect.right - button.right, view.ButtonBar().RightMargin());
    EXPECT_GT(barRect.right - barRect.left, view.ButtonBar().BarWidth()) << "the host is wider than the template";
}
