#pragma once
// A status bar control: the HWND with the status bar messages as inline calls.
#include <vector>

#include "win/Window.h"

#include <commctrl.h>

namespace kv {

class CStatusBar : public CWindow {
public:
    using CWindow::CWindow;
    bool Create(HWND parent, int id, DWORD style = WS_CHILD | WS_VISIBLE | CCS_BOTTOM)
    {
        return CreateControl(STATUSCLASSNAMEW, parent, id, style, 0, RECT{});
    }
    // The right edges of the panes in client coordinates; -1 for the last one reaching the right edge.
    bool SetParts(const std::vector<int>& rightEdges)
    {
        return SendMessage(SB_SETPARTS, WPARAM(rightEdges.size()), LPARAM(rightEdges.data())) != 0;
    }
    bool SetPaneText(int pane, const std::u16string& text)
    {
        return SendMessage(SB_SETTEXTW, WPARAM(pane), LPARAM(text.c_str())) != 0;
    }
    std::u16string GetPaneText(int pane) const
    {
        const auto length = LOWORD(SendMessage(SB_GETTEXTLENGTHW, WPARAM(pane)));
        std::u16string text(size_t(length) + 1, u'\0');
        SendMessage(SB_GETTEXTW, WPARAM(pane), LPARAM(text.data()));
        text.resize(length);
        return text;
    }
    bool GetPaneRect(int pane, RECT& rect) const { return SendMessage(SB_GETRECT, WPARAM(pane), LPARAM(&rect)) != 0; }
    // The left, top and between-panes borders.
    bool GetBorders(int borders[3]) const { return SendMessage(SB_GETBORDERS, 0, LPARAM(borders)) != 0; }
    // Lets the bar place itself along the bottom of its parent again.
    void Reposition() { SendMessage(WM_SIZE); }
};

} // namespace kv
