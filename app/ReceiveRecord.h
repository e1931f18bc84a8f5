#pragma once
// The one record of what a receive pane must show: its newest lines within its limits, with their styles and
// the reasons of struck-out blocks, whether the page is shown or not. Besides its lines, a pane keeps at most
// kAverageLineChars characters a line: a rich edit's memory grows with its characters (by hundreds of bytes each
// in some), and lines can be long.
// The text control is a view of the record, brought in line with it a part at a time: each line knows how much
// of it the control holds. A line that left the record stays as long as the control holds it (at its top, since
// lines leave oldest first); one it does not hold is forgotten soon.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct LineReason {
    int64_t Start = 0; // position of the block's first character, counted from the first ever appended
    int64_t End = 0;   // just after its last character
    std::u16string Reason;
    int Style = 0;     // LineStyle
};

class CReceiveRecord {
public:
    static constexpr int64_t kAverageLineChars = 100;

    struct Run {
        std::u16string text; // without line ends
        LineReason block;    // the appended block it came in, with its style; Reason empty when none
    };
    struct Line {
        uint64_t id = 0;       // grows along the record
        std::vector<Run> runs; // of one style each
        int length = 0;        // characters of the runs
        bool complete = false;
        uint64_t arrival = 0;  // when its first text came
        int drawn = 0;         // characters of it the control holds, its line end counted
        bool everDrawn = false;

        int Chars() const { return length + (complete ? 1 : 0); }
    };

    // Text in the pane's shown form (LF line ends, no CR, lines of bounded length). A block with a reason keeps it
    // for all of its characters.
    void Append(std::u16string_view text, int style, const std::u16string& reason, uint64_t tick);
    // Complete lines not drawn, from a position of the record on, make way for a notice line (without its line
    // end) that stands where they were.
    void ReplaceByNotice(size_t first, size_t count, std::u16string_view notice, int style, uint64_t tick);
    // A lower limit lets the oldest lines leave at once; those the control holds are taken from it a part at a time.
    void SetMaxLines(int maxLines);
    int MaxLines() const { return maxLines_; }
    int64_t MaxChars() const { return int64_t(maxLines_) * kAverageLineChars; }

    // Every line the control may hold: those that left the record come first, then the record's own.
    const std::deque<Line>& Lines() const { return lines_; }
    Line& At(size_t index) { return lines_[index]; }
    size_t FirstKept() const { return firstKept_; }
    bool IsKept(size_t index) const { return index >= firstKept_; }
    // Lines that left the record and that the control no longer holds are forgotten; until then they are kept
    // (at most kMostLeftNotDrawn, or as many as the record's own) with nothing drawn.
    static constexpr size_t kMostLeftNotDrawn = 256;
    void ForgetLeftLinesNotDrawn();
    // The control was made anew: it holds nothing.
    void ForgetDrawing();

    int KeptLines() const { return keptLines_; } // complete ones
    int64_t KeptChars() const { return keptChars_; }
    bool EndsInPartialLine() const { return !lines_.empty() && !lines_.back().complete; }
    // The id the next line will have.
    uint64_t NextId() const { return nextId_; }
    // The index of a line by its id, or Lines().size().
    size_t IndexOf(uint64_t id) const;

private:
    Line& OpenLine(uint64_t tick);
    void AddRun(Line& line, std::u16string_view text, const LineReason& block);
    void KeepWithinLimits();
    void TakeBackLeftLines();

    int maxLines_ = 5000;
    std::deque<Line> lines_;
    size_t firstKept_ = 0;
    size_t leftNotDrawn_ = 0;
    int keptLines_ = 0;
    int64_t keptChars_ = 0;
    int64_t appendedChars_ = 0;
    uint64_t nextId_ = 1;
};

} // namespace kv
