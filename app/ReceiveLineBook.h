#pragma once
// The bookkeeping of a receive pane: lengths of the lines it holds (so that trimming never asks the text
// control to count lines), the characters appended and trimmed, and the reasons of struck-out blocks
// in absolute positions, so that they survive trimming. Besides its lines, a pane keeps at most
// kAverageLineChars characters a line: a rich edit's memory grows with its characters (by hundreds of
// bytes each in some), and lines can be long.
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <string_view>

namespace kv {

struct LineReason {
    int64_t Start = 0; // position of the block's first character, counted from the first ever appended
    int64_t End = 0;   // just after its last character
    std::u16string Reason;
    int Style = 0;     // LineStyle
};

class CReceiveLineBook {
public:
    struct Block {
        std::u16string text; // LF became CR (the control's paragraph end); CR and NUL dropped
        int newLines = 0;
    };

    static constexpr int64_t kAverageLineChars = 100;

    // Converts and counts a text; a line that arrives in several appends is counted once, whole.
    Block TakeBlock(std::u16string_view text);
    // Drops the oldest lines beyond the limits, at most the given number; returns how many characters are to
    // leave the top.
    int64_t TrimExcessLines(int most = std::numeric_limits<int>::max());
    // More lines or characters held than the limits allow.
    bool HasExcess() const;
    // Forgets the partial line and the given number of complete lines before it, which leave the end of the
    // control (to come again later); returns how many characters leave.
    int64_t DropNewestLines(int lines);
    // About how many more lines of the held lines' average length fit before the limits trim.
    int RoomInLines() const;
    // Remembers the reason of the characters [start, end); appended in the order of start.
    void AddReason(int64_t start, int64_t end, std::u16string reason, int style);
    // The reason entry holding a character index of the control's text, or null.
    const LineReason* FindReason(int64_t charIndex) const;

    void SetMaxLines(int maxLines) { maxLines_ = maxLines; }
    int MaxLines() const { return maxLines_; }
    int64_t MaxChars() const { return int64_t(maxLines_) * kAverageLineChars; }
    int64_t AppendedChars() const { return appendedChars_; }
    int64_t TrimmedChars() const { return trimmedChars_; }
    int PartialLineLength() const { return partialLineLength_; }
    const std::deque<int>& LineLengths() const { return lineLengths_; }
    const std::deque<LineReason>& Reasons() const { return reasons_; }

private:
    int maxLines_ = 5000;
    std::deque<int> lineLengths_;
    int partialLineLength_ = 0;
    std::deque<LineReason> reasons_;
    int64_t appendedChars_ = 0;
    int64_t trimmedChars_ = 0;
    int64_t heldChars_ = 0; // of the complete lines held
};

} // namespace kv
