#include <gtest/gtest.h>

#include <memory>

#include "app/CButtonBar.h"
#include "app/CConnectionTabCtrl.h"
#include "app/CEmptyPage.h"
#include "app/CSendEdit.h"
#include "app/CSplitterBar.h"
#include "app/DpiHelpers.h"
#include "app/StateIcons.h"
#include "base/Utf.h"
#include "resources/resource.h"
#include "tests/app/ControlTestHost.h"
#include "tests/support/WinTestSupport.h"
#include "tests/support/TestPaths.h"
#include "win/Edit.h"
#include "win/GdiPlus.h"


using namespace kv;
using namespace kv::test;

namespace {

// A connection page put together the way a page lays itself out: its button bar on top, the received
// text, the splitter and the send line at the bottom.
class CShowcasePage : public CWindowBase {
public:
    bool Create(HWND parent, HMODULE resources, HFONT font)
    {
        CreateArgs args =
            CreateArgs::Child(u"Kestrivane.Test.ShowcasePage", parent, 0, WS_CHILD | WS_CLIPCHILDREN, RECT{});
        args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        if (!CWindowBase::Create(args) || !bar.Create(hwnd_, IDD_PAGE_BUTTONBAR, resources)) return false;
        bar.Show(SW_SHOW);
        // Plain text: a dialog made by a test program without a manifest of its own gets the old
        // common controls, whose link control shows markup as it stands.
        ::SetWindowTextW(bar.GetItem(IDC_PAGE_STATUS_LINK), L"dxc.example.net:7300 - reconnecting in 5 s");
        if (!received.Create(hwnd_, 1007, WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL,
                             WS_EX_CLIENTEDGE, RECT{}) ||
            !splitter.Create(hwnd_, 1010, RECT{}) || !sendEdit.Create(hwnd_, 1011, RECT{}))
            return false;
        received.SetFont(font);
        sendEdit.SetFont(font);
        received.SetText(u"DX de DL1ABC:     14025.0  K1XYZ        CQ WW CW                       1203Z\r\n"
                         u"DX de OH2BH:      21030.5  JA1AAA       599 tnx                        1204Z\r\n"
                         u"DX de W3LPL:       7011.0  ZS6XYZ       up 1                           1204Z");
        sendEdit.SetText(u"sh/dx 20");
        return true;
    }
    CButtonBar bar{IDC_PAGE_STATUS_LINK, true};
    CEdit received;
    CSplitterBar splitter;
    CSendEdit sendEdit;

protected:
    void OnSize(UINT, int cx, int cy) override
    {
        const int barHeight = bar.BarHeight(), send = 44, split = 5;
        bar.Move(0, 0, cx, barHeight);
        received.Move(0, barHeight, cx, cy - barHeight - send - split);
        splitter.Move(0, cy - send - split, cx, split);
        sendEdit.Move(0, cy - send, cx, send);
    }
};

// The view: the tab strip above the view's own button bar.
class CShowcaseView : public CControlTestHost {
public:
    CConnectionTabCtrl tabs;
    CButtonBar bar{ID_TOOLS_GENERAL_SETTINGS, false};

protected:
    void OnSize(UINT, int cx, int cy) override
    {
        if (!tabs.IsWindow() || !bar.IsWindow()) return;
        bar.Move(0, cy - bar.BarHeight(), cx, bar.BarHeight());
        tabs.Move(0, 0, cx, cy - bar.BarHeight());
    }
};

} // namespace

TEST(ControlsScreenshot, TabsWithStateIconsTheCloseButtonThePlusTabAndTheButtonBars)
{
    CGdiPlusSession gdiplus;
    HMODULE resources = ::LoadLibraryExW(W(Utf8ToUtf16(BuildPath("kestrivane.exe"))), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(resources, nullptr);
    CCommonControlsV6 commonControls;
    ASSERT_TRUE(commonControls.Active());
    CFont uiFont, textFont;
    ASSERT_TRUE(CreateScaledUiFont(uiFont, 96));
    LOGFONTW lf{};
    lf.lfHeight = -13;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    ::lstrcpyW(lf.lfFaceName, L"Consolas");
    ASSERT_TRUE(textFont.CreateIndirect(lf));
    CImageList icons;
    ASSERT_TRUE(UpdateStateIcons(icons, 96));

    CShowcaseView view;
    ASSERT_TRUE(view.Create(820, 420, u"Kestrivane"));
    ASSERT_TRUE(view.tabs.Create(view, 1000, RECT{}));
    ASSERT_TRUE(view.bar.Create(view, IDD_VIEW_BUTTONBAR, resources));
    view.bar.Show(SW_SHOW);
    view.tabs.SetImageList(icons);
    view.tabs.SetFont(uiFont);
    auto* emptyPage = new CEmptyPage;
    ASSERT_TRUE(emptyPage->Create(view.tabs, 1005));
    emptyPage->SetTextFont(uiFont);
    view.tabs.AddTab(*emptyPage, u"+");
    view.tabs.SetAddTabWnd(*emptyPage);
    view.tabs.SetActiveTab(0);
    const RECT client = view.ClientRect();
    view.SendMessage(WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    PumpFor(200);
    EXPECT_FALSE(SaveScreenshot(view, u"empty-page").empty());

    struct Connection {
        const char16_t* name;
        int state, variant;
    };
    const Connection connections[] = {{u"DXSpider node", IconConnected, 3}, {u"Skimmer", IconConnecting, 1},
                                      {u"Local cluster", IconError, 2},      {u"DX Summit", IconWaiting, 0},
                                      {u"Old node", IconDisconnected, 3}};
    std::vector<std::unique_ptr<CShowcasePage>> pages;
    for (const Connection& c : connections) {
        pages.push_back(std::make_unique<CShowcasePage>());
        ASSERT_TRUE(pages.back()->Create(view.tabs, resources, textFont));
        view.tabs.InsertTab(*pages.back(), c.name, view.tabs.GetAddTabIndex(), StateIconIndex(c.state, c.variant));
    }
    view.tabs.EnableActiveTabCloseButton(true);
    view.tabs.SetActiveTab(0);
    view.bar.UpdateCommandUi([](int id) -> std::optional<bool> { return id != ID_CONNECTION_CONNECT_ALL; });
    pages[0]->bar.UpdateCommandUi([](int id) -> std::optional<bool> {
        if (id == ID_CONNECTION_CONNECT) return false;
        return std::nullopt;
    });
    RECT close{};
    ASSERT_TRUE(view.tabs.GetCloseButtonRect(close));
    POINT pointer{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
    ::ClientToScreen(view.tabs, &pointer);
    ::SetCursorPos(pointer.x, pointer.y); // the close button lights up under the pointer
    PumpFor(300);
    EXPECT_FALSE(SaveScreenshot(view, u"tab-strip").empty());

    ASSERT_TRUE(view.tabs.BeginRename(2));
    PumpFor(200);
    EXPECT_FALSE(SaveScreenshot(view, u"tab-rename").empty());
    ::PostMessageW(view.tabs.RenameEdit(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpUntil([&] { return !view.tabs.IsRenaming(); }, 2000);

    // Narrower: the tabs scroll.
    view.SetPos(nullptr, 0, 0, 400, 420, SWP_NOMOVE | SWP_NOZORDER);
    view.tabs.SetActiveTab(4);
    PumpFor(300);
    EXPECT_TRUE(view.tabs.HasScrollButtons());
    EXPECT_FALSE(SaveScreenshot(view, u"tab-strip-scrolled").empty());
    view.Destroy();
    ::FreeLibrary(resources);
}
