#pragma once
// What a receive pane shows, kept in one record (CReceiveRecord) and brought into its text control in bounded
// updates, whether the page was hidden meanwhile, the limit changed or the font: lines that came while the page
// was shown go in at the end, oldest first; lines that waited (hidden, or a control made anew for a new font)
// go in newest first, the older ones above them in the next updates, starting at the reader's line when he reads
// above the end. An update shows only as many lines as fit in its time budget, since the control's costs per line
// are far from small everywhere (some rich edits walk every following paragraph for each line taken from the
// top); lines that came while the page was shown and could not be shown within about a second are skipped,
// oldest first, and a notice line stands where they were, saying how many. A reader above the end stays on his
// line, a selection stays, a follower stays at the end.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "app/IReceiveTextControl.h"
#include "app/PaneUpdateBudget.h"
#include "app/ReceiveRecord.h"
#include "app/ShownTextConverter.h"
#include "base/Platform.h"

namespace kv {

class CReceiveView {
public:
    // Appends are gathered and shown at most every kFlushIntervalMs, or sooner when kFlushLines wait.
    static constexpr uint64_t kFlushIntervalMs = 100;
    static constexpr int kFlushLines = 25;
    static constexpr uint64_t kMaxWaitMs = 1000; // lines shown later than this after they came are skipped

    CReceiveView(IReceiveTextControl& control, const IClock& clock);
    // Where the arrival and update times of the text come from: the update times of the clock before mean nothing to it.
    void SetClock(const IClock& clock)
    {
        clock_ = &clock;
        lastUpdateEnd_ = 0;
    }

    void Append(const std::u16string& text, const std::u16string& reason, int style);
    void SetMaxLines(int maxLines);
    // Hidden, the control is left as it is, with the reader's place and the selection.
    void SetShown(bool shown);
    bool IsShown() const { return shown_; }
    // The text must be laid out anew (a new font): the control is made again and drawn anew, a part at a time.
    // A new font: the control is made anew at once, empty, so that laying the window out again costs nothing; the
    // text is drawn again in the next updates from the reader's line, his selection kept.
    void RenewControl();

    // One update, within its time budget; nothing while hidden.
    void Update() { Run(false); }
    // Everything now, whatever it costs: for readers that must see it all.
    void UpdateAll() { Run(true); }
    // Milliseconds until the next update is due, or -1 when nothing waits for one.
    int64_t NextUpdateIn() const;
    // Escape, or the jump button: to the end, with what waits.
    void ScrollToEnd();
    // Everything, and whatever goes in later.
    void SelectAll();

    const CReceiveRecord& Record() const { return record_; }
    bool EndsInPartialLine() const { return converter_.LineLength() > 0; }
    // Lines shown below a reader above the end since he was last there.
    int NewLineCount() const { return newLineCount_; }
    void ClearNewLineCount() { newLineCount_ = 0; }
    // Characters the control holds.
    long TextEnd() const;
    // The reason of the struck-out block at a character of the control, or null.
    const LineReason* ReasonAt(long charIndex) const;
    // The record's text from one position of the control to another, with the lines between them that the
    // control does not hold yet; CR LF line ends.
    std::u16string TextBetween(long start, long end) const;
    // Whether the control holds every line of the record between two of its positions.
    bool HoldsAllBetween(long start, long end) const;

    // Where update costs are measured (milliseconds of a steady clock).
    void SetStopwatch(std::function<double()> now) { stopwatch_ = std::move(now); }

private:
    struct Anchor {
        uint64_t id = 0; // of a line of the record
        long offset = 0; // characters into it
    };
    struct ReaderPlace {
        bool atEnd = true;
        Anchor first;    // of the first line in view
        long firstChar = 0;
        IReceiveTextControl::Scroll scroll;
    };
    struct Selection {
        bool empty = true;
        bool whole = false; // everything, however much more comes
        Anchor start, end;
    };

    void Run(bool all);
    bool WorthMakingAnew() const;
    ReaderPlace ReadReaderPlace() const;
    void ReadSelection();
    int FinishLastLine();
    struct LiveLines {
        uint64_t firstId = 0; // its index moves when lines that left the record are forgotten
        size_t count = 0;
        size_t First(const CReceiveRecord& record) const { return count == 0 ? record.Lines().size() : record.IndexOf(firstId); }
    };
    LiveLines TakeLiveLines(bool all);
    size_t LiveLinesWithinLimits(const LiveLines& live, int trimmed) const;
    std::pair<int64_t, int64_t> HeldLinesAndChars() const;
    int RoomInLines() const;
    int SkipLinesWaitedTooLong(size_t firstLive, size_t liveLines, int count);
    int TrimLeftLines(int most, const LiveLines& coming, double until);
    void FillGaps(int lines, const ReaderPlace& reader, double until);
    int DrawRange(size_t first, size_t last, const ReaderPlace& reader);
    void Restore(const ReaderPlace& reader);
    bool WaitsBelow(long charIndex) const;
    bool HasWork() const;
    bool OwesDrawing(size_t index) const;
    void ForgetDrawing();
    void NoteWorkLeft();

    size_t LastDrawnIndex() const; // or the size when none
    size_t FirstLiveIndex(size_t from) const;
    long PositionOfIndex(size_t index) const;
    long PositionOf(const Anchor& anchor) const;
    Anchor AnchorAt(long charIndex) const;
    Anchor AnchorBefore(long charIndex) const;
    double Now() const { return stopwatch_(); }

    IReceiveTextControl& control_;
    const IClock* clock_;
    std::function<double()> stopwatch_;
    CShownTextConverter converter_;
    CReceiveRecord record_;
    CPaneUpdateBudget budget_;
    CPaneUpdateBudget gapBudget_;

    bool shown_ = false;
    bool justShown_ = false;   // the next update puts the reader back where he was at the hide
    bool renewWanted_ = false;
    bool toEnd_ = false;       // sent to the end since the last update: he follows
    bool followed_ = true;     // the last update found him at the end
    uint64_t firstLiveId_ = 0; // lines before it waited for the pane, not for the loop
    ReaderPlace hiddenPlace_;  // where the reader was at the hide
    Selection selection_;
    long selectedStart_ = -1, selectedEnd_ = -1; // the control's selection as last seen
    int newLineCount_ = 0;
    int appendedLines_ = 0;     // lines that came while shown and wait
    bool workLeft_ = false;     // the last update ran out of its budget
    uint64_t lastUpdateEnd_ = 0;
    long lowestChange_ = 0;     // of this update
};

} // namespace kv
