#pragma once
// Asks a receive pane to paint: its background changes between two near-whites that no one tells apart (the
// control invalidates itself, and paints when its message loop gets to it), and the screen shows the new colour
// in the pane's right margin, where no text is drawn, once the pane has painted.
#include <windows.h>

namespace kvprobe {

class CPaintCheck {
public:
    // Gives the pane the other near-white; false when there is no pane or it did not answer.
    bool Ask(HWND edit);
    // The screen shows the colour asked for.
    bool Painted() const;

private:
    POINT margin_{};
    COLORREF colour_ = CLR_INVALID;
};

} // namespace kvprobe
