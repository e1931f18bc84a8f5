#include "app/ReceiveRecord.h"

#include <algorithm>

namespace kv {

void CReceiveRecord::Append(std::u16string_view text, int style, const std::u16string& reason, uint64_t tick)
{
    if (text.empty()) return;
    const LineReason block{appendedChars_, appendedChars_ + int64_t(text.size()), reason, style};
    appendedChars_ = block.End;
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = std::min(text.find(u'\n', pos), text.size());
        Line& line = OpenLine(tick);
        AddRun(line, text.substr(pos, end - pos), block);
        if (end == text.size()) break;
        line.complete = true;
        ++keptLines_;
        ++keptChars_;
        pos = end + 1;
    }
    KeepWithinLimits();
}

CReceiveRecord::Line& CReceiveRecord::OpenLine(uint64_t tick)
{
    if (!lines_.empty() && !lines_.back().complete) return lines_.back();
    Line line;
    line.id = nextId_++;
    line.arrival = tick;
    lines_.push_back(std::move(line));
    return lines_.back();
}

void CReceiveRecord::AddRun(Line& line, std::u16string_view text, const LineReason& block)
{
    if (text.empty()) return;
    line.length += int(text.size());
    keptChars_ += int64_t(text.size());
    Run* last = line.runs.empty() ? nullptr : &line.runs.back();
    if (last && last->block.Reason.empty() && block.Reason.empty() && last->block.Style == block.Style) {
        last->text += text;
        return;
    }
    line.runs.push_back(Run{std::u16string(text), block});
}

void CReceiveRecord::ReplaceByNotice(size_t first, size_t count, std::u16string_view notice, int style, uint64_t tick)
{
    if (count == 0) return;
    for (size_t i = first; i < first + count; ++i) keptChars_ -= lines_[i].Chars();
    Line line;
    line.id = lines_[first].id;
    line.arrival = tick;
    line.complete = true;
    line.length = int(notice.size());
    line.runs.push_back(Run{std::u16string(notice), LineReason{0, 0, u"", style}});
    keptLines_ -= int(count) - 1;
    keptChars_ += line.Chars();
    lines_.erase(lines_.begin() + std::ptrdiff_t(first), lines_.begin() + std::ptrdiff_t(first + count));
    lines_.insert(lines_.begin() + std::ptrdiff_t(first), std::move(line));
    TakeBackLeftLines();
    KeepWithinLimits();
}

// A notice in place of several lines leaves room: the newest of the lines that left come back, as long as none
// between them was forgotten.
void CReceiveRecord::TakeBackLeftLines()
{
    while (firstKept_ > 0 && lines_[firstKept_ - 1].id + 1 == lines_[firstKept_].id) {
        const Line& line = lines_[firstKept_ - 1];
        if (keptLines_ + 1 > maxLines_ || keptChars_ + line.Chars() > MaxChars()) break;
        ++keptLines_;
        keptChars_ += line.Chars();
        if (line.drawn == 0 && leftNotDrawn_ > 0) --leftNotDrawn_;
        --firstKept_;
    }
}

void CReceiveRecord::SetMaxLines(int maxLines)
{
    maxLines_ = std::max(maxLines, 1);
    KeepWithinLimits();
}

// Oldest first, complete lines only: the line the text ends in is still coming. A line the control does not hold
// is forgotten at once, so that a hidden pane keeps no more than its record.
void CReceiveRecord::KeepWithinLimits()
{
    while (firstKept_ < lines_.size() && lines_[firstKept_].complete &&
           (keptLines_ > maxLines_ || keptChars_ > MaxChars())) {
        --keptLines_;
        keptChars_ -= lines_[firstKept_].Chars();
        leftNotDrawn_ += lines_[firstKept_].drawn == 0;
        ++firstKept_;
    }
    // Erased one at a time from amid the lines the control holds, each would move thousands of others.
    if (leftNotDrawn_ > std::max<size_t>(kMostLeftNotDrawn, size_t(keptLines_))) ForgetLeftLinesNotDrawn();
}

void CReceiveRecord::ForgetLeftLinesNotDrawn()
{
    const auto left = lines_.begin() + std::ptrdiff_t(firstKept_);
    const auto end = std::remove_if(lines_.begin(), left, [](const Line& line) { return line.drawn == 0; });
    firstKept_ -= size_t(left - end);
    lines_.erase(end, left);
    leftNotDrawn_ = 0;
}


void CReceiveRecord::ForgetDrawing()
{
    for (Line& line : lines_) line.drawn = 0;
    ForgetLeftLinesNotDrawn();
}

size_t CReceiveRecord::IndexOf(uint64_t id) const
{
    const auto at = std::lower_bound(lines_.begin(), lines_.end(), id, [](const Line& l, uint64_t i) { return l.id < i; });
    return at != lines_.end() && at->id == id ? size_t(at - lines_.begin()) : lines_.size();
}

} // namespace kv
