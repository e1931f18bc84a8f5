#include "app/CButtonBar.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/DpiHelpers.h"
#include "base/Ascii.h"

namespace kv {
namespace {

// Under Wine a link control shows its markup as plain text once it was sent WM_SETFONT, which the dialog
// manager sends to every control of a template: the bar's links are made again in place, with the same id,
// styles and tab order, and keep the control's own font.
void RecreateLinkControls(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!EqualsIgnoreCaseAscii(CWindow(child).GetClassName(), u"SysLink")) continue;
        RECT r = CWindow(child).WindowRect();
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        HWND link = ::CreateWindowExW(DWORD(::GetWindowLongPtrW(child, GWL_EXSTYLE)), WC_LINK, L"",
                                      DWORD(::GetWindowLongPtrW(child, GWL_STYLE)), r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, dialog, reinterpret_cast<HMENU>(INT_PTR(::GetDlgCtrlID(child))),
                                      ::GetModuleHandleW(nullptr), nullptr);
        if (!link) continue;
        ::SetWindowPos(link, child, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::DestroyWindow(child);
        child = link;
    }
}

} // namespace

bool CButtonBar::OnInitDialog()
{
    RecreateLinkControls(hwnd_);
    const RECT r = WindowRect();
    barWidth_ = r.right - r.left;
    barHeight_ = r.bottom - r.top;
    barDpi_ = GetWindowDpi(hwnd_);
    RECT control{};
    if (StretchControlRect(control)) rightMargin_ = barWidth_ - control.right;
    return true;
}

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
    if (IsWebAddress(U16(link.item.szUrl)))
        ::ShellExecuteW(hwnd_, L"open", link.item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
    ::SetFocus(MainWindow());
    result = 0;
    return true;
}

bool CButtonBar::IsWebAddress(std::u16string_view url)
{
    for (std::u16string_view scheme : {u"https://", u"http://"})
        if (url.size() > scheme.size() && EqualsIgnoreCaseAscii(url.substr(0, scheme.size()), scheme)) return true;
    return false;
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
