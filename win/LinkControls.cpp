#include "win/LinkControls.h"

#include <commctrl.h>

#include "base/Ascii.h"
#include "win/Window.h"

namespace kv {

void RecreateLinkControls(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWindow old(child);
        if (!EqualsIgnoreCaseAscii(old.GetClassName(), u"SysLink")) continue;
        RECT r = old.WindowRect();
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        HWND link = ::CreateWindowExW(DWORD(old.GetExStyle()), WC_LINK, W(old.GetText()), DWORD(old.GetStyle()),
                                      r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                      reinterpret_cast<HMENU>(INT_PTR(old.GetId())), ::GetModuleHandleW(nullptr),
                                      nullptr);
        if (!link) continue;
        ::SetWindowPos(link, child, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        old.SetFont(nullptr, false); // the dialog's font stays the dialog's
        old.Destroy();
        child = link;
    }
}

} // namespace kv
