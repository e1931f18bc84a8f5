#pragma once
// The tab strip of the connection view: one tab per connection plus the add tab ("+") kept last, whose
// press asks the view for a new connection instead of showing its page; labels renamed in place; a
// double-click opening the connection's settings; every change of order reported to the view.
#include "app/CTabRenameEdit.h"
#include "app/CTabStrip.h"

namespace kv {

// Sent to the parent: wParam the tab index, lParam the new name (zero-terminated UTF-16, valid during the
// call); a non-zero result lets the tab take the name.
constexpr UINT WM_APP_TAB_NAME_CHANGED = WM_APP + 0x3;
constexpr UINT WM_APP_TAB_ORDER_CHANGED = WM_APP + 0x7; // posted; the tabs may have been reordered
constexpr UINT WM_APP_ADD_TAB_CLICKED = WM_APP + 0xC;   // posted; the add tab was pressed

class CConnectionTabCtrl : public CTabStrip {
public:
    static constexpr int kRenameEditId = 100;

    // The page shown by the add tab.
    void SetAddTabWnd(HWND page) { addTabWnd_ = page; }
    HWND AddTabWnd() const { return addTabWnd_; }
    // The index of the add tab, -1 when there is none.
    int GetAddTabIndex() const;
    // Starts editing a connection tab's label in place; false when refused.
    bool BeginRename(int index);
    bool IsRenaming() const { return renameEdit_.Handle() != nullptr; }
    HWND RenameEdit() const { return renameEdit_.Handle(); }
    // On one of the strip's own buttons (scrolling).
    bool IsOverButton(POINT point) const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(POINT point) override;
    void OnLButtonDblClk(POINT point) override;
    void OnLButtonUp(POINT point) override;

private:
    void EndRename(bool commit);
    void KeepAddTabLast();

    HWND addTabWnd_ = nullptr;
    CTabRenameEdit renameEdit_;
    HWND editedTabWnd_ = nullptr;
    HWND pressedTabWnd_ = nullptr;
};

} // namespace kv
