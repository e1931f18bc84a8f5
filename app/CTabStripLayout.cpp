#include "app/CTabStripLayout.h"

#include <algorithm>
#include <numeric>

namespace kv {

void CTabStripLayout::SetTabWidths(std::vector<int> widths)
{
    widths_ = std::move(widths);
    Clamp();
}

void CTabStripLayout::Arrange(int rowWidth, int buttonsWidth)
{
    rowWidth_ = std::max(rowWidth, 0);
    buttonsWidth_ = std::max(buttonsWidth, 0);
    Clamp();
}

void CTabStripLayout::Scroll(int delta)
{
    first_ += delta;
    Clamp();
}

void CTabStripLayout::EnsureVisible(int index)
{
    if (index < 0 || index >= TabCount()) return;
    if (index < first_) first_ = index;
    while (first_ < index && TabLeft(index) + TabWidth(index) > TabsRight()) ++first_;
    Clamp();
}

int CTabStripLayout::WidthFrom(int index) const
{
    return std::accumulate(widths_.begin() + index, widths_.end(), 0);
}

void CTabStripLayout::Clamp()
{
    buttons_ = WidthFrom(0) > rowWidth_;
    if (!buttons_) {
        first_ = 0;
        return;
    }
    first_ = std::clamp(first_, 0, std::max(TabCount() - 1, 0));
    // No empty room at the right end while tabs are hidden at the left.
    while (first_ > 0 && WidthFrom(first_ - 1) <= TabsRight()) --first_;
}

int CTabStripLayout::TabLeft(int index) const
{
    if (index < 0 || index >= TabCount()) return 0;
    if (index >= first_) return std::accumulate(widths_.begin() + first_, widths_.begin() + index, 0);
    return -std::accumulate(widths_.begin() + index, widths_.begin() + first_, 0);
}

int CTabStripLayout::TabWidth(int index) const
{
    return index >= 0 && index < TabCount() ? widths_[size_t(index)] : 0;
}

bool CTabStripLayout::IsVisible(int index) const
{
    return index >= first_ && index < TabCount() && TabLeft(index) < TabsRight();
}

int CTabStripLayout::TabAt(int x) const
{
    if (x < 0 || x >= TabsRight()) return -1;
    for (int i = first_; i < TabCount(); ++i) {
        const int left = TabLeft(i);
        if (x >= left && x < left + TabWidth(i)) return i;
    }
    return -1;
}

bool CTabStripLayout::CanScrollRight() const
{
    return buttons_ && first_ < TabCount() - 1 && TabLeft(TabCount() - 1) + TabWidth(TabCount() - 1) > TabsRight();
}

} // namespace kv
