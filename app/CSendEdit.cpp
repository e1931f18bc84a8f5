#include "app/CSendEdit.h"

#include <windowsx.h>

#include "app/CtrlBackspace.h"
#include "win/Edit.h"

namespace kv {

bool CSendEdit::Create(HWND parent, int id, const RECT& rect)
{
    CEdit edit;
    if (!edit.Create(parent, id, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE,
                     rect))
        return false;
    if (!Subclass(edit)) {
        edit.Destroy();
        return false;
    }
    edit.LimitText(kMaxChars);
    InstallCtrlBackspace(edit);
    return true;
}

LRESULT CSendEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        if (OnKeyDown(wParam)) return 0;
        break;
    case WM_CHAR:
        if (wParam == '\n' || wParam == '\r' || wParam == VK_ESCAPE) return 0; // no beep, no line break
        break;
    case WM_MOUSEWHEEL:
        if (ForwardMouseWheel(wParam, lParam)) return TRUE;
        break;
    default:
        break;
    }
    return CWindowBase::WndProc(msg, wParam, lParam);
}

bool CSendEdit::OnKeyDown(WPARAM key)
{
    const CWindow parent(GetParent());
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_RETURN:
        parent.SendMessage(WM_APP_SEND_LINE, WPARAM(GetId()), 0);
        return true;
    case VK_ESCAPE:
        parent.SendMessage(WM_APP_SCROLL_TO_END, 0, 0);
        return true;
    case VK_PRIOR:
        parent.SendMessage(WM_APP_PAGE_SCROLL, SB_PAGEUP, 0);
        return true;
    case VK_NEXT:
        parent.SendMessage(WM_APP_PAGE_SCROLL, SB_PAGEDOWN, 0);
        return true;
    case VK_UP:
        if (shift || !CaretOnFirstLine()) return false;
        if (auto text = history_.Older(GetText())) {
            PutText(*text);
            return true;
        }
        return false;
    case VK_DOWN:
        if (shift || !CaretOnLastLine()) return false;
        if (auto text = history_.Newer()) {
            PutText(*text);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool CSendEdit::ForwardMouseWheel(WPARAM wParam, LPARAM lParam)
{
    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HWND target = ::WindowFromPoint(screen);
    HWND mainWindow = ::GetAncestor(hwnd_, GA_ROOT);
    if (!target || target == hwnd_ || !::IsChild(mainWindow, target)) return false;
    ::SendMessageW(target, WM_MOUSEWHEEL, wParam, lParam);
    return true;
}

bool CSendEdit::CaretOnFirstLine() const { return CEdit(hwnd_).LineFromChar(-1) == 0; }

bool CSendEdit::CaretOnLastLine() const
{
    const CEdit edit(hwnd_);
    return edit.LineFromChar(-1) >= edit.GetLineCount() - 1;
}

void CSendEdit::PutText(const std::u16string& text)
{
    CEdit edit(hwnd_);
    edit.SetText(text);
    const int end = int(text.size());
    edit.SetSel(end, end);
    edit.ScrollCaret();
}

} // namespace kv
