#include <gtest/gtest.h>

#include "app/CButtonBar.h"
#include "base/Utf.h"
#include "resources/resource.h"
#include "win/LinkCtrl.h"
#include "tests/app/ControlTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "tests/support/TestPaths.h"

using namespace kv;
using namespace kv::test;

namespace {

// The bar's templates come from the built program.
struct ButtonBarFixture : ::testing::Test {
    void SetUp() override
    {
        const std::u16string exe = Utf8ToUtf16(BuildPath("kestrivane.exe"));
        resources = ::LoadLibraryExW(W(exe), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(resources, nullptr);
        ASSERT_TRUE(commonControls.Active());
        ASSERT_TRUE(host.Create(700, 300));
    }
    void TearDown() override
    {
        if (resources) ::FreeLibrary(resources);
    }
    RECT ControlRect(const CButtonBar& bar, int id) const
    {
        RECT r = CWindow(bar.GetItem(id)).WindowRect();
        ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void Resize(CButtonBar& bar, int width) { bar.SetPos(nullptr, 0, 0, width, bar.BarHeight(), SWP_NOMOVE | SWP_NOZORDER); }

    CCommonControlsV6 commonControls;
    HMODULE resources = nullptr;
    CControlTestHost host;
};

} // namespace

TEST_F(ButtonBarFixture, TheViewsSettingsButtonFollowsTheRightEdge)
{
    CButtonBar bar(ID_TOOLS_GENERAL_SETTINGS, false);
    ASSERT_TRUE(bar.Create(host, IDD_VIEW_BUTTONBAR, resources));
    bar.Show(SW_SHOW);
    ASSERT_GT(bar.BarWidth(), 0);
    ASSERT_GT(bar.BarHeight(), 0);
    EXPECT_EQ(bar.BarDpi(), 96);
    const RECT before = ControlRect(bar, ID_TOOLS_GENERAL_SETTINGS);
    EXPECT_EQ(bar.RightMargin(), bar.BarWidth() - before.right);

    Resize(bar, bar.BarWidth() + 150);
    const RECT after = ControlRect(bar, ID_TOOLS_GENERAL_SETTINGS);
    EXPECT_EQ(after.left, before.left + 150);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.top, before.top);
    const RECT connectAll = ControlRect(bar, ID_CONNECTION_CONNECT_ALL);
    EXPECT_LT(connectAll.right, after.left);
}

TEST_F(ButtonBarFixture, ThePagesStatusLinkWidensButNeverBelowNothing)
{
    CButtonBar bar(IDC_PAGE_STATUS_LINK, true);
    ASSERT_TRUE(bar.Create(host, IDD_PAGE_BUTTONBAR, resources));
    bar.Show(SW_SHOW);
    const RECT before = ControlRect(bar, IDC_PAGE_STATUS_LINK);
    Resize(bar, bar.BarWidth() + 200);
    const RECT wider = ControlRect(bar, IDC_PAGE_STATUS_LINK);
    EXPECT_EQ(wider.left, before.left);
    EXPECT_EQ(wider.right, before.right + 200);

    Resize(bar, before.left + bar.RightMargin()); // no room left for the link
    EXPECT_EQ(ControlRect(bar, IDC_PAGE_STATUS_LINK).right, wider.right);
}

TEST_F(ButtonBarFixture, AButtonPostsItsCommandToTheMainWindowWhichTakesTheFocus)
{
    CButtonBar bar(IDC_PAGE_STATUS_LINK, true);
    ASSERT_TRUE(bar.Create(host, IDD_PAGE_BUTTONBAR, resources));
    bar.Show(SW_SHOW);
    ::SetFocus(bar.GetItem(ID_CONNECTION_SETTINGS));
    CWindow(bar.GetItem(ID_CONNECTION_CONNECT)).SendMessage(BM_CLICK);
    EXPECT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) > 0; }, 2000));
    const auto commands = host.Received(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, WPARAM(ID_CONNECTION_CONNECT));
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(::GetFocus(), host.Handle());
}

TEST_F(ButtonBarFixture, AClickOnTheStatusLinkGivesTheFocusBack)
{
    CButtonBar bar(IDC_PAGE_STATUS_LINK, true);
    ASSERT_TRUE(bar.Create(host, IDD_PAGE_BUTTONBAR, resources));
    HWND link = bar.GetItem(IDC_PAGE_STATUS_LINK);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(CWindow(link).GetClassName(), u"SysLink");
    ::SetFocus(link);
    NMLINK click{};
    click.hdr = NMHDR{link, UINT_PTR(IDC_PAGE_STATUS_LINK), UINT(NM_CLICK)};
    EXPECT_EQ(bar.SendMessage(WM_NOTIFY, IDC_PAGE_STATUS_LINK, LPARAM(&click)), 0); // no address: nothing opened
    EXPECT_EQ(::GetFocus(), host.Handle());
}

TEST_F(ButtonBarFixture, TheStatusLinkReadsItsMarkupInItsPlace)
{
    CButtonBar bar(IDC_PAGE_STATUS_LINK, true);
    ASSERT_TRUE(bar.Create(host, IDD_PAGE_BUTTONBAR, resources));
    const RECT before = ControlRect(bar, IDC_PAGE_STATUS_LINK);
    CLinkCtrl(bar.GetItem(IDC_PAGE_STATUS_LINK))
        .SetMarkup(u"<a href=\"https://localhost/doc/dxspider\">DXSpider</a> \u2013 x:23");
    LITEM item{};
    item.mask = LIF_ITEMINDEX | LIF_URL;
    EXPECT_TRUE(::SendMessageW(bar.GetItem(IDC_PAGE_STATUS_LINK), LM_GETITEM, 0, LPARAM(&item)));
    EXPECT_EQ(U16(item.szUrl), u"https://localhost/doc/dxspider");
    const RECT after = ControlRect(bar, IDC_PAGE_STATUS_LINK);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(CWindow(bar.GetItem(IDC_PAGE_STATUS_LINK)).GetStyle() & WS_TABSTOP, WS_TABSTOP);
}

// The status link is drawn in the bar's own face, as the buttons beside it.
TEST_F(ButtonBarFixture, TheStatusLinkIsDrawnInTheBarsFont)
{
    CButtonBar bar(IDC_PAGE_STATUS_LINK, true);
    ASSERT_TRUE(bar.Create(host, IDD_PAGE_BUTTONBAR, resources));
    EXPECT_EQ(DrawnFont(bar.GetItem(IDC_PAGE_STATUS_LINK)), DrawnFont(bar));
    EXPECT_EQ(DrawnFont(bar.GetItem(IDC_PAGE_STATUS_LINK)), DrawnFont(bar.GetItem(ID_CONNECTION_SETTINGS)));
}

TEST_F(ButtonBarFixture, ButtonsAreEnabledAsTheirCommandsAndUnhandledOnesStayEnabled)
{
    CButtonBar bar(ID_TOOLS_GENERAL_SETTINGS, false);
    ASSERT_TRUE(bar.Create(host, IDD_VIEW_BUTTONBAR, resources));
    bar.UpdateCommandUi([](int id) -> std::optional<bool> {
        if (id == ID_CONNECTION_CONNECT_ALL) return false;
        if (id == ID_CONNECTION_DISCONNECT_ALL) return true;
        return std::nullopt;
    });
    EXPECT_FALSE(::IsWindowEnabled(bar.GetItem(ID_CONNECTION_CONNECT_ALL)));
    EXPECT_TRUE(::IsWindowEnabled(bar.GetItem(ID_CONNECTION_DISCONNECT_ALL)));
    EXPECT_TRUE(::IsWindowEnabled(bar.GetItem(ID_TOOLS_GENERAL_SETTINGS)));
    bar.UpdateCommandUi([](int) -> std::optional<bool> { return true; });
    EXPECT_TRUE(::IsWindowEnabled(bar.GetItem(ID_CONNECTION_CONNECT_ALL)));
}
