#include "app/PendingPaneText.h"

#include <algorithm>

namespace kv {

void CPendingPaneText::Add(std::u16string text, int lines, int style, const std::u16string& reason, uint64_t tick)
{
    if (text.empty()) return;
    // A line that began in an earlier text is as old as its beginning.
    uint64_t lineTick = EndsInPartialLine() ? partialLineTick_ : tick;
    for (int i = 0; i < lines; ++i, lineTick = tick) lineTicks_.push_back(lineTick);
    partialLineTick_ = lineTick;
    lines_ += lines;
    chars_ += text.size();
    if (!runs_.empty() && reason.empty() && runs_.back().reason.empty() && runs_.back().style == style) {
        runs_.back().text += text;
        runs_.back().lines += lines;
        return;
    }
    runs_.push_back(Run{std::move(text), style, reason, lines});
}

int CPendingPaneText::DropOldestLines(int count)
{
    int dropped = 0;
    while (dropped < count && lines_ > 0) {
        if (runs_.front().lines > count - dropped) SplitFront(count - dropped);
        dropped += PopFront().lines;
    }
    return dropped;
}

int CPendingPaneText::LinesArrivedBefore(uint64_t tick) const
{
    return int(std::lower_bound(lineTicks_.begin(), lineTicks_.end(), tick) - lineTicks_.begin());
}

int CPendingPaneText::DropOldestLinesBeyond(size_t maxChars)
{
    int dropped = 0;
    while (chars_ > maxChars && lines_ > 0) dropped += DropOldestLines(1); // no more than needed leaves
    return dropped;
}

std::deque<CPendingPaneText::Run> CPendingPaneText::TakeLines(int count)
{
    if (count >= lines_) {
        std::deque<Run> all;
        all.swap(runs_);
        lines_ = 0;
        chars_ = 0;
        lineTicks_.clear();
        return all;
    }
    std::deque<Run> taken;
    int lines = 0;
    while (lines < count) {
        if (runs_.front().lines > count - lines) SplitFront(count - lines);
        lines += runs_.front().lines;
        taken.push_back(PopFront());
    }
    return taken;
}

std::deque<CPendingPaneText::Run> CPendingPaneText::TakeNewestLines(int count)
{
    std::deque<Run> taken;
    int lines = 0;
    while (!runs_.empty() && (lines < count || runs_.back().text.back() != u'\n')) {
        Run& back = runs_.back();
        const int need = std::max(0, count - lines);
        if (back.lines <= need) {
            lines += back.lines;
            taken.push_front(PopBack());
            continue;
        }
        // The run keeps its head up to a line end; its tail holds the lines still needed.
        size_t cut = 0;
        for (int seen = 0; seen < back.lines - need; ++seen) cut = back.text.find(u'\n', cut) + 1;
        taken.push_front(Run{back.text.substr(cut), back.style, back.reason, need});
        back.text.erase(cut);
        back.lines -= need;
        lines_ -= need;
        chars_ -= taken.front().text.size();
        lineTicks_.erase(lineTicks_.end() - need, lineTicks_.end());
        lines += need;
    }
    return taken;
}

void CPendingPaneText::Restamp(uint64_t tick)
{
    std::fill(lineTicks_.begin(), lineTicks_.end(), tick);
    partialLineTick_ = tick;
}

void CPendingPaneText::SplitFront(int lines)
{
    Run& front = runs_.front();
    size_t cut = 0;
    for (int seen = 0; seen < lines; ++seen) cut = front.text.find(u'\n', cut) + 1;
    Run head{front.text.substr(0, cut), front.style, front.reason, lines};
    front.text.erase(0, cut);
    front.lines -= lines;
    runs_.push_front(std::move(head));
}

CPendingPaneText::Run CPendingPaneText::PopFront()
{
    Run run = std::move(runs_.front());
    runs_.pop_front();
    lines_ -= run.lines;
    chars_ -= run.text.size();
    lineTicks_.erase(lineTicks_.begin(), lineTicks_.begin() + run.lines);
    return run;
}

CPendingPaneText::Run CPendingPaneText::PopBack()
{
    Run run = std::move(runs_.back());
    runs_.pop_back();
    lines_ -= run.lines;
    chars_ -= run.text.size();
    lineTicks_.erase(lineTicks_.end() - run.lines, lineTicks_.end());
    return run;
}

} // namespace kv
