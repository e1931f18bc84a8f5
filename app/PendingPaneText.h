#pragma once
// Text appended to a receive pane and not shown yet, as runs of one style (a run with a reason stays alone),
// counted in complete lines, each line stamped with the time its first text arrived (runs merge texts of
// different times). The pane takes lines from the front at each update; when more waits than it can show,
// the oldest lines are dropped, never the newest.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace kv {

class CPendingPaneText {
public:
    struct Run {
        std::u16string text; // shown text: LF line ends
        int style = 0;
        std::u16string reason;
        int lines = 0; // line ends in the text
    };

    void Add(std::u16string text, int lines, int style, const std::u16string& reason, uint64_t tick);
    // Drops the oldest complete lines; returns how many left.
    int DropOldestLines(int count);
    // Drops the oldest complete lines until at most the given number of characters wait; returns how many left.
    int DropOldestLinesBeyond(size_t maxChars);
    // The runs of the first complete lines, or of everything when fewer wait.
    std::deque<Run> TakeLines(int count);
    // The runs of the last complete lines and of the partial line after them, taken from the back; whole lines
    // only, so that more lines than asked for may come when a line began in an earlier run.
    std::deque<Run> TakeNewestLines(int count);
    // Every line waiting counts as arrived at the tick.
    void Restamp(uint64_t tick);

    bool Empty() const { return runs_.empty(); }
    // The complete lines waiting whose first text arrived before the tick: the oldest ones.
    int LinesArrivedBefore(uint64_t tick) const;
    int Lines() const { return lines_; }
    size_t Chars() const { return chars_; }

private:
    // Splits the front run after its n-th line end, so that the front holds exactly n lines.
    void SplitFront(int lines);
    Run PopFront();
    Run PopBack();
    bool EndsInPartialLine() const { return !runs_.empty() && runs_.back().text.back() != u'\n'; }

    std::deque<Run> runs_;
    int lines_ = 0;
    size_t chars_ = 0;
    std::deque<uint64_t> lineTicks_; // of each complete line waiting, oldest first
    uint64_t partialLineTick_ = 0;   // of the line the text ends in, while it has no line end
};

} // namespace kv
