#pragma once
// A window handle with inline forwarding calls; no state beyond the HWND, no policy.
#include "win/Win32.h"

namespace kv {

class CWindow {
public:
    CWindow(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    HWND Handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND Detach() { HWND h = hwnd_; hwnd_ = nullptr; return h; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    // Creates a child window of a registered class (a common control, say) and takes its handle.
    bool CreateControl(const wchar_t* className, HWND parent, int id, DWORD style, DWORD exStyle, const RECT& rect,
                       const std::u16string& text = {})
    {
        hwnd_ = ::CreateWindowExW(exStyle, className, W(text), style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
        return hwnd_ != nullptr;
    }

    bool Destroy() { HWND h = Detach(); return h && ::DestroyWindow(h); }
    bool Show(int cmd) { return ::ShowWindow(hwnd_, cmd) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    bool Enable(bool enable) { return ::EnableWindow(hwnd_, enable) != FALSE; }
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    bool SetText(const std::u16string& text) { return ::SetWindowTextW(hwnd_, W(text)) != FALSE; }
    std::u16string GetText() const
    {
        const int len = ::GetWindowTextLengthW(hwnd_);
        std::u16string s(size_t(len) + 1, u'\0');
        const int got = ::GetWindowTextW(hwnd_, W(s.data()), len + 1);
        s.resize(size_t(got > 0 ? got : 0));
        return s;
    }
    HWND GetParent() const { return ::GetParent(hwnd_); }
    HWND GetItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    // The text of a child (a dialog's control) by its id.
    std::u16string GetItemText(int id) const { return CWindow(GetItem(id)).GetText(); }
    bool SetItemText(int id, const std::u16string& text) { return CWindow(GetItem(id)).SetText(text); }
    int GetId() const { return ::GetDlgCtrlID(hwnd_); }
    bool Move(int x, int y, int cx, int cy, bool repaint = true)
    {
        return ::MoveWindow(hwnd_, x, y, cx, cy, repaint) != FALSE;
    }
    bool SetPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(hwnd_, after, x, y, cx, cy, flags) != FALSE;
    }
    RECT ClientRect() const { RECT r{}; ::GetClientRect(hwnd_, &r); return r; }
    RECT WindowRect() const { RECT r{}; ::GetWindowRect(hwnd_, &r); return r; }
    bool Invalidate(bool erase = true) { return ::InvalidateRect(hwnd_, nullptr, erase) != FALSE; }
    bool Update() { return ::UpdateWindow(hwnd_) != FALSE; }
    HWND SetFocus() { return ::SetFocus(hwnd_); }
    bool SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(hwnd_, id, ms, nullptr) != 0; }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(hwnd_, id) != FALSE; }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(hwnd_, msg, w, l) != FALSE; }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(hwnd_, msg, w, l); }
    void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, WPARAM(font), redraw); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE); }
    bool SetCapture() { return ::SetCapture(hwnd_) != nullptr || ::GetCapture() == hwnd_; }
    bool HasCapture() const { return ::GetCapture() == hwnd_; }
    std::u16string GetClassName() const
    {
        wchar_t name[64] = {};
        return U16(name, size_t(::GetClassNameW(hwnd_, name, 64)));
    }

protected:
    HWND hwnd_;
};

} // namespace kv
