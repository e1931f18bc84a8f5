#pragma once
// Where the tab strip shows its tabs, read from the screen as a user sees them, without asking the program:
// the strip puts every page right below its row of tabs, so a page's top on the screen tells the row's height;
// in that row each tab is outlined by vertical edges in the system's shadow colour that run down to the row's
// bottom. Icons and labels, smaller and centred, never draw such a run over the row's lower half.
#include <windows.h>

#include <vector>

namespace kvprobe {

class CTabsOnScreen {
public:
    // The tabs that the strip shows now, above its pages (one of them given).
    CTabsOnScreen(HWND strip, HWND page);
    int Count() const { return int(tabs_.size()); }
    // A point in the left part of the n-th tab from the left, clear of the close button at its right end; false
    // when there is no such tab.
    bool PointIn(int tab, POINT& at) const;

private:
    static std::vector<COLORREF> Capture(const RECT& screen);
    void FindTabs(const RECT& row, const std::vector<COLORREF>& pixels);

    std::vector<RECT> tabs_; // screen coordinates
};

} // namespace kvprobe
