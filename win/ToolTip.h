#pragma once
// The tooltip control, as thin forwarding calls over its handle.
#include "win/Win32.h"

#include <commctrl.h>

#include <string>

#include "win/Window.h"

namespace kv {

class CToolTipCtrl : public CWindow {
public:
    using CWindow::CWindow;

    bool Create(HWND owner, DWORD style)
    {
        hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
        return hwnd_ != nullptr;
    }
    // A tool that covers a whole window, known by its handle.
    bool AddWindowTool(HWND owner, HWND tool, const std::u16string& text)
    {
        TTTOOLINFOW info = WindowTool(owner, tool);
        info.lpszText = const_cast<wchar_t*>(W(text));
        return SendMessage(TTM_ADDTOOLW, 0, LPARAM(&info)) != 0;
    }
    // The same, with the tooltip watching the tool's mouse messages itself (no relaying needed).
    bool AddSubclassedWindowTool(HWND owner, HWND tool, const std::u16string& text)
    {
        TTTOOLINFOW info = WindowTool(owner, tool);
        info.uFlags |= TTF_SUBCLASS;
        info.lpszText = const_cast<wchar_t*>(W(text));
        return SendMessage(TTM_ADDTOOLW, 0, LPARAM(&info)) != 0;
    }
    void DeleteWindowTool(HWND owner, HWND tool)
    {
        TTTOOLINFOW info = WindowTool(owner, tool);
        SendMessage(TTM_DELTOOLW, 0, LPARAM(&info));
    }
    void UpdateWindowToolText(HWND owner, HWND tool, const std::u16string& text)
    {
        TTTOOLINFOW info = WindowTool(owner, tool);
        info.lpszText = const_cast<wchar_t*>(W(text));
        SendMessage(TTM_UPDATETIPTEXTW, 0, LPARAM(&info));
    }
    std::u16string GetWindowToolText(HWND owner, HWND tool) const
    {
        wchar_t buffer[1024] = {};
        TTTOOLINFOW info = WindowTool(owner, tool);
        info.lpszText = buffer;
        SendMessage(TTM_GETTEXTW, 1024, LPARAM(&info));
        return U16(buffer);
    }
    void Activate(bool active) { SendMessage(TTM_ACTIVATE, active, 0); }
    void Pop() { SendMessage(TTM_POP, 0, 0); }
    void RelayEvent(MSG& msg) { SendMessage(TTM_RELAYEVENT, 0, LPARAM(&msg)); }
    // which: TTDT_AUTOPOP, TTDT_INITIAL, TTDT_RESHOW or TTDT_AUTOMATIC.
    void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0)); }
    void SetMaxTipWidth(int width) { SendMessage(TTM_SETMAXTIPWIDTH, 0, width); }

private:
    static TTTOOLINFOW WindowTool(HWND owner, HWND tool)
    {
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND;
        info.hwnd = owner;
        info.uId = UINT_PTR(tool);
        return info;
    }
};

} // namespace kv
