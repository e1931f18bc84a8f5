#pragma once
// The bookkeeping of a receive pane: lengths of the lines it holds (so that trimming never asks the text
// control to count lines), the characters appended and trimmed, and the reasons of struck-out blocks
// in absolute positions, so that they survive trimming. Besides its lines, a pane keeps at most
// kAverageLineChars characters a line: a rich edit's memory grows with its characters (by hundreds of
// bytes each in some), and lines can be long.
// A pane shown again after a long wait shows its newest lines first: the older ones wait at a gap above them
// and go in there later, newest first. They count against the limits as if held, and trimming stops above
// them, since they are newer than everything above the gap.
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
    // Lines waiting at the end of the text held, which must end in a complete line.
    void OpenGap(int lines, int64_t chars);
    // Complete lines, the newest of those waiting at the gap, go in just below it: the lines after it, with
    // their reasons, move down. The block's position in the control is GapPosition().
    Block InsertAtGap(std::u16string_view text, std::u16string reason, int style);
    // The oldest lines waiting at the gap leave without being shown.
    void DropAtGap(int lines, int64_t chars);
    void CloseGap() { DropAtGap(gapLines_, gapChars_); }
    bool HasGap() const { return gapLines_ > 0; }
    // Lines held above the gap; they are older than those waiting there.
    int LinesAboveGap() const { return linesAboveGap_; }
    // The control position of the gap.
    int64_t GapPosition() const { return gapStart_ - trimmedChars_; }
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
    // Converts a text for the control; each line end closes a line of partialLength plus its characters.
    static Block Convert(std::u16string_view text, int& partialLength, std::deque<int>& lengths);

    int maxLines_ = 5000;
    std::deque<int> lineLengths_;
    int partialLineLength_ = 0;
    std::deque<LineReason> reasons_;
    int64_t appendedChars_ = 0;
    int64_t trimmedChars_ = 0;
    int64_t heldChars_ = 0; // of the complete lines held
    int gapLines_ = 0;      // waiting at the gap
    int64_t gapChars_ = 0;
    int linesAboveGap_ = 0;
    int64_t gapStart_ = 0;  // absolute position
};

} // namespace kv
