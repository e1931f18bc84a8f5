#pragma once
// The thin bar between a page's received text and its send line. Dragging it asks the parent to move it:
// the parent moves the bar and the panes itself.
#include "win/WindowBase.h"

namespace kv {

// wParam: the bar's control id; lParam: the y at which the bar's top edge is to stand, in the parent's
// client coordinates.
constexpr UINT WM_APP_SPLITTER_DRAG = WM_APP + 0x1;

class CSplitterBar : public CWindowBase {
public:
    bool Create(HWND parent, int id, const RECT& rect);
    bool IsDragging() const { return dragging_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnPaint() override;

private:
    bool dragging_ = false;
    int pressY_ = 0; // in the bar's client coordinates
};

} // namespace kv
