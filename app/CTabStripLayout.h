#pragma once
// Where the tabs of a tab strip stand along their row: which one comes first when they do not all fit,
// whether the scroll buttons are needed, and which tab lies under a point. x is relative to the row's
// left end; tabs scrolled out to the left have negative positions.
#include <vector>

namespace kv {

class CTabStripLayout {
public:
    void SetTabWidths(std::vector<int> widths);
    // Lays the tabs out in a row of rowWidth pixels; when they do not all fit, the scroll buttons take
    // buttonsWidth at the row's right end. A row that shows all its tabs is never left scrolled.
    void Arrange(int rowWidth, int buttonsWidth);
    // Moves the first shown tab by delta tabs, within what can be scrolled.
    void Scroll(int delta);
    // Scrolls so that the tab is wholly shown (or, when it is wider than the row, starts it).
    void EnsureVisible(int index);

    int TabCount() const { return int(widths_.size()); }
    int FirstVisible() const { return first_; }
    bool HasScrollButtons() const { return buttons_; }
    // The right end of the part of the row that shows tabs.
    int TabsRight() const { return buttons_ ? rowWidth_ - buttonsWidth_ : rowWidth_; }
    int TabLeft(int index) const;
    int TabWidth(int index) const;
    bool IsVisible(int index) const;
    // The tab under x, -1 when none.
    int TabAt(int x) const;
    bool CanScrollLeft() const { return first_ > 0; }
    bool CanScrollRight() const;

private:
    int WidthFrom(int index) const;
    void Clamp();

    std::vector<int> widths_;
    int rowWidth_ = 0;
    int buttonsWidth_ = 0;
    int first_ = 0;
    bool buttons_ = false;
};

} // namespace kv
