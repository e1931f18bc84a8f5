#include "connections/PageLayout.h"

#include <algorithm>
#include <cstdint>

namespace kv {

namespace {

int Scale(int size, int dpi) { return int((int64_t(size) * dpi + 48) / 96); }

} // namespace

int PageLayout::LineHeight() const { return m_.lineHeight > 0 ? m_.lineHeight : Scale(16, m_.dpi); }

int PageLayout::SplitterHeight() const { return Scale(5, m_.dpi); }

int PageLayout::SendEditHeight(int lines) const { return Scale(4, m_.dpi) + lines * LineHeight() + 2 * m_.edge; }

int PageLayout::LimitSendHeight(int height) const
{
    const int most = m_.clientHeight - SendEditHeight(kPaneReserveLines) - m_.barHeight - SplitterHeight();
    return std::max(std::min(height, most), SendEditHeight(kMinSendLines));
}

PageLayoutRects PageLayout::Arrange(int sendLines) const
{
    PageLayoutRects r;
    r.barHeight = m_.barHeight;
    r.splitterHeight = SplitterHeight();
    r.sendHeight = LimitSendHeight(SendEditHeight(sendLines));
    r.sendTop = m_.clientHeight - r.sendHeight;
    r.splitterTop = r.sendTop - r.splitterHeight;
    r.paneTop = r.barHeight;
    r.paneHeight = std::max(0, r.splitterTop - r.paneTop);
    return r;
}

int PageLayout::SendLinesForSplitterAt(int y) const
{
    const int lineHeight = LineHeight();
    const int height = LimitSendHeight(m_.clientHeight - SplitterHeight() - y);
    int lines = (lineHeight / 2 + height - SendEditHeight(0)) / lineHeight; // the nearest whole count
    while (lines > kMinSendLines) {
        if (lines <= kMaxSendLines && height >= SendEditHeight(lines)) break;
        --lines;
    }
    return std::max(lines, kMinSendLines);
}

} // namespace kv
