#include "app/CButtonBar.h"

#include <commctrl.h>

#include "app/DpiHelpers.h"
#include "app/LinkControls.h"
#include "app/OpenLink.h"
#include "base/Ascii.h"

namespace kv {

bool CButtonBar::OnInitDialog()
{
    const RECT r = WindowRect();
    barWidth_ = r.right - r.left;
    barHeight_ = r.bottom - r.top;
    barDpi_ = GetWindowDpi(hwnd_);
    RECT control{};
    if (StretchControlRect(control)) rightMargin_ = barWidth_ - control.right;
    return true;
}

void CButtonBar::OnDestroy() { ReleaseLinkFonts(hwnd_); }

void CButtonBar::ScaleToDpi(int dpi)
{
    if (barDpi_ == 0 || barDpi_ == dpi) return;
    barWidth_ = ::MulDiv(barWidth_, dpi, barDpi_);
    barHeight_ = ::MulDiv(barHeight_, dpi, barDpi_);
    rightMargin_ = ::MulDiv(rightMargin_, dpi, barDpi_);
    barDpi_ = dpi;
}

bool CButtonBar::StretchControlRect(RECT& rect) const
{
    HWND control = stretchControlId_ ? GetItem(stretchControlId_) : nullptr;
    if (!control) return false;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

void CButtonBar::OnSize(UINT type, int cx, int cy)
{
    RECT r{};
    if (barWidth_ <= 0 || !StretchControlRect(r)) return;
    CWindow control(GetItem(stretchControlId_));
    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (stretchControlWidens_) {
        const int width = cx - rightMargin_ - r.left;
        if (width > 0) control.SetPos(nullptr, 0, 0, width, r.bottom - r.top, flags | SWP_NOMOVE);
    } else {
        const int width = r.right - r.left;
        control.SetPos(nullptr, cx - rightMargin_ - width, r.top, 0, 0, flags | SWP_NOSIZE);
    }
}

bool CButtonBar::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED || !control) return false;
    HWND mainWindow = MainWindow();
    ::PostMessageW(mainWindow, WM_COMMAND, WPARAM(id), 0);
    ::SetFocus(mainWindow);
    return true;
}

bool CButtonBar::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.code != NM_CLICK && header.code != NM_RETURN) return false;
    if (!EqualsIgnoreCaseAscii(CWindow(header.hwndFrom).GetClassName(), u"SysLink")) return false;
    const auto& link = reinterpret_cast<const NMLINK&>(header);
    OpenLink(hwnd_, U16(link.item.szUrl), LinkKinds::Web);
    ::SetFocus(MainWindow());
    result = 0;
    return true;
}

void CButtonBar::UpdateCommandUi(const CommandStateQuery& query)
{
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::optional<bool> enabled = query ? query(::GetDlgCtrlID(child)) : std::nullopt;
        const bool enable = enabled.value_or(true);
        if ((::IsWindowEnabled(child) != FALSE) != enable) ::EnableWindow(child, enable);
    }
}

} // namespace kv
