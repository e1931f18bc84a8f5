#pragma once
// The vertical layout of a connection page: button bar, received text, splitter, send line. Sizes in
// pixels at the page's DPI; the receive pane keeps room for five lines.
namespace kv {

struct PageLayoutMetrics {
    int dpi = 96;
    int lineHeight = 0; // of the text font; 0 or less while no usable font is set
    int edge = 2;       // SM_CYEDGE at the DPI
    int clientHeight = 0;
    int barHeight = 0;
};

struct PageLayoutRects {
    int barHeight = 0;
    int paneTop = 0, paneHeight = 0;
    int splitterTop = 0, splitterHeight = 0;
    int sendTop = 0, sendHeight = 0;
};

class PageLayout {
public:
    static constexpr int kMinSendLines = 1;
    static constexpr int kMaxSendLines = 20;
    static constexpr int kPaneReserveLines = 5;

    explicit PageLayout(const PageLayoutMetrics& metrics) : m_(metrics) {}

    // The text line height, the default one when the font gives none.
    int LineHeight() const;
    int SplitterHeight() const;
    int SendEditHeight(int lines) const;
    // A send-line height within what the page allows.
    int LimitSendHeight(int height) const;
    PageLayoutRects Arrange(int sendLines) const;
    // The send-line count for a splitter whose top edge is dragged to y.
    int SendLinesForSplitterAt(int y) const;

private:
    PageLayoutMetrics m_;
};

} // namespace kv
