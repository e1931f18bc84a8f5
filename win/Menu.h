#pragma once
// A menu handle that destroys its menu, with thin forwarding calls.
#include "win/Win32.h"

#include <string>

namespace kv {

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { Destroy(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU Handle() const { return menu_; }
    operator HMENU() const { return menu_; }
    bool CreatePopup()
    {
        Destroy();
        menu_ = ::CreatePopupMenu();
        return menu_ != nullptr;
    }
    bool Destroy()
    {
        HMENU m = menu_;
        menu_ = nullptr;
        return m && ::DestroyMenu(m);
    }
    bool AppendItem(UINT id, const std::u16string& text) { return ::AppendMenuW(menu_, MF_STRING, id, W(text)) != FALSE; }
    bool AppendSeparator() { return ::AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr) != FALSE; }
    // The sub-menu then belongs to this menu, which destroys it with itself.
    bool AppendPopup(HMENU popup, const std::u16string& text)
    {
        return ::AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), W(text)) != FALSE;
    }
    HMENU Detach()
    {
        HMENU m = menu_;
        menu_ = nullptr;
        return m;
    }
    bool EnableItem(UINT id, bool enable)
    {
        return ::EnableMenuItem(menu_, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED)) != -1;
    }
    bool DeleteItemAt(int position) { return ::DeleteMenu(menu_, UINT(position), MF_BYPOSITION) != FALSE; }
    int Count() const { return ::GetMenuItemCount(menu_); }
    UINT ItemId(int position) const { return ::GetMenuItemID(menu_, position); }
    UINT ItemState(UINT id) const { return ::GetMenuState(menu_, id, MF_BYCOMMAND); }
    // With TPM_RETURNCMD the chosen command, 0 when dismissed.
    int Track(UINT flags, int x, int y, HWND owner) const
    {
        return int(::TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr));
    }

private:
    HMENU menu_ = nullptr;
};

} // namespace kv
