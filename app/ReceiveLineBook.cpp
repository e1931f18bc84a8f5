#include "app/ReceiveLineBook.h"

#include <algorithm>

namespace kv {

CReceiveLineBook::Block CReceiveLineBook::TakeBlock(std::u16string_view text)
{
    Block block;
    block.text.reserve(text.size());
    for (char16_t c : text) {
        // A NUL would end the text in the control and leave the counters wrong.
        if (c == u'\r' || c == u'\0') continue;
        if (c == u'\n') {
            block.text.push_back(u'\r');
            lineLengths_.push_back(partialLineLength_ + 1);
            heldChars_ += partialLineLength_ + 1;
            partialLineLength_ = 0;
            ++block.newLines;
        } else {
            block.text.push_back(c);
            ++partialLineLength_;
        }
    }
    appendedChars_ += int64_t(block.text.size());
    return block;
}

int64_t CReceiveLineBook::TrimExcessLines(int most)
{
    int64_t removed = 0;
    for (int lines = 0; lines < most && HasExcess(); ++lines) {
        removed += lineLengths_.front();
        heldChars_ -= lineLengths_.front();
        lineLengths_.pop_front();
    }
    if (removed == 0) return 0;
    trimmedChars_ += removed;
    while (!reasons_.empty() && reasons_.front().End <= trimmedChars_) reasons_.pop_front();
    return removed;
}

bool CReceiveLineBook::HasExcess() const
{
    return !lineLengths_.empty() &&
           (lineLengths_.size() > size_t(std::max(maxLines_, 0)) || heldChars_ + partialLineLength_ > MaxChars());
}

int64_t CReceiveLineBook::DropNewestLines(int lines)
{
    int64_t removed = partialLineLength_;
    partialLineLength_ = 0;
    for (int i = 0; i < lines && !lineLengths_.empty(); ++i) {
        removed += lineLengths_.back();
        heldChars_ -= lineLengths_.back();
        lineLengths_.pop_back();
    }
    appendedChars_ -= removed;
    while (!reasons_.empty() && reasons_.back().Start >= appendedChars_) reasons_.pop_back();
    if (!reasons_.empty()) reasons_.back().End = std::min(reasons_.back().End, appendedChars_);
    return removed;
}

int CReceiveLineBook::RoomInLines() const
{
    const int64_t lines = int64_t(lineLengths_.size());
    const int64_t average = lines > 0 ? std::max<int64_t>(1, heldChars_ / lines) : 1;
    const int64_t byChars = (MaxChars() - heldChars_ - partialLineLength_) / average;
    return int(std::clamp<int64_t>(std::min(int64_t(maxLines_) - lines, byChars), 0, maxLines_));
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
