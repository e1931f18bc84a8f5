#include "app/LinkControls.h"

#include <commctrl.h>

#include "base/Ascii.h"
#include "win/Window.h"

namespace kv {

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
        // Wine's link control deletes the font it was given when it is destroyed: that is the dialog's own,
        // which every other control of the dialog still uses.
        ::SendMessageW(child, WM_SETFONT, 0, FALSE);
        ::DestroyWindow(child);
        child = link;
    }
}

} // namespace kv
