#include "app/CConnectionTabCtrl.h"

#include "app/CtrlBackspace.h"
#include "base/Ascii.h"
#include "base/Text.h"
#include "resources/resource.h"
#include "win/Edit.h"

namespace kv {

int CConnectionTabCtrl::GetAddTabIndex() const { return addTabWnd_ ? FindTab(addTabWnd_) : -1; }

bool CConnectionTabCtrl::BeginRename(int index)
{
    if (index < 0 || index >= GetTabsNum() || index == GetAddTabIndex() || IsRenaming()) return false;
    RECT rect{};
    if (!GetTabRect(index, rect) || ::IsRectEmpty(&rect)) return false;
    ::InflateRect(&rect, -2, -2);
    if (!renameEdit_.Create(hwnd_, kRenameEditId, rect)) return false;
    CEdit edit(renameEdit_.Handle());
    InstallCtrlBackspace(edit);
    editedTabWnd_ = GetTabWnd(index);
    edit.SetFont(LabelFont());
    edit.LimitText(CTabRenameEdit::kMaxChars);
    edit.SetText(GetTabLabel(index));
    edit.SelectAll();
    edit.ScrollCaret();
    edit.SetFocus();
    return true;
}

void CConnectionTabCtrl::EndRename(bool commit)
{
    if (!IsRenaming()) return;
    const std::u16string name = Trim(renameEdit_.GetText());
    renameEdit_.Destroy();
    const int index = FindTab(editedTabWnd_); // the tabs may have moved meanwhile
    editedTabWnd_ = nullptr;
    if (!commit || index < 0 || name.empty() || name == GetTabLabel(index)) return;
    if (::SendMessageW(GetParent(), WM_APP_TAB_NAME_CHANGED, WPARAM(index), LPARAM(name.c_str())) != 0)
        SetTabLabel(index, name);
}

bool CConnectionTabCtrl::IsOverButton(POINT point) const
{
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const CWindow window(child);
        if (!window.IsVisible() || !EqualsIgnoreCaseAscii(window.GetClassName(), u"Button")) continue;
        RECT rect = window.WindowRect();
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        if (::PtInRect(&rect, point)) return true;
    }
    return false;
}

LRESULT CConnectionTabCtrl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP_RENAME_DONE) {
        EndRename(wParam != 0);
        return 0;
    }
    return CTabStrip::WndProc(msg, wParam, lParam);
}

void CConnectionTabCtrl::OnLButtonDown(POINT point)
{
    if (IsOverButton(point)) return;
    const int tab = GetTabFromPoint(point);
    pressedTabWnd_ = GetTabWnd(tab);
    if (tab >= 0 && tab == GetAddTabIndex()) {
        ::PostMessageW(GetParent(), WM_APP_ADD_TAB_CLICKED, 0, 0); // never activated by the mouse
        return;
    }
    CTabStrip::OnLButtonDown(point);
}

void CConnectionTabCtrl::OnLButtonDblClk(POINT point)
{
    if (IsOverButton(point)) return;
    const int tab = GetTabFromPoint(point);
    if (tab >= 0 && tab == GetAddTabIndex()) return;
    RECT rect{};
    if (tab >= 0 && tab == GetActiveTab() && GetTabRect(tab, rect) && !::IsRectEmpty(&rect)) {
        const int height = rect.bottom - rect.top;
        if (point.x >= rect.right - height && point.x < rect.right) {
            // A quick double-click on the close button still closes the tab.
            pressedTabWnd_ = nullptr;
            CTabStrip::OnLButtonDown(point);
            return;
        }
    }
    const HWND pressed = pressedTabWnd_;
    pressedTabWnd_ = nullptr;
    if (tab < 0) {
        CTabStrip::OnLButtonDblClk(point);
        return;
    }
    if (GetTabWnd(tab) == pressed)
        ::PostMessageW(GetParent(), WM_COMMAND, ID_CONNECTION_SETTINGS, 0);
}

void CConnectionTabCtrl::OnLButtonUp(POINT point)
{
    if (IsOverButton(point) && !HasCapture()) return;
    CTabStrip::OnLButtonUp(point);
    KeepAddTabLast();
    ::PostMessageW(GetParent(), WM_APP_TAB_ORDER_CHANGED, 0, 0);
}

void CConnectionTabCtrl::KeepAddTabLast()
{
    const int addTab = GetAddTabIndex();
    if (addTab >= 0 && addTab != GetTabsNum() - 1) MoveTab(addTab, GetTabsNum() - 1);
}

} // namespace kv
