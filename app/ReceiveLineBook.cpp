#include "app/ReceiveLineBook.h"

#include <algorithm>

namespace kv {

CReceiveLineBook::Block CReceiveLineBook::Convert(std::u16string_view text, int& partialLength, std::deque<int>& lengths)
{
    Block block;
    block.text.reserve(text.size());
    for (char16_t c : text) {
        // A NUL would end the text in the control and leave the counters wrong.
        if (c == u'\r' || c == u'\0') continue;
        ++partialLength;
        block.text.push_back(c == u'\n' ? u'\r' : c);
        if (c != u'\n') continue;
        lengths.push_back(partialLength);
        partialLength = 0;
        ++block.newLines;
    }
    return block;
}

CReceiveLineBook::Block CReceiveLineBook::TakeBlock(std::u16string_view text)
{
    const int partialBefore = partialLineLength_;
    Block block = Convert(text, partialLineLength_, lineLengths_);
    heldChars_ += partialBefore + int64_t(block.text.size()) - partialLineLength_; // what the new line ends closed
    appendedChars_ += int64_t(block.text.size());
    return block;
}

int64_t CReceiveLineBook::TrimExcessLines(int most)
{
    // Lines below the gap are newer than those waiting there: the waiting ones leave before them.
    if (HasGap()) most = std::min(most, linesAboveGap_);
    int64_t removed = 0;
    int lines = 0;
    for (; lines < most && HasExcess(); ++lines) {
        removed += lineLengths_.front();
        heldChars_ -= lineLengths_.front();
        lineLengths_.pop_front();
    }
    if (removed == 0) return 0;
    if (HasGap()) linesAboveGap_ -= lines;
    trimmedChars_ += removed;
    while (!reasons_.empty() && reasons_.front().End <= trimmedChars_) reasons_.pop_front();
    return removed;
}

bool CReceiveLineBook::HasExcess() const
{
    return !lineLengths_.empty() && (lineLengths_.size() + size_t(gapLines_) > size_t(std::max(maxLines_, 0)) ||
                                     heldChars_ + partialLineLength_ + gapChars_ > MaxChars());
}

void CReceiveLineBook::OpenGap(int lines, int64_t chars)
{
    gapLines_ = lines;
    gapChars_ = chars;
    linesAboveGap_ = int(lineLengths_.size());
    gapStart_ = appendedChars_;
}

CReceiveLineBook::Block CReceiveLineBook::InsertAtGap(std::u16string_view text, std::u16string reason, int style)
{
    std::deque<int> lengths;
    int tail = 0; // the beginning of the line below the gap, put in before
    Block block = Convert(text, tail, lengths);
    const int64_t size = int64_t(block.text.size());
    lineLengths_.insert(lineLengths_.begin() + linesAboveGap_, lengths.begin(), lengths.end());
    const size_t lineBelow = size_t(linesAboveGap_) + lengths.size();
    if (lineBelow < lineLengths_.size()) {
        lineLengths_[lineBelow] += tail;
        heldChars_ += size;
    } else {
        partialLineLength_ += tail;
        heldChars_ += size - tail;
    }
    appendedChars_ += size;
    DropAtGap(block.newLines, size);
    // The reasons below the gap move down with their text; this block's goes in before them.
    auto below = std::lower_bound(reasons_.begin(), reasons_.end(), gapStart_,
                                  [](const LineReason& r, int64_t position) { return r.Start < position; });
    for (auto it = below; it != reasons_.end(); ++it) {
        it->Start += size;
        it->End += size;
    }
    if (!reason.empty() && size > 0)
        reasons_.insert(below, LineReason{gapStart_, gapStart_ + size, std::move(reason), style});
    return block;
}

void CReceiveLineBook::DropAtGap(int lines, int64_t chars)
{
    gapLines_ = std::max(0, gapLines_ - lines);
    gapChars_ = gapLines_ > 0 ? std::max<int64_t>(0, gapChars_ - chars) : 0;
}

int CReceiveLineBook::RoomInLines() const
{
    const int64_t lines = int64_t(lineLengths_.size());
    const int64_t average = lines > 0 ? std::max<int64_t>(1, heldChars_ / lines) : 1;
    const int64_t byChars = (MaxChars() - heldChars_ - partialLineLength_ - gapChars_) / average;
    return int(std::clamp<int64_t>(std::min(int64_t(maxLines_) - lines - gapLines_, byChars), 0, maxLines_));
}

void CReceiveLineBook::AddReason(int64_t start, int64_t end, std::u16string reason, int style)
{
    if (reason.empty() || end <= start) return;
    reasons_.push_back(LineReason{start, end, std::move(reason), style});
}

const LineReason* CReceiveLineBook::FindReason(int64_t charIndex) const
{
    const int64_t position = trimmedChars_ + charIndex;
    // The last entry that starts at or before the position.
    auto after = std::upper_bound(reasons_.begin(), reasons_.end(), position,
                                  [](int64_t pos, const LineReason& r) { return pos < r.Start; });
    if (after == reasons_.begin()) return nullptr;
    const LineReason& entry = *std::prev(after);
    return position < entry.End ? &entry : nullptr;
}

} // namespace kv
