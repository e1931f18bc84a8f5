#include "app/CTabStrip.h"

#include <algorithm>
#include <commctrl.h>
#include <windowsx.h>

#include "app/DpiHelpers.h"

namespace kv {
namespace {

constexpr int kScrollLeftId = 1;
constexpr int kScrollRightId = 2;

int Scale(int value, int dpi) { return ::MulDiv(value, dpi, 96); }

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB)
{
    auto mix = [&](int x, int y) { return (x * (100 - percentOfB) + y * percentOfB) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

bool Contains(const RECT& rect, POINT point) { return ::PtInRect(&rect, point) != FALSE; }

} // namespace

UINT CTabStrip::ActiveTabChangedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Kestrivane.TabStrip.ActiveTabChanged");
    return message;
}

bool CTabStrip::Create(HWND parent, int id, const RECT& rect)
{
    CreateArgs args =
        CreateArgs::Child(u"Kestrivane.TabStrip", parent, id, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect);
    args.classStyle = CS_DBLCLKS;
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!CWindowBase::Create(args)) return false;
    constexpr DWORD buttonStyle = WS_CHILD | BS_OWNERDRAW;
    if (!scrollLeft_.Create(hwnd_, kScrollLeftId, u"", buttonStyle, RECT{}) ||
        !scrollRight_.Create(hwnd_, kScrollRightId, u"", buttonStyle, RECT{}))
        return false;
    RecalcLayout();
    return true;
}

int CTabStrip::AddTab(HWND page, const std::u16string& label, int image)
{
    return InsertTab(page, label, GetTabsNum(), image);
}

int CTabStrip::InsertTab(HWND page, const std::u16string& label, int index, int image)
{
    if (!page || !hwnd_) return -1;
    index = std::clamp(index, 0, GetTabsNum());
    if (::GetParent(page) != hwnd_) ::SetParent(page, hwnd_);
    ::ShowWindow(page, SW_HIDE);
    tabs_.insert(tabs_.begin() + index, Tab{page, label, image});
    if (active_ >= index) ++active_;
    RecalcLayout();
    Invalidate();
    return index;
}

bool CTabStrip::RemoveTab(int index)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    const HWND page = tabs_[size_t(index)].page;
    const bool wasActive = index == active_;
    tabs_.erase(tabs_.begin() + index);
    if (index < active_) --active_;
    if (wasActive) active_ = -1;
    if (::IsWindow(page)) ::DestroyWindow(page);
    if (wasActive && !tabs_.empty()) SetActiveTab(std::min(index, GetTabsNum() - 1));
    RecalcLayout();
    Invalidate();
    return true;
}

bool CTabStrip::MoveTab(int from, int to)
{
    if (from < 0 || from >= GetTabsNum() || to < 0 || to >= GetTabsNum()) return false;
    if (from == to) return true;
    const HWND activePage = GetTabWnd(active_);
    const Tab moved = tabs_[size_t(from)];
    tabs_.erase(tabs_.begin() + from);
    tabs_.insert(tabs_.begin() + to, moved);
    active_ = FindTab(activePage);
    RecalcLayout();
    Invalidate();
    return true;
}

bool CTabStrip::SetActiveTab(int index)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    if (index == active_) {
        layout_.EnsureVisible(index);
        RecalcLayout();
        Invalidate();
        return true;
    }
    const HWND previous = GetTabWnd(active_);
    active_ = index;
    RecalcLayout(); // the active tab is wider by its close button
    layout_.EnsureVisible(index);
    RecalcLayout();
    ::ShowWindow(tabs_[size_t(index)].page, SW_SHOW);
    if (previous && previous != tabs_[size_t(index)].page) ::ShowWindow(previous, SW_HIDE);
    Invalidate();
    ::SendMessageW(GetParent(), ActiveTabChangedMessage(), WPARAM(index), 0);
    return true;
}

HWND CTabStrip::GetTabWnd(int index) const
{
    return index >= 0 && index < GetTabsNum() ? tabs_[size_t(index)].page : nullptr;
}

int CTabStrip::FindTab(HWND page) const
{
    if (!page) return -1;
    for (int i = 0; i < GetTabsNum(); ++i)
        if (tabs_[size_t(i)].page == page) return i;
    return -1;
}

std::u16string CTabStrip::GetTabLabel(int index) const
{
    return index >= 0 && index < GetTabsNum() ? tabs_[size_t(index)].label : std::u16string();
}

bool CTabStrip::SetTabLabel(int index, const std::u16string& label)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    tabs_[size_t(index)].label = label;
    RecalcLayout();
    Invalidate();
    return true;
}

int CTabStrip::GetTabIcon(int index) const
{
    return index >= 0 && index < GetTabsNum() ? tabs_[size_t(index)].image : -1;
}

bool CTabStrip::SetTabIcon(int index, int image)
{
    if (index < 0 || index >= GetTabsNum()) return false;
    tabs_[size_t(index)].image = image;
    RecalcLayout();
    Invalidate();
    return true;
}

void CTabStrip::SetImageList(HIMAGELIST images)
{
    images_ = images;
    RecalcLayout();
    Invalidate();
}

void CTabStrip::EnableActiveTabCloseButton(bool enable)
{
    if (closeEnabled_ == enable) return;
    closeEnabled_ = enable;
    RecalcLayout();
    Invalidate();
}

HFONT CTabStrip::LabelFont() const
{
    return font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

CTabStrip::Metrics CTabStrip::Measure() const
{
    Metrics m{};
    m.dpi = hwnd_ ? GetWindowDpi(hwnd_) : 96;
    m.iconSize = Scale(16, m.dpi);
    int cx = 0, cy = 0;
    if (images_ && ::ImageList_GetIconSize(images_, &cx, &cy)) m.iconSize = cy;
    int textHeight = Scale(16, m.dpi);
    if (HDC dc = ::GetDC(hwnd_)) {
        HGDIOBJ old = ::SelectObject(dc, LabelFont());
        TEXTMETRICW tm{};
        if (::GetTextMetricsW(dc, &tm)) textHeight = tm.tmHeight;
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
    }
    m.tabHeight = std::max(textHeight, m.iconSize) + Scale(10, m.dpi);
    m.padding = Scale(8, m.dpi);
    m.iconGap = Scale(5, m.dpi);
    m.closeSize = m.tabHeight;
    m.rowLeft = Scale(2, m.dpi);
    m.maxLabel = Scale(220, m.dpi);
    return m;
}

int CTabStrip::TabWidth(int index, const Metrics& m, HDC dc) const
{
    const Tab& tab = tabs_[size_t(index)];
    SIZE text{};
    ::GetTextExtentPoint32W(dc, W(tab.label), int(tab.label.size()), &text);
    int width = 2 * m.padding + std::min(int(text.cx), m.maxLabel);
    if (images_ && tab.image >= 0) width += m.iconSize + m.iconGap;
    if (index == active_ && closeEnabled_) width += m.closeSize - m.padding / 2;
    return width;
}

void CTabStrip::RecalcLayout()
{
    if (!hwnd_) return;
    const Metrics m = Measure();
    std::vector<int> widths;
    if (HDC dc = ::GetDC(hwnd_)) {
        HGDIOBJ old = ::SelectObject(dc, LabelFont());
        for (int i = 0; i < GetTabsNum(); ++i) widths.push_back(TabWidth(i, m, dc));
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
    }
    const RECT client = ClientRect();
    layout_.SetTabWidths(std::move(widths));
    const int buttonSize = m.tabHeight - Scale(6, m.dpi);
    layout_.Arrange(client.right - 2 * m.rowLeft, 2 * buttonSize + Scale(4, m.dpi));
    PlaceScrollButtons(m);
    PlacePages();
}

void CTabStrip::PlaceScrollButtons(const Metrics& m)
{
    const RECT client = ClientRect();
    const int size = m.tabHeight - Scale(6, m.dpi);
    const int top = (m.tabHeight - size) / 2;
    const int right = client.right - m.rowLeft;
    const bool show = layout_.HasScrollButtons();
    scrollLeft_.SetPos(nullptr, right - 2 * size, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    scrollRight_.SetPos(nullptr, right - size, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    scrollLeft_.Show(show ? SW_SHOWNA : SW_HIDE);
    scrollRight_.Show(show ? SW_SHOWNA : SW_HIDE);
    scrollLeft_.Enable(layout_.CanScrollLeft());
    scrollRight_.Enable(layout_.CanScrollRight());
    scrollLeft_.Invalidate();
    scrollRight_.Invalidate();
}

void CTabStrip::PlacePages()
{
    const RECT area = GetWndArea();
    for (int i = 0; i < GetTabsNum(); ++i) {
        const HWND page = tabs_[size_t(i)].page;
        ::SetWindowPos(page, nullptr, area.left, area.top, std::max(0, int(area.right - area.left)),
                       std::max(0, int(area.bottom - area.top)), SWP_NOZORDER | SWP_NOACTIVATE);
        const bool show = i == active_;
        if ((::IsWindowVisible(page) != FALSE) != show) ::ShowWindow(page, show ? SW_SHOWNA : SW_HIDE);
    }
}

RECT CTabStrip::GetWndArea() const
{
    const RECT client = ClientRect();
    const Metrics m = Measure();
    RECT area{client.left + 1, client.top + m.tabHeight + 1, client.right - 1, client.bottom - 1};
    if (area.bottom < area.top) area.bottom = area.top;
    if (area.right < area.left) area.right = area.left;
    return area;
}

bool CTabStrip::GetTabRect(int index, RECT& rect) const
{
    if (!layout_.IsVisible(index)) return false;
    const Metrics m = Measure();
    const int left = m.rowLeft + layout_.TabLeft(index);
    const int right = std::min(left + layout_.TabWidth(index), m.rowLeft + layout_.TabsRight());
    rect = RECT{left, 0, right, m.tabHeight};
    return true;
}

bool CTabStrip::GetCloseButtonRect(RECT& rect) const
{
    RECT tab{};
    if (!closeEnabled_ || !GetTabRect(active_, tab)) return false;
    const Metrics m = Measure();
    rect = RECT{tab.right - m.closeSize, tab.top, tab.right, tab.bottom};
    return rect.left >= tab.left;
}

int CTabStrip::GetTabFromPoint(POINT point) const
{
    const Metrics m = Measure();
    if (point.y < 0 || point.y >= m.tabHeight) return -1;
    return layout_.TabAt(point.x - m.rowLeft);
}

void CTabStrip::OnSize(UINT type, int cx, int cy)
{
    RecalcLayout();
    Invalidate();
}

bool CTabStrip::OnCommand(int id, int code, HWND control)
{
    if (control != scrollLeft_ && control != scrollRight_) return false;
    if (code == BN_CLICKED) {
        layout_.Scroll(control == scrollRight_ ? 1 : -1);
        RecalcLayout();
        Invalidate();
        // The click gave the button the focus; the active page (its send line) takes it back.
        if (::GetFocus() == control && GetTabWnd(active_)) ::SetFocus(GetTabWnd(active_));
    }
    return true;
}

LRESULT CTabStrip::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(point);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(point);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(point);
        return 0;
    case WM_MOUSEMOVE:
        // A drag lasts while the button is held: a release the strip never heard of ends it as a release would.
        if (!(wParam & MK_LBUTTON) && dragTab_ >= 0 && HasCapture()) OnLButtonUp(point);
        OnMouseMove(point);
        return 0;
    case WM_MOUSELEAVE:
        SetCloseHot(false);
        return 0;
    case WM_CAPTURECHANGED:
        EndMouseTracking();
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        RecalcLayout();
        if (LOWORD(lParam)) Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND:
        return 1; // painted whole in OnPaint
    case WM_DRAWITEM:
        DrawScrollButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    default:
        return CWindowBase::WndProc(msg, wParam, lParam);
    }
}

void CTabStrip::OnLButtonDown(POINT point)
{
    RECT close{};
    if (GetCloseButtonRect(close) && Contains(close, point)) {
        closePressed_ = true;
        SetCapture();
        ::InvalidateRect(hwnd_, &close, FALSE);
        return;
    }
    const int tab = GetTabFromPoint(point);
    if (tab < 0) return;
    SetActiveTab(tab);
    dragTab_ = FindTab(GetTabWnd(tab)); // activation may have scrolled, never reordered
    dragging_ = false;
    pressPoint_ = point;
    SetCapture();
}

void CTabStrip::OnMouseMove(POINT point)
{
    RECT close{};
    SetCloseHot(GetCloseButtonRect(close) && Contains(close, point));
    if (dragTab_ < 0 || !HasCapture()) return;
    if (!dragging_) {
        if (std::abs(point.x - pressPoint_.x) < ::GetSystemMetrics(SM_CXDRAG)) return;
        dragging_ = true;
    }
    DragTo(point);
}

// Moves the dragged tab to the place under the pointer, but only when the pointer then lies on the moved
// tab: a narrow tab dragged over a wide one would otherwise swap back and forth.
void CTabStrip::DragTo(POINT point)
{
    const Metrics m = Measure();
    const int x = point.x - m.rowLeft;
    const int target = layout_.TabAt(x);
    if (target < 0 || target == dragTab_) return;
    const int width = layout_.TabWidth(dragTab_);
    const bool fits = target > dragTab_ ? x >= layout_.TabLeft(target) + layout_.TabWidth(target) - width
                                        : x < layout_.TabLeft(target) + width;
    if (!fits) return;
    MoveTab(dragTab_, target);
    dragTab_ = target;
}

void CTabStrip::OnLButtonUp(POINT point)
{
    if (closePressed_) {
        RECT close{};
        const bool onClose = GetCloseButtonRect(close) && Contains(close, point);
        const HWND page = GetTabWnd(active_);
        ::ReleaseCapture();
        if (onClose && page) ::SendMessageW(page, WM_CLOSE, 0, 0);
        return;
    }
    if (HasCapture()) ::ReleaseCapture();
}

void CTabStrip::EndMouseTracking()
{
    if (closePressed_) Invalidate(false);
    closePressed_ = false;
    dragTab_ = -1;
    dragging_ = false;
}

void CTabStrip::SetCloseHot(bool hot)
{
    if (hot == closeHot_) return;
    closeHot_ = hot;
    if (hot) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&track);
    }
    Invalidate(false);
}

bool CTabStrip::OnPaint()
{
    PAINTSTRUCT ps;
    HDC target = ::BeginPaint(hwnd_, &ps);
    const RECT client = ClientRect();
    HDC dc = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, std::max(1, int(client.right)), std::max(1, int(client.bottom)));
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, LabelFont());
    const Metrics m = Measure();

    FillSolid(dc, client, ::GetSysColor(COLOR_BTNFACE));
    const RECT frame{client.left, m.tabHeight, client.right, client.bottom};
    ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    const HRGN row = ::CreateRectRgn(m.rowLeft, 0, m.rowLeft + layout_.TabsRight(), m.tabHeight + 1);
    ::SelectClipRgn(dc, row);
    for (int i = layout_.FirstVisible(); i < GetTabsNum(); ++i)
        if (i != active_ && layout_.IsVisible(i)) DrawTab(dc, i, m);
    if (layout_.IsVisible(active_)) DrawTab(dc, active_, m);
    ::SelectClipRgn(dc, nullptr);
    ::DeleteObject(row);

    ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::EndPaint(hwnd_, &ps);
    return true;
}

void CTabStrip::DrawTab(HDC dc, int index, const Metrics& m) const
{
    RECT rect{};
    GetTabRect(index, rect);
    rect.right = m.rowLeft + layout_.TabLeft(index) + layout_.TabWidth(index); // clipped by the row
    const bool active = index == active_;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    RECT body{rect.left, rect.top + (active ? 0 : Scale(3, m.dpi)), rect.right, rect.bottom + (active ? 1 : 0)};
    FillSolid(dc, body, active ? face : Mix(face, shadow, 22));
    // Left, top and right edges; the active tab opens into the page area below it.
    const RECT edges[] = {{body.left, body.top, body.left + 1, body.bottom},
                          {body.left, body.top, body.right, body.top + 1},
                          {body.right - 1, body.top, body.right, body.bottom}};
    for (const RECT& edge : edges) FillSolid(dc, edge, shadow);
    if (active) {
        const RECT accent{body.left + 1, body.top + 1, body.right - 1, body.top + Scale(3, m.dpi)};
        FillSolid(dc, accent, ::GetSysColor(COLOR_HIGHLIGHT));
    }

    const Tab& tab = tabs_[size_t(index)];
    int x = rect.left + m.padding;
    const int middle = (body.top + Scale(2, m.dpi) + rect.bottom) / 2;
    if (images_ && tab.image >= 0) {
        ::ImageList_Draw(images_, tab.image, dc, x, middle - m.iconSize / 2, ILD_TRANSPARENT);
        x += m.iconSize + m.iconGap;
    }
    RECT close{};
    const bool hasClose = active && GetCloseButtonRect(close);
    RECT text{x, body.top, hasClose ? close.left : rect.right - m.padding, rect.bottom};
    text.top = middle - (rect.bottom - body.top) / 2;
    text.bottom = text.top + (rect.bottom - body.top);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, W(tab.label), int(tab.label.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (hasClose) {
        close.top = body.top;
        DrawCloseButton(dc, close, m);
    }
}

void CTabStrip::DrawCloseButton(HDC dc, const RECT& rect, const Metrics& m) const
{
    const int size = Scale(14, m.dpi);
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + Scale(2, m.dpi) + rect.bottom) / 2;
    if (closeHot_ || closePressed_) {
        const RECT hot{cx - size / 2, cy - size / 2, cx + size / 2 + 1, cy + size / 2 + 1};
        FillSolid(dc, hot, closePressed_ ? ::GetSysColor(COLOR_BTNSHADOW)
                                         : Mix(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW), 45));
    }
    const int arm = Scale(4, m.dpi);
    HPEN pen = ::CreatePen(PS_SOLID, std::max(1, Scale(1, m.dpi) + m.dpi / 150), ::GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, cx - arm, cy - arm, nullptr);
    ::LineTo(dc, cx + arm + 1, cy + arm + 1);
    ::MoveToEx(dc, cx + arm, cy - arm, nullptr);
    ::LineTo(dc, cx - arm - 1, cy + arm + 1);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void CTabStrip::DrawScrollButton(const DRAWITEMSTRUCT& item) const
{
    UINT state = item.CtlID == kScrollLeftId ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
    if (item.itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
    if (item.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
    RECT rect = item.rcItem;
    ::DrawFrameControl(item.hDC, &rect, DFC_SCROLL, state | DFCS_FLAT);
}

} // namespace kv
