#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/DpiHelpers.h"
#include "app/MonoFont.h"
#include "app/StateIcons.h"
#include "tests/support/WinTestSupport.h"
#include "win/GdiPlus.h"
#include "win/WindowBase.h"

using namespace kv;

namespace {

struct Argb {
    uint8_t a, r, g, b;
};

// The icon's colour bitmap, top-down, as ARGB.
class CIconPixels {
public:
    explicit CIconPixels(HICON icon)
    {
        ICONINFO info{};
        if (!icon || !::GetIconInfo(icon, &info)) return;
        BITMAP bm{};
        ::GetObjectW(info.hbmColor, sizeof bm, &bm);
        size_ = bm.bmWidth;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
        pixels_.resize(size_t(bm.bmWidth) * bm.bmHeight);
        HDC dc = ::GetDC(nullptr);
        ::GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, pixels_.data(), &bi, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, dc);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    int Size() const { return size_; }
    // A pixel at a point of the 16 x 16 design square.
    Argb At(double x, double y) const
    {
        const int px = int(x * size_ / 16), py = int(y * size_ / 16);
        const uint32_t v = pixels_[size_t(py) * size_ + px];
        return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    }

private:
    int size_ = 0;
    std::vector<uint32_t> pixels_;
};

bool Near(const Argb& p, int r, int g, int b)
{
    return p.a == 255 && std::abs(p.r - r) < 12 && std::abs(p.g - g) < 12 && std::abs(p.b - b) < 12;
}

CIconPixels PixelsOf(int state, int size, int variant)
{
    HICON icon = DrawStateIcon(state, size, variant);
    CIconPixels pixels(icon);
    if (icon) ::DestroyIcon(icon);
    return pixels;
}

CIconPixels PixelsOf(const CImageList& list, int index)
{
    HICON icon = list.GetIcon(index);
    CIconPixels pixels(icon);
    if (icon) ::DestroyIcon(icon);
    return pixels;
}

class IconTest : public ::testing::Test {
protected:
    CGdiPlusSession gdiplus;
};

// Shows both icon lists at 96 and 144 DPI and a line of the text font, for a look at them.
class CIconSheet : public CWindowBase {
public:
    CImageList states96, states144, badges144;
    MonoFont font;

protected:
    bool OnPaint() override
    {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        for (int i = 0; i < kStateIconCount; ++i) {
            states96.Draw(i, dc, 8 + i * 22, 8, ILD_TRANSPARENT);
            states144.Draw(i, dc, 8 + i * 30, 36, ILD_TRANSPARENT);
        }
        for (int i = 0; i < kBadgeIconCount; ++i) badges144.Draw(i, dc, 8 + i * 30, 72, ILD_TRANSPARENT);
        HGDIOBJ old = ::SelectObject(dc, font.Font);
        ::TextOutW(dc, 8, 110, L"14074.0  DL1ABC  CQ TEST 599", 28);
        ::SelectObject(dc, old);
        ::EndPaint(hwnd_, &ps);
        return true;
    }
};

} // namespace

TEST(DpiHelpers, WindowsWithoutAnAnswerTakeTheScreenDpiAndMetricsScale)
{
    const DpiFunctions& f = GetDpiFunctions();
    EXPECT_EQ(&f, &GetDpiFunctions());
    EXPECT_GT(f.ScreenDpi, 0);
    EXPECT_EQ(GetWindowDpi(nullptr), f.ScreenDpi);
    EXPECT_EQ(GetWindowDpi(HWND(0x1234)), f.ScreenDpi); // not a window

    CWindowBase window;
    CWindowBase::CreateArgs args;
    args.className = u"Kestrivane.Test.Dpi";
    ASSERT_TRUE(window.Create(args));
    EXPECT_EQ(GetWindowDpi(window), 96); // Xvfb

    const int bar96 = GetSystemMetricForDpi(SM_CXVSCROLL, 96);
    EXPECT_GT(bar96, 0);
    EXPECT_NEAR(GetSystemMetricForDpi(SM_CXVSCROLL, 192), 2 * bar96, 1);

    RECT r{0, 0, 400, 300};
    ASSERT_TRUE(AdjustWindowRectForDpi(r, WS_OVERLAPPEDWINDOW, false, 0, 96));
    EXPECT_LT(r.left, 0);
    EXPECT_GT(r.bottom, 300);
}

TEST(DpiHelpers, InterfaceFontFollowsTheDpiAndReplacesTheOldFont)
{
    CFont font;
    ASSERT_TRUE(CreateScaledUiFont(font, GetDpiFunctions().ScreenDpi));
    LOGFONTW base{};
    ASSERT_TRUE(font.GetLogFont(base));
    HFONT first = font;
    ASSERT_TRUE(CreateScaledUiFont(font, 2 * GetDpiFunctions().ScreenDpi));
    EXPECT_NE(HFONT(font), first);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the old font must be deleted";
    LOGFONTW doubled{};
    ASSERT_TRUE(font.GetLogFont(doubled));
    EXPECT_EQ(doubled.lfHeight, 2 * base.lfHeight);
}

TEST(MonoFont, MadeForTheDpiWithTheMetricsOfTheFaceUsed)
{
    MonoFont font;
    ASSERT_TRUE(font.CreateFontForDpi(u"Consolas", 10, 144));
    EXPECT_EQ(font.FaceName, u"Consolas");
    EXPECT_EQ(font.PointSize, 10);
    EXPECT_GT(font.CharWidth, 0);

    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font.Font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    LOGFONTW lf{};
    ASSERT_TRUE(font.Font.GetLogFont(lf));
    EXPECT_EQ(lf.lfHeight, -20); // a character height of MulDiv(10, 144, 72)
    EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 20, 1); // as the rasteriser rounds it
    EXPECT_EQ(font.LineHeight, tm.tmHeight + tm.tmExternalLeading);

    // A lowercase request names the same face.
    EXPECT_TRUE(font.CreateFontForDpi(u"consolas", 9, 96));
    EXPECT_EQ(font.PointSize, 9);
}

TEST(MonoFont, ProportionalOrMissingFacesAreRefusedAndTheOldFontKept)
{
    MonoFont font;
    ASSERT_TRUE(font.CreateFontForDpi(u"Courier New", 10, 96));
    HFONT kept = font.Font;
    const int width = font.CharWidth;
    EXPECT_FALSE(font.CreateFontForDpi(u"Arial", 12, 96));
    EXPECT_FALSE(font.CreateFontForDpi(u"No Such Face At All", 12, 96));
    EXPECT_EQ(HFONT(font.Font), kept);
    EXPECT_EQ(font.FaceName, u"Courier New");
    EXPECT_EQ(font.PointSize, 10);
    EXPECT_EQ(font.CharWidth, width);
    EXPECT_NE(::GetObjectType(kept), 0u);
}

TEST_F(IconTest, StateIconsAre24PixelsAt144DpiInStateTimesFourPlusVariantOrder)
{
    CImageList list;
    ASSERT_TRUE(UpdateStateIcons(list, 144));
    EXPECT_EQ(list.Count(), kStateIconCount);
    int cx = 0, cy = 0;
    ASSERT_TRUE(list.GetIconSize(cx, cy));
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(cy, 24);
    ASSERT_TRUE(UpdateStateIcons(list, 96)); // re-made for a new DPI
    ASSERT_TRUE(list.GetIconSize(cx, cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(list.Count(), kStateIconCount);
    EXPECT_EQ(StateIconIndex(IconConnected, 0), 8);
    EXPECT_EQ(StateIconIndex(IconConnected, 3), 11);
}

TEST_F(IconTest, ConnectedWithoutLoggerHasAGreyBarBadgeAndBothWaysHasNone)
{
    const CIconPixels alone = PixelsOf(IconConnected, 32, 0);
    ASSERT_EQ(alone.Size(), 32);
    EXPECT_TRUE(Near(alone.At(3, 8), 59, 155, 47));     // green disc
    EXPECT_TRUE(Near(alone.At(10.0, 13.5), 96, 96, 96)); // grey badge
    EXPECT_TRUE(Near(alone.At(12.5, 12.0), 255, 255, 255)); // its white bar

    const CIconPixels both = PixelsOf(IconConnected, 32, 3);
    EXPECT_TRUE(Near(both.At(10.0, 13.5), 59, 155, 47));
    EXPECT_TRUE(Near(both.At(12.5, 12.0), 59, 155, 47));

    EXPECT_TRUE(Near(PixelsOf(IconError, 32, 1).At(10.0, 13.5), 31, 111, 200)); // blue badge: sends
    EXPECT_TRUE(Near(PixelsOf(IconError, 32, 2).At(10.0, 13.5), 224, 122, 16)); // orange badge: takes
    EXPECT_TRUE(Near(PixelsOf(IconError, 32, 3).At(3, 8), 217, 59, 59));
    EXPECT_TRUE(Near(PixelsOf(IconWaiting, 32, 3).At(3, 8), 47, 122, 200));
    EXPECT_TRUE(Near(PixelsOf(IconConnecting, 32, 3).At(3, 4), 224, 154, 26));
}

TEST_F(IconTest, DisconnectedIsARingAndUnknownStatesDrawAsDisconnected)
{
    for (int state : {0, 7, -1}) {
        const CIconPixels ring = PixelsOf(state, 32, 3);
        EXPECT_EQ(ring.At(8, 8).a, 0) << state;
        EXPECT_TRUE(Near(ring.At(1.5, 8), 138, 138, 133)) << state;
    }
}

TEST_F(IconTest, MarkerIconsAreEmptyBlueOutlinedAndOrangeFilled)
{
    CImageList list;
    ASSERT_TRUE(CreateBadgeIcon(list, 192));
    ASSERT_EQ(list.Count(), kBadgeIconCount);
    const CIconPixels empty = PixelsOf(list, 0);
    ASSERT_EQ(empty.Size(), 32);
    for (double y = 0.5; y < 16; y += 2)
        for (double x = 0.5; x < 16; x += 2) EXPECT_EQ(empty.At(x, y).a, 0);
    const CIconPixels outlined = PixelsOf(list, 1);
    EXPECT_TRUE(Near(outlined.At(1.6, 8), 31, 111, 200));
    EXPECT_TRUE(Near(outlined.At(3.0, 8), 255, 255, 255));
    const CIconPixels filled = PixelsOf(list, 2);
    EXPECT_TRUE(Near(filled.At(3.0, 8), 224, 122, 16));
    EXPECT_EQ(filled.At(0.2, 0.2).a, 0); // the rounded corner stays clear

    // Drawn by the list, the empty marker leaves what lies below it.
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 32, 32);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, target);
    RECT all{0, 0, 32, 32};
    ::FillRect(dc, &all, HBRUSH(::GetStockObject(WHITE_BRUSH)));
    list.Draw(0, dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(::GetPixel(dc, 16, 16), RGB(255, 255, 255));
    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
}

TEST_F(IconTest, SheetOfIconsForALook)
{
    CIconSheet sheet;
    ASSERT_TRUE(UpdateStateIcons(sheet.states96, 96));
    ASSERT_TRUE(UpdateStateIcons(sheet.states144, 144));
    ASSERT_TRUE(CreateBadgeIcon(sheet.badges144, 144));
    ASSERT_TRUE(sheet.font.CreateFontForDpi(u"Consolas", 10, 96));
    CWindowBase::CreateArgs args;
    args.className = u"Kestrivane.Test.IconSheet";
    args.title = u"Icons";
    args.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    args.x = 20;
    args.y = 20;
    args.cx = 640;
    args.cy = 180;
    ASSERT_TRUE(sheet.Create(args));
    test::PumpFor(300);
    EXPECT_FALSE(test::SaveScreenshot(sheet, u"state-icons").empty());
}
