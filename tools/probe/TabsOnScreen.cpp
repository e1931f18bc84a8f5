#include "TabsOnScreen.h"

#include <cstdint>

namespace kvprobe {
namespace {

constexpr int kNarrowestTab = 4;

// The strip's row of tabs on the screen: from its top to the top of its pages.
bool RowOf(HWND strip, HWND page, RECT& row)
{
    RECT client{}, pageRect{};
    if (!strip || !page || !::GetClientRect(strip, &client) || !::GetWindowRect(page, &pageRect)) return false;
    POINT origin{0, 0};
    ::ClientToScreen(strip, &origin);
    // The pages' area starts a pixel below the row, inside the strip's frame.
    row = RECT{origin.x, origin.y, origin.x + client.right, pageRect.top - 1};
    return row.bottom - row.top >= 4 && row.right > row.left;
}

COLORREF FromBgr(uint32_t bgr) { return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF); }

} // namespace

CTabsOnScreen::CTabsOnScreen(HWND strip, HWND page)
{
    RECT row{};
    if (RowOf(strip, page, row)) FindTabs(row, Capture(row));
}

bool CTabsOnScreen::PointIn(int tab, POINT& at) const
{
    if (tab < 0 || tab >= Count()) return false;
    const RECT& rect = tabs_[size_t(tab)];
    at = POINT{rect.left + (rect.right - rect.left) / 4, rect.top + 2 * (rect.bottom - rect.top) / 3};
    return true;
}

std::vector<COLORREF> CTabsOnScreen::Capture(const RECT& screen)
{
    const int width = screen.right - screen.left, height = screen.bottom - screen.top;
    std::vector<COLORREF> pixels;
    HDC screenDc = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screenDc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        if (::BitBlt(memory, 0, 0, width, height, screenDc, screen.left, screen.top, SRCCOPY)) {
            ::GdiFlush();
            const auto* bgr = static_cast<const uint32_t*>(bits);
            for (size_t i = 0; i < size_t(width) * size_t(height); ++i) pixels.push_back(FromBgr(bgr[i]));
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screenDc);
    return pixels;
}

// The tabs lie between the runs of edge columns: a tab's right edge and its neighbour's left edge stand side by side.
void CTabsOnScreen::FindTabs(const RECT& row, const std::vector<COLORREF>& pixels)
{
    const int width = row.right - row.left, height = row.bottom - row.top;
    if (pixels.size() != size_t(width) * size_t(height)) return;
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    auto isEdge = [&](int x) {
        for (int y = height / 2; y < height; ++y)
            if (pixels[size_t(y) * size_t(width) + size_t(x)] != shadow) return false;
        return true;
    };
    int tabLeft = -1; // just right of the last edge
    for (int x = 0; x < width; ++x) {
        if (!isEdge(x)) continue;
        if (tabLeft >= 0 && x - tabLeft >= kNarrowestTab)
            tabs_.push_back(RECT{row.left + tabLeft, row.top, row.left + x, row.bottom});
        tabLeft = x + 1;
    }
}

} // namespace kvprobe
