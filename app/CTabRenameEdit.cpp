#include "app/CTabRenameEdit.h"

#include "win/Edit.h"

namespace kv {

bool CTabRenameEdit::Create(HWND parent, int id, const RECT& rect)
{
    editEnded_ = false;
    CEdit edit;
    if (!edit.Create(parent, id, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, rect)) return false;
    if (!Subclass(edit)) {
        edit.Destroy();
        return false;
    }
    return true;
}

void CTabRenameEdit::End(bool commit)
{
    if (editEnded_) return;
    editEnded_ = true;
    ::PostMessageW(GetParent(), WM_APP_RENAME_DONE, commit ? 1 : 0, 0);
}

LRESULT CTabRenameEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            End(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == VK_ESCAPE) return 0; // no beep
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = CWindowBase::WndProc(msg, wParam, lParam);
        End(true);
        return result;
    }
    case WM_GETDLGCODE:
        return CWindowBase::WndProc(msg, wParam, lParam) | DLGC_WANTALLKEYS;
    default:
        break;
    }
    return CWindowBase::WndProc(msg, wParam, lParam);
}

} // namespace kv
