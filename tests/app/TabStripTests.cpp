#include <gtest/gtest.h>

#include <memory>

#include "app/CConnectionTabCtrl.h"
#include "app/CEmptyPage.h"
#include "app/DpiHelpers.h"
#include "app/StateIcons.h"
#include "resources/resource.h"
#include "tests/app/ControlTestHost.h"
#include "win/Edit.h"
#include "win/GdiPlus.h"

using namespace kv;
using namespace kv::test;

namespace {

// A connection page as the tab strip sees it: a child window that counts the requests to close it.
class CFakePage : public CWindowBase {
public:
    bool Create(HWND parent)
    {
        CreateArgs args = CreateArgs::Child(u"Kestrivane.Test.Page", parent, 0, WS_CHILD | WS_CLIPCHILDREN, RECT{});
        args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        return CWindowBase::Create(args);
    }
    int closes = 0;

protected:
    bool OnClose() override
    {
        ++closes;
        return true;
    }
};

struct TabStripFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(gdiplus.Started());
        ASSERT_TRUE(view.Create(720, 400));
        const RECT client = view.ClientRect();
        ASSERT_TRUE(tabs.Create(view, 1000, client));
        ASSERT_TRUE(UpdateStateIcons(icons, 96));
        tabs.SetImageList(icons);
        ASSERT_TRUE(CreateScaledUiFont(uiFont, 96));
        tabs.SetFont(uiFont);
        emptyPage = new CEmptyPage;
        ASSERT_TRUE(emptyPage->Create(tabs, 1005));
        emptyPage->SetTextFont(uiFont);
        tabs.AddTab(*emptyPage, u"+");
        tabs.SetAddTabWnd(*emptyPage);
        tabs.SetActiveTab(0);
        view.Clear();
    }

    // Opens a connection tab before "+", as the view does.
    CFakePage& AddConnection(const std::u16string& name, int image = 0)
    {
        pages.push_back(std::make_unique<CFakePage>());
        CFakePage& page = *pages.back();
        EXPECT_TRUE(page.Create(tabs));
        tabs.InsertTab(page, name, tabs.GetAddTabIndex(), image);
        tabs.EnableActiveTabCloseButton(true);
        return page;
    }
    void ThreeConnections()
    {
        AddConnection(u"DXSpider node");
        AddConnection(u"Skimmer");
        AddConnection(u"Local cluster");
        tabs.SetActiveTab(0);
        view.Clear();
    }
    // A point on a tab's label, away from the close button.
    POINT OnTab(int index) const
    {
        RECT r{};
        EXPECT_TRUE(tabs.GetTabRect(index, r));
        return POINT{r.left + 12, (r.top + r.bottom) / 2};
    }
    POINT OnCloseButton() const
    {
        RECT r{};
        EXPECT_TRUE(tabs.GetCloseButtonRect(r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Mouse(UINT msg, POINT p) { tabs.SendMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, Point(p.x, p.y)); }
    void Click(POINT p)
    {
        Mouse(WM_LBUTTONDOWN, p);
        Mouse(WM_LBUTTONUP, p);
    }
    void DoubleClick(POINT p)
    {
        Click(p);
        Mouse(WM_LBUTTONDBLCLK, p);
        Mouse(WM_LBUTTONUP, p);
    }
    void Drag(POINT from, POINT to)
    {
        Mouse(WM_LBUTTONDOWN, from);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            Mouse(WM_MOUSEMOVE, POINT{from.x + (to.x - from.x) * i / steps, from.y});
        Mouse(WM_LBUTTONUP, to);
    }
    std::vector<std::u16string> Labels() const
    {
        std::vector<std::u16string> labels;
        for (int i = 0; i < tabs.GetTabsNum(); ++i) labels.push_back(tabs.GetTabLabel(i));
        return labels;
    }
    CEdit RenameBox() const { return CEdit(tabs.RenameEdit()); }

    CGdiPlusSession gdiplus;
    CControlTestHost view{WM_APP_TAB_NAME_CHANGED};
    CConnectionTabCtrl tabs;
    CImageList icons;
    CFont uiFont;
    CEmptyPage* emptyPage = nullptr; // deletes itself with its window
    std::vector<std::unique_ptr<CFakePage>> pages;
};

} // namespace

TEST_F(TabStripFixture, AClickedTabShowsItsPageAloneAndTellsTheView)
{
    ThreeConnections();
    Click(OnTab(2));
    EXPECT_EQ(tabs.GetActiveTab(), 2);
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_FALSE(emptyPage->IsVisible());
    const RECT area = tabs.GetWndArea();
    RECT page = pages[2]->WindowRect();
    ::MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_TRUE(::EqualRect(&area, &page));
    const auto changes = view.Received(CTabStrip::ActiveTabChangedMessage());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, 2u);
}

TEST_F(TabStripFixture, ThePlusTabIsNeverActivatedByTheMouseButAsksForANewConnection)
{
    ThreeConnections();
    EXPECT_EQ(tabs.GetAddTabIndex(), 3);
    Click(OnTab(3));
    DoubleClick(OnTab(3));
    EXPECT_EQ(tabs.GetActiveTab(), 0);
    PumpFor(50);
    EXPECT_EQ(view.Count(WM_APP_ADD_TAB_CLICKED), 2u); // each press; the double-click itself does nothing
    EXPECT_EQ(view.Count(WM_COMMAND), 0u);
    EXPECT_EQ(view.Count(CTabStrip::ActiveTabChangedMessage()), 0u);
}

TEST_F(TabStripFixture, DraggedTabsMoveWhileThePlusTabStaysLast)
{
    ThreeConnections();
    Drag(OnTab(2), OnTab(0));
    EXPECT_EQ(Labels(), (std::vector<std::u16string>{u"Local cluster", u"DXSpider node", u"Skimmer", u"+"}));
    EXPECT_EQ(tabs.GetActiveTab(), 0); // the dragged tab is active and stays so
    EXPECT_EQ(tabs.GetTabWnd(0), pages[2]->Handle());

    Drag(OnTab(0), OnTab(3)); // past "+"
    EXPECT_EQ(Labels(), (std::vector<std::u16string>{u"DXSpider node", u"Skimmer", u"Local cluster", u"+"}));
    EXPECT_EQ(tabs.GetActiveTab(), 2);
    PumpFor(50);
    EXPECT_EQ(view.Count(WM_APP_TAB_ORDER_CHANGED), 2u);

    Click(OnTab(1)); // every release is reported, moved or not
    PumpFor(50);
    EXPECT_EQ(view.Count(WM_APP_TAB_ORDER_CHANGED), 3u);
}

// The release of a click can miss the strip (the button went up before it took the capture): the pointer
// moving on with no button held drags nothing.
TEST_F(TabStripFixture, APointerMovedWithNoButtonHeldDragsNoTab)
{
    ThreeConnections();
    Mouse(WM_LBUTTONDOWN, OnTab(0));
    tabs.SendMessage(WM_MOUSEMOVE, 0, Point(OnTab(2).x, OnTab(2).y));
    EXPECT_EQ(Labels(), (std::vector<std::u16string>{u"DXSpider node", u"Skimmer", u"Local cluster", u"+"}));
    EXPECT_FALSE(tabs.HasCapture());
    PumpFor(50);
    EXPECT_EQ(view.Count(WM_APP_TAB_ORDER_CHANGED), 1u);
}

TEST_F(TabStripFixture, TheActiveTabsCloseButtonAsksItsPageToClose)
{
    ThreeConnections();
    Click(OnCloseButton());
    EXPECT_EQ(pages[0]->closes, 1);

    Mouse(WM_LBUTTONDOWN, OnCloseButton()); // pressed, then released elsewhere: nothing
    Mouse(WM_LBUTTONUP, OnTab(2));
    EXPECT_EQ(pages[0]->closes, 1);

    Click(OnTab(1));
    DoubleClick(OnCloseButton()); // a quick double-click still closes
    EXPECT_EQ(pages[1]->closes, 2);
    PumpFor(50);
    EXPECT_EQ(view.Count(WM_COMMAND), 0u);

    tabs.EnableActiveTabCloseButton(false);
    RECT r{};
    EXPECT_FALSE(tabs.GetCloseButtonRect(r));
    emptyPage->SendMessage(WM_CLOSE); // the add tab cannot be closed
    EXPECT_TRUE(emptyPage->IsWindow());
}

TEST_F(TabStripFixture, ADoubleClickOnAnotherTabOpensItsSettings)
{
    ThreeConnections();
    DoubleClick(OnTab(1));
    EXPECT_EQ(tabs.GetActiveTab(), 1);
    PumpFor(50);
    const auto commands = view.Received(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), ID_CONNECTION_SETTINGS);
    EXPECT_EQ(pages[1]->closes, 0);
}

TEST_F(TabStripFixture, RenamingCommitsTrimmedTextOnEnterOrLeavingAndCancelsOnEscape)
{
    ThreeConnections();
    ASSERT_TRUE(tabs.BeginRename(1));
    CEdit box = RenameBox();
    EXPECT_EQ(box.GetText(), u"Skimmer");
    int start = 0, end = 0;
    box.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 7);
    EXPECT_EQ(::GetFocus(), box.Handle());
    EXPECT_EQ(box.GetLimitText(), 64);
    EXPECT_FALSE(tabs.BeginRename(2)); // one at a time

    box.SetText(u"  New name  ");
    box.SendMessage(WM_KEYDOWN, VK_RETURN, 1);
    PumpUntil([&] { return !tabs.IsRenaming(); }, 2000); // the loss of focus after Enter ends nothing more
    PumpFor(50);
    auto names = view.Received(WM_APP_TAB_NAME_CHANGED);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].wParam, 1u);
    EXPECT_EQ(names[0].text, u"New name");
    EXPECT_EQ(tabs.GetTabLabel(1), u"New name");

    ASSERT_TRUE(tabs.BeginRename(0));
    RenameBox().SetText(u"Cancelled");
    RenameBox().SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    PumpUntil([&] { return !tabs.IsRenaming(); }, 2000);
    EXPECT_EQ(tabs.GetTabLabel(0), u"DXSpider node");

    ASSERT_TRUE(tabs.BeginRename(2));
    RenameBox().SetText(u"Clicked away");
    view.SetFocus();
    PumpUntil([&] { return !tabs.IsRenaming(); }, 2000);
    EXPECT_EQ(tabs.GetTabLabel(2), u"Clicked away");
    EXPECT_EQ(view.Count(WM_APP_TAB_NAME_CHANGED), 2u);
}

TEST_F(TabStripFixture, RenamingToNothingNewSendsNothingAndARefusedNameKeepsTheLabel)
{
    ThreeConnections();
    auto renameTo = [&](int index, const std::u16string& text) {
        ASSERT_TRUE(tabs.BeginRename(index));
        RenameBox().SetText(text);
        RenameBox().SendMessage(WM_KEYDOWN, VK_RETURN, 1);
        PumpUntil([&] { return !tabs.IsRenaming(); }, 2000);
    };
    renameTo(0, u"DXSpider node");
    renameTo(0, u"   ");
    EXPECT_EQ(view.Count(WM_APP_TAB_NAME_CHANGED), 0u);

    view.nameResult = 0;
    renameTo(0, u"Skimmer");
    EXPECT_EQ(view.Count(WM_APP_TAB_NAME_CHANGED), 1u);
    EXPECT_EQ(tabs.GetTabLabel(0), u"DXSpider node");

    EXPECT_FALSE(tabs.BeginRename(3)); // "+"
    EXPECT_FALSE(tabs.BeginRename(-1));
    EXPECT_FALSE(tabs.BeginRename(4));
}

TEST_F(TabStripFixture, ARenameFollowsItsTabWhenTheTabsMoveMeanwhile)
{
    ThreeConnections();
    ASSERT_TRUE(tabs.BeginRename(0));
    RenameBox().SetText(u"Moved");
    tabs.MoveTab(0, 2);
    RenameBox().SendMessage(WM_KEYDOWN, VK_RETURN, 1);
    PumpUntil([&] { return !tabs.IsRenaming(); }, 2000);
    const auto names = view.Received(WM_APP_TAB_NAME_CHANGED);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].wParam, 2u);
    EXPECT_EQ(tabs.GetTabLabel(2), u"Moved");
}

TEST_F(TabStripFixture, ManyTabsScrollAndAStripThatShowsThemAllIsNeverLeftShifted)
{
    for (int i = 1; i <= 14; ++i) AddConnection(u"Cluster number " + std::u16string(1, char16_t(u'A' + i)));
    ASSERT_TRUE(tabs.HasScrollButtons());
    CWindow right(tabs.ScrollButton(true));
    EXPECT_TRUE(right.IsVisible());
    RECT r = right.WindowRect();
    ::MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(tabs.IsOverButton(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    EXPECT_FALSE(tabs.IsOverButton(POINT{5, 5}));

    right.SetFocus();
    right.SendMessage(BM_CLICK);
    EXPECT_EQ(tabs.GetFirstVisibleTab(), 1);
    EXPECT_EQ(::GetFocus(), tabs.GetTabWnd(tabs.GetActiveTab())); // the page keeps the keyboard
    tabs.SetActiveTab(13); // scrolled into sight
    RECT last{};
    EXPECT_TRUE(tabs.GetTabRect(13, last));
    EXPECT_LE(last.right, r.left);
    EXPECT_GT(tabs.GetFirstVisibleTab(), 1);

    while (tabs.GetTabsNum() > 3) tabs.RemoveTab(0);
    EXPECT_EQ(tabs.GetFirstVisibleTab(), 0);
    EXPECT_FALSE(tabs.HasScrollButtons());
    EXPECT_FALSE(right.IsVisible());
}

TEST_F(TabStripFixture, RemovingATabDestroysItsPageAndActivatesTheOneInItsPlace)
{
    ThreeConnections();
    tabs.SetActiveTab(1);
    HWND removed = pages[1]->Handle();
    ASSERT_TRUE(tabs.RemoveTab(1));
    EXPECT_FALSE(::IsWindow(removed));
    EXPECT_EQ(tabs.GetActiveTab(), 1);
    EXPECT_EQ(tabs.GetTabWnd(1), pages[2]->Handle());
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_EQ(tabs.GetAddTabIndex(), 2);
}

// Through the real mouse road: a tab dragged with the button held moves past its neighbour.
TEST_F(TabStripFixture, ATabDraggedWithTheRealMouseMoves)
{
    ThreeConnections();
    ::SetForegroundWindow(view);
    PumpFor(100);
    POINT from = OnTab(0), to = OnTab(2);
    ::ClientToScreen(tabs, &from);
    ::ClientToScreen(tabs, &to);
    DragWith(from, POINT{to.x, from.y}, 10);
    EXPECT_TRUE(PumpUntil([&] { return tabs.GetTabLabel(2) == u"DXSpider node"; }, 2000));
    EXPECT_EQ(tabs.GetTabLabel(3), u"+");
    EXPECT_TRUE(PumpUntil([&] { return view.Count(WM_APP_TAB_ORDER_CHANGED) == 1; }, 2000));
}
