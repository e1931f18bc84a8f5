#pragma once
// A text control of our own for the receive view's tests: its text and each character's style, a view of some
// rows scrolled by whole lines (a rich edit keeps its scroll position in pixels, so text put in or taken out
// above the view moves the text under it, as here), a selection, and what each call costs on a clock of the
// test's, so that the view's budget runs out as it would on a slow control.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/IReceiveTextControl.h"
#include "base/Platform.h"

namespace kv::test {

// The test's time: milliseconds, moved on by the test and by the control's costs.
class CFakeTime : public IClock {
public:
    uint64_t TickCount() const override { return uint64_t(ms); }
    UtcTime NowUtc() const override { return {}; }
    double ms = 100000;
};

class CFakeReceiveTextControl : public IReceiveTextControl {
public:
    struct Costs {
        double perCall = 0.2;
        double perLineInserted = 0.1;
        double perLineFollowing = 0.0002; // of each line below an insertion or removal, per line put in or taken out
        double perLineRemoved = 0.5;
        double makeAnew = 20;
    };

    explicit CFakeReceiveTextControl(CFakeTime& time) : time_(time) {}

    void BeginUpdate() override { ++calls; }
    void EndUpdate() override { ++calls; }
    void Insert(long position, const std::u16string& text, int style) override
    {
        position = std::clamp(position, 0L, long(text_.size()));
        if (position > 0 && position < long(text_.size()) && text_[size_t(position - 1)] != u'\r') ++insertsInsideLines;
        const long following = CountLines(position, long(text_.size()));
        const long lines = CountLines(0, long(text.size()), text);
        text_.insert(size_t(position), text);
        styles_.insert(styles_.begin() + position, text.size(), style);
        selStart_ = selEnd_ = position + long(text.size());
        linesInserted += lines;
        Charge(costs.perCall + lines * (costs.perLineInserted + following * costs.perLineFollowing));
        ++calls;
    }
    void RemoveTop(long chars) override
    {
        chars = std::clamp(chars, 0L, long(text_.size()));
        const long lines = CountLines(0, chars);
        const long following = CountLines(chars, long(text_.size()));
        text_.erase(0, size_t(chars));
        styles_.erase(styles_.begin(), styles_.begin() + chars);
        selStart_ = std::max(0L, selStart_ - chars);
        selEnd_ = std::max(0L, selEnd_ - chars);
        ClampScroll();
        linesRemoved += lines;
        Charge(costs.perCall + lines * (costs.perLineRemoved + following * costs.perLineFollowing));
        ++calls;
    }
    bool MakeAnew() override
    {
        if (busy) return false;
        text_.clear();
        styles_.clear();
        selStart_ = selEnd_ = 0;
        firstLine_ = 0;
        ++madeAnew;
        Charge(costs.makeAnew);
        return true;
    }
    bool IsAtEnd(long) const override { return firstLine_ + rows >= LineCount(); }
    long FirstVisibleChar() const override { return LineStart(firstLine_); }
    Scroll ScrollPosition() const override { return Scroll{0, firstLine_ * 10}; }
    void SetScrollPosition(Scroll scroll) override
    {
        firstLine_ = scroll.y / 10;
        ClampScroll();
    }
    void ScrollToTop(long charIndex) override
    {
        firstLine_ = CountLines(0, std::clamp(charIndex, 0L, long(text_.size())));
        ClampScroll();
    }
    void ScrollToEnd() override { firstLine_ = std::max(0L, LineCount() - rows); }
    void GetSelection(long& start, long& end) const override
    {
        start = selStart_;
        end = selEnd_;
    }
    void Select(long start, long end) override
    {
        selStart_ = std::clamp(start, 0L, long(text_.size()));
        selEnd_ = std::clamp(end, selStart_, long(text_.size()));
    }

    const std::u16string& Text() const { return text_; }
    const std::vector<int>& Styles() const { return styles_; }
    // Lines of the text, the empty one after its last line end counted as a rich edit counts it.
    long LineCount() const { return CountLines(0, long(text_.size())) + 1; }
    long FirstLine() const { return firstLine_; }
    long LineStart(long line) const
    {
        long seen = 0;
        for (size_t i = 0; i < text_.size() && seen < line; ++i)
            if (text_[i] == u'\r' && ++seen == line) return long(i + 1);
        return line == 0 ? 0 : long(text_.size());
    }
    // What a user does: scrolls to a line, or selects.
    void UserScrollsTo(long line)
    {
        firstLine_ = line;
        ClampScroll();
    }

    Costs costs;
    int rows = 20;
    bool busy = false; // a menu of it is open: it cannot be made anew
    long calls = 0;
    long madeAnew = 0;
    long insertsInsideLines = 0;
    long linesInserted = 0;
    long linesRemoved = 0;

private:
    long CountLines(long from, long to) const { return CountLines(from, to, text_); }
    static long CountLines(long from, long to, const std::u16string& text)
    {
        return long(std::count(text.begin() + from, text.begin() + to, u'\r'));
    }
    void ClampScroll() { firstLine_ = std::clamp(firstLine_, 0L, std::max(0L, LineCount() - rows)); }
    void Charge(double ms) { time_.ms += ms; }

    CFakeTime& time_;
    std::u16string text_;
    std::vector<int> styles_;
    long selStart_ = 0, selEnd_ = 0;
    long firstLine_ = 0;
};

} // namespace kv::test
