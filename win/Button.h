#pragma once
// A button control: the HWND with the button messages as inline calls.
#include "win/Window.h"

namespace kv {

class CButton : public CWindow {
public:
    using CWindow::CWindow;
    bool Create(HWND parent, int id, const std::u16string& text, DWORD style, const RECT& rect)
    {
        return CreateControl(L"BUTTON", parent, id, style, 0, rect, text);
    }
    void Click() { SendMessage(BM_CLICK); }
    int GetState() const { return int(SendMessage(BM_GETSTATE)); }
};

} // namespace kv
