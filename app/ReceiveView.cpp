#include "app/ReceiveView.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <vector>

#include "app/LineStyle.h"
#include "base/Format.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

constexpr unsigned kSkippedTextId = 580; // "%d line%s skipped: ..."

double SteadyMilliseconds()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What goes into the control in one insertion: runs of one style. The control's format is the style's alone
// (reasons are read from the record), and each insertion costs the more in a full rich edit: lines struck out
// for their reasons go in together as others do.
struct Piece {
    std::u16string text;
    int style = 0;
};

void AddPiece(std::vector<Piece>& pieces, std::u16string_view text, const LineReason& block)
{
    if (text.empty()) return;
    if (!pieces.empty() && pieces.back().style == block.Style) {
        pieces.back().text += text;
        return;
    }
    pieces.push_back(Piece{std::u16string(text), block.Style});
}

// The characters of a line from an offset on, as the control holds them: CR ends a complete line.
void AddLineFrom(std::vector<Piece>& pieces, const CReceiveRecord::Line& line, long offset)
{
    long at = 0;
    for (const CReceiveRecord::Run& run : line.runs) {
        const long size = long(run.text.size());
        if (at + size > offset) {
            const size_t from = size_t(std::max(0L, offset - at));
            AddPiece(pieces, std::u16string_view(run.text).substr(from), run.block);
        }
        at += size;
    }
    if (!line.complete || offset > line.length) return;
    const LineReason none{0, 0, u"", LineReceived};
    AddPiece(pieces, u"\r", line.runs.empty() ? none : line.runs.back().block);
}

// A part of a line's characters for the clipboard, its line end as CR LF.
std::u16string LineText(const CReceiveRecord::Line& line, long from, long to)
{
    std::u16string whole;
    for (const CReceiveRecord::Run& run : line.runs) whole += run.text;
    if (line.complete) whole += u'\r';
    std::u16string part = whole.substr(size_t(std::min<long>(from, long(whole.size()))), size_t(std::max(0L, to - from)));
    if (!part.empty() && part.back() == u'\r') part += u'\n';
    return part;
}

// How many more lines fit until a time, at what those done so far cost; without a time, all.
int LinesUntil(double until, double now, double spentMs, int done)
{
    if (until == INFINITY) return INT_MAX;
    const double msPerLine = std::max(spentMs / std::max(done, 1), 1e-6);
    return int(std::clamp((until - now) / msPerLine, 0.0, double(INT_MAX)));
}

} // namespace

CReceiveView::CReceiveView(IReceiveTextControl& control, const IClock& clock)
    : control_(control), clock_(&clock), stopwatch_(SteadyMilliseconds)
{
}

void CReceiveView::Append(const std::u16string& text, const std::u16string& reason, int style)
{
    if (text.empty()) return;
    CShownTextConverter::Block block = converter_.Convert(text, style);
    if (block.text.empty()) return;
    record_.Append(block.text, style, reason, clock_->TickCount());
    appendedLines_ += std::max(block.newLines, 1);
}

void CReceiveView::SetMaxLines(int maxLines)
{
    if (maxLines <= 0) return;
    record_.SetMaxLines(maxLines);
    workLeft_ = HasWork();
}

void CReceiveView::SetShown(bool shown)
{
    if (shown == shown_) return;
    if (!shown) {
        // Hidden, the control tells nothing of the reader: a resize or a new font would lose him.
        hiddenPlace_ = ReadReaderPlace();
        ReadSelection();
        shown_ = false;
        return;
    }
    shown_ = true;
    justShown_ = true;
    firstLiveId_ = record_.NextId(); // what came before waited for the pane, not for the loop
}

void CReceiveView::RenewControl()
{
    const bool readNow = shown_ && !justShown_;
    const ReaderPlace reader = readNow ? ReadReaderPlace() : hiddenPlace_;
    if (readNow) ReadSelection();
    if (!control_.MakeAnew()) {
        renewWanted_ = true; // a menu is open over it: the next update makes it anew
        return;
    }
    hiddenPlace_ = reader;
    if (shown_) justShown_ = true; // the next update puts him back
    ForgetDrawing();
    selectedStart_ = selectedEnd_ = 0; // as the new control has it
}

// The control was made anew, empty.
void CReceiveView::ForgetDrawing()
{
    record_.ForgetDrawing();
    renewWanted_ = false;
    firstLiveId_ = record_.NextId(); // all of it waits now
    lowestChange_ = 0;
}

int64_t CReceiveView::NextUpdateIn() const
{
    if (!shown_) return -1;
    if (justShown_) return 0;
    const bool more = workLeft_ || renewWanted_;
    if (!more && appendedLines_ == 0) return -1;
    // After a costly update the pane leaves the loop to the others as long; a trickle waits for more.
    const uint64_t rest = uint64_t(budget_.RestAfterUpdateMs());
    const uint64_t wait = more || appendedLines_ >= kFlushLines ? rest : std::max(kFlushIntervalMs, rest);
    const uint64_t since = clock_->TickCount() - lastUpdateEnd_;
    return since >= wait ? 0 : int64_t(wait - since);
}

void CReceiveView::SelectAll()
{
    selection_ = Selection{false, true, {}, {}};
    control_.Select(0, TextEnd());
    control_.GetSelection(selectedStart_, selectedEnd_);
}

void CReceiveView::ScrollToEnd()
{
    if (!shown_) return;
    Update();
    control_.ScrollToEnd();
    newLineCount_ = 0;
    toEnd_ = true;
}

// One update: the rest of the line the control ends in; the lines that left the record, from the top; the lines that
// came while shown, at the end, as far as room was made for them; then, with what is left of the budget, the lines
// that waited, newest first.
void CReceiveView::Run(bool all)
{
    if (!shown_ && !all) return;
    const double start = Now();
    const ReaderPlace reader = ReadReaderPlace();
    ReadSelection();
    lowestChange_ = LONG_MAX;
    if ((renewWanted_ || WorthMakingAnew()) && control_.MakeAnew()) ForgetDrawing();
    const double otherMs = Now() - start;
    control_.BeginUpdate();
    const int finished = FinishLastLine();
    const LiveLines live = TakeLiveLines(all);
    // Room first, so that lines that come go in only as far as lines above could leave in time.
    const double insertMs = budget_.MsToInsert(int(live.count));
    const double trimUntil = all ? INFINITY : start + CPaneUpdateBudget::kBudgetMs - insertMs;
    const int trimmed = TrimLeftLines(all ? INT_MAX : budget_.LinesToTrim(trimUntil - Now()), live, trimUntil);
    const size_t first = live.First(record_);
    const int newLines = finished + DrawRange(first, first + LiveLinesWithinLimits(live, trimmed), reader);
    const double gapStart = Now();
    const double left = CPaneUpdateBudget::kBudgetMs - (gapStart - start);
    // Until lines went in above others, what lines cost at the end is the better guess.
    FillGaps(all ? INT_MAX : std::min(gapBudget_.LinesWithin(left), budget_.LinesWithin(left)), reader,
             all ? INFINITY : start + CPaneUpdateBudget::kBudgetMs);
    const double gapMs = Now() - gapStart;
    Restore(reader);
    control_.EndUpdate();
    budget_.RecordUpdate(newLines, Now() - start, otherMs + gapMs);
    justShown_ = false;
    toEnd_ = false;
    followed_ = reader.atEnd;
    NoteWorkLeft();
    lastUpdateEnd_ = clock_->TickCount();
}

// Taking from the top costs more than drawing again what stays (some rich edits walk every following line for
// each line they take from the top): a pane shown again after a long time, or given a much lower limit.
bool CReceiveView::WorthMakingAnew() const
{
    int leftDrawn = 0;
    int keptDrawn = 0;
    for (size_t i = 0; i < record_.Lines().size(); ++i)
        if (record_.Lines()[i].drawn > 0) ++(record_.IsKept(i) ? keptDrawn : leftDrawn);
    return leftDrawn > CPaneUpdateBudget::kMinLines && budget_.MsToTrim(leftDrawn) > gapBudget_.MsToInsert(keptDrawn);
}

CReceiveView::ReaderPlace CReceiveView::ReadReaderPlace() const
{
    if (justShown_ || !shown_) return hiddenPlace_;
    ReaderPlace place;
    place.firstChar = control_.FirstVisibleChar();
    // Text drawn anew from a reader's line may not reach a page below it yet: the end he sees is not the end.
    place.atEnd = control_.IsAtEnd(TextEnd()) && (toEnd_ || followed_ || !WaitsBelow(place.firstChar));
    if (place.atEnd) return place;
    place.scroll = control_.ScrollPosition();
    place.first = AnchorAt(place.firstChar);
    return place;
}

// The selection as it was last seen holds whatever was not drawn of it yet; one the user made since is taken anew.
void CReceiveView::ReadSelection()
{
    long start = 0, end = 0;
    control_.GetSelection(start, end);
    if (start == selectedStart_ && end == selectedEnd_) return;
    selectedStart_ = start;
    selectedEnd_ = end;
    selection_ = Selection{};
    if (end <= start) return;
    selection_.empty = false;
    selection_.start = AnchorAt(start);
    selection_.end = AnchorBefore(end);
}

// A line shown in part when it was still coming goes on at the control's end.
int CReceiveView::FinishLastLine()
{
    const size_t last = LastDrawnIndex();
    if (last == record_.Lines().size() || !record_.IsKept(last)) return 0;
    const CReceiveRecord::Line& line = record_.Lines()[last];
    if (line.drawn >= line.Chars()) return 0;
    std::vector<Piece> pieces;
    AddLineFrom(pieces, line, line.drawn);
    long position = TextEnd();
    lowestChange_ = std::min(lowestChange_, position);
    for (const Piece& piece : pieces) {
        control_.Insert(position, piece.text, piece.style);
        position += long(piece.text.size());
    }
    record_.At(last).drawn = line.Chars();
    return line.complete ? 1 : 0;
}

// The lines that came while the page was shown go in at the end, oldest first, as many as the budget allows.
CReceiveView::LiveLines CReceiveView::TakeLiveLines(bool all)
{
    const auto liveRange = [&] {
        const size_t last = LastDrawnIndex();
        const size_t first = FirstLiveIndex(last == record_.Lines().size() ? 0 : last + 1);
        return std::pair{first, record_.Lines().size() - first};
    };
    auto [first, live] = liveRange();
    if (live == 0) return LiveLines{};
    int count = all ? INT_MAX : budget_.LinesPerUpdate(RoomInLines(), record_.MaxLines());
    if (!all && SkipLinesWaitedTooLong(first, live, count) > 0) {
        std::tie(first, live) = liveRange();
        ++count; // the notice comes on top
    }
    return LiveLines{record_.Lines()[first].id, std::min(live, size_t(count))};
}

// Of the lines that come, those the control takes within the limits with what it holds, or one for each line that
// left its top; all of them once it holds no line that left the record (the record's own lines are within the
// limits, but for a long line still coming).
size_t CReceiveView::LiveLinesWithinLimits(const LiveLines& live, int trimmed) const
{
    bool holdsLeftLines = false;
    for (size_t i = 0; i < record_.FirstKept() && !holdsLeftLines; ++i) holdsLeftLines = record_.Lines()[i].drawn > 0;
    if (!holdsLeftLines) return live.count;
    auto [lines, chars] = HeldLinesAndChars();
    const size_t first = live.First(record_);
    size_t count = 0;
    for (; count < live.count; ++count) {
        lines += record_.Lines()[first + count].complete;
        chars += record_.Lines()[first + count].Chars();
        if (lines > record_.MaxLines() || chars > record_.MaxChars()) break;
    }
    return std::max(count, std::min(live.count, size_t(trimmed)));
}

std::pair<int64_t, int64_t> CReceiveView::HeldLinesAndChars() const
{
    int64_t lines = 0, chars = 0;
    for (const CReceiveRecord::Line& line : record_.Lines()) {
        lines += line.drawn > 0 && line.complete;
        chars += line.drawn;
    }
    return {lines, chars};
}

// About how many more lines of the shown lines' average length the control takes before the limits trim.
int CReceiveView::RoomInLines() const
{
    int64_t lines = 0, chars = 0;
    for (const CReceiveRecord::Line& line : record_.Lines()) {
        lines += line.drawn > 0;
        chars += line.drawn;
    }
    const int64_t average = lines > 0 ? std::max<int64_t>(1, chars / lines) : 1;
    const int64_t room = std::min(record_.MaxLines() - lines, (record_.MaxChars() - chars) / average);
    return int(std::clamp<int64_t>(room, 0, record_.MaxLines()));
}

// Lines that have waited too long are not caught up with: the pane skips them for the newer ones, and says so
// where they were.
int CReceiveView::SkipLinesWaitedTooLong(size_t firstLive, size_t liveLines, int count)
{
    const uint64_t now = clock_->TickCount();
    if (now <= kMaxWaitMs || liveLines <= size_t(count)) return 0;
    size_t tooOld = 0;
    for (size_t i = firstLive; i < record_.Lines().size(); ++i) {
        const CReceiveRecord::Line& line = record_.Lines()[i];
        if (!line.complete || line.arrival >= now - kMaxWaitMs) break;
        ++tooOld;
    }
    const int skipped = int(std::min(liveLines - size_t(count), tooOld));
    if (skipped <= 0) return 0;
    const std::u16string notice = FormatText(LoadText(kSkippedTextId), skipped, skipped == 1 ? u"" : u"s");
    record_.ReplaceByNotice(firstLive, size_t(skipped), notice, LineNotice, now);
    return skipped;
}

// Lines that left the record leave the control's top: at most the given number, or as many as the lines that come
// when the control would hold more than the limits allow, so that it does not grow; as far as the time allows. They
// leave a few at a time: what a line costs to take grows with the lines below it in some rich edits, so that a cost
// measured in a smaller text says too little.
int CReceiveView::TrimLeftLines(int most, const LiveLines& coming, double until)
{
    auto [heldLines, heldChars] = HeldLinesAndChars();
    const size_t firstComing = coming.First(record_);
    for (size_t i = firstComing; i < firstComing + coming.count; ++i) {
        heldLines += record_.Lines()[i].complete;
        heldChars += record_.Lines()[i].Chars();
    }
    const double start = Now();
    int lines = 0;
    size_t next = 0; // the first line not taken yet
    for (int part = until == INFINITY ? INT_MAX : CPaneUpdateBudget::kMinLines; part > 0;) {
        int taken = 0;
        long chars = 0;
        for (; next < record_.FirstKept() && taken < part; ++next) {
            const int drawn = record_.Lines()[next].drawn;
            if (drawn == 0) continue;
            const bool beyondLimits = heldLines > record_.MaxLines() || heldChars > record_.MaxChars();
            if (lines + taken >= most && !(beyondLimits && size_t(lines + taken) < coming.count)) break;
            heldLines -= record_.Lines()[next].complete;
            heldChars -= drawn;
            chars += drawn;
            ++taken;
        }
        if (taken == 0) break;
        control_.RemoveTop(chars);
        lines += taken;
        part = LinesUntil(until, Now(), Now() - start, lines);
    }
    if (lines == 0) return 0;
    lowestChange_ = 0;
    int left = lines;
    for (size_t i = 0; left > 0; ++i) {
        CReceiveRecord::Line& line = record_.At(i);
        if (line.drawn == 0) continue;
        line.drawn = 0;
        --left;
    }
    record_.ForgetLeftLinesNotDrawn();
    budget_.RecordTrim(lines, Now() - start);
    return lines;
}

// The lines that waited go in where they belong: first the reader's own line and what follows it, when he reads
// above the end, then the newest of the others, above the lines after them.
void CReceiveView::FillGaps(int lines, const ReaderPlace& reader, double until)
{
    if (lines <= 0) return;
    const double start = Now();
    const size_t size = record_.Lines().size();
    const size_t last = LastDrawnIndex();
    const size_t liveFrom = FirstLiveIndex(last == size ? 0 : last + 1);
    const auto waits = [&](size_t i) { return i < liveFrom && record_.IsKept(i) && record_.Lines()[i].drawn == 0; };
    int inserted = 0;
    // A few lines first, then as many as the time left allows at what they cost here: a line put in above many
    // others costs more than one the budget learnt at the end in some rich edits. So wherever the lines go
    // elsewhere (from below the reader's page to above it, or to another gap), a few go first again.
    double placeStart = start;
    int placeInserted = 0;
    const auto newPlace = [&] {
        placeStart = Now();
        placeInserted = 0;
    };
    const auto nextPart = [&] {
        if (until == INFINITY) return lines - inserted;
        if (inserted == 0) return std::min(lines, CPaneUpdateBudget::kMinLines);
        const int inTime = LinesUntil(until, Now(), Now() - start, inserted);
        if (placeInserted == 0) return std::min({lines - inserted, inTime, CPaneUpdateBudget::kMinLines});
        return std::min({lines - inserted, inTime, LinesUntil(until, Now(), Now() - placeStart, placeInserted)});
    };
    const auto draw = [&](size_t first, size_t last) {
        const int drawn = DrawRange(first, last, reader);
        inserted += drawn;
        placeInserted += drawn;
    };
    if (!reader.atEnd) {
        // On from where the lines drawn below his line end, so that a page below him is drawn before all else.
        size_t first = record_.IndexOf(reader.first.id);
        while (first < liveFrom && record_.IsKept(first) && record_.Lines()[first].drawn > 0) ++first;
        for (int part = nextPart(); part > 0; part = nextPart()) {
            size_t end = first;
            while (end < size && waits(end) && int(end - first) < part) ++end;
            if (end == first) break;
            draw(first, end);
            first = end;
        }
        newPlace();
    }
    for (size_t below = liveFrom;;) {
        const size_t gapEnd = below;
        while (below > record_.FirstKept() && !waits(below - 1)) --below;
        if (below <= record_.FirstKept()) break;
        if (below != gapEnd) newPlace();
        const int part = nextPart();
        if (part <= 0) break;
        size_t first = below - 1;
        while (first > record_.FirstKept() && waits(first - 1) && int(below - first) < part) --first;
        draw(first, below);
        below = first;
    }
    gapBudget_.RecordUpdate(inserted, Now() - start);
}

int CReceiveView::DrawRange(size_t first, size_t last, const ReaderPlace& reader)
{
    if (first >= last) return 0;
    std::vector<Piece> pieces;
    for (size_t i = first; i < last; ++i) {
        CReceiveRecord::Line& line = record_.At(i);
        AddLineFrom(pieces, line, line.drawn);
        line.drawn = line.Chars();
        if (!line.everDrawn && !reader.atEnd && line.id > reader.first.id) ++newLineCount_;
        line.everDrawn = true;
    }
    long position = PositionOfIndex(first);
    lowestChange_ = std::min(lowestChange_, position);
    for (const Piece& piece : pieces) {
        control_.Insert(position, piece.text, piece.style);
        position += long(piece.text.size());
    }
    return int(last - first);
}

// The selection over the same text, the reader on his line or at the end.
void CReceiveView::Restore(const ReaderPlace& reader)
{
    const long end = TextEnd();
    long start = end, stop = end; // the caret stays at the end
    if (selection_.whole) {
        start = 0;
    } else if (!selection_.empty) {
        start = PositionOf(selection_.start);
        stop = std::max(start, PositionOf(selection_.end));
    }
    if (lowestChange_ != LONG_MAX || justShown_) {
        control_.Select(start, stop);
        control_.GetSelection(selectedStart_, selectedEnd_);
    }
    if (reader.atEnd) {
        control_.ScrollToEnd();
        newLineCount_ = 0;
        return;
    }
    const long first = PositionOf(reader.first);
    if (justShown_) {
        // Laid out again while hidden (a resize), the text may have moved under him.
        if (control_.FirstVisibleChar() != first || lowestChange_ <= first) control_.ScrollToTop(first);
    } else if (lowestChange_ > reader.firstChar && first == reader.firstChar) {
        control_.SetScrollPosition(reader.scroll);
    } else {
        control_.ScrollToTop(first);
    }
}

// Lines that came while shown and wait still are like new ones: a trickle of them waits for more. Anything else
// left is taken up again as soon as the pane has rested.
void CReceiveView::NoteWorkLeft()
{
    const size_t size = record_.Lines().size();
    const size_t last = LastDrawnIndex();
    const size_t liveFrom = FirstLiveIndex(last == size ? 0 : last + 1);
    appendedLines_ = int(size - liveFrom);
    workLeft_ = renewWanted_;
    for (size_t i = 0; i < liveFrom && !workLeft_; ++i) workLeft_ = OwesDrawing(i);
}

// Whether lines that waited (not those that came while shown) are still to go in below a character of the control.
bool CReceiveView::WaitsBelow(long charIndex) const
{
    const size_t size = record_.Lines().size();
    const size_t from = record_.IndexOf(AnchorAt(charIndex).id);
    for (size_t i = std::max(from, record_.FirstKept()); i < size && record_.Lines()[i].id < firstLiveId_; ++i)
        if (record_.Lines()[i].drawn == 0) return true;
    return false;
}

bool CReceiveView::HasWork() const
{
    if (renewWanted_) return true;
    for (size_t i = 0; i < record_.Lines().size(); ++i)
        if (OwesDrawing(i)) return true;
    return false;
}

// A kept line not drawn whole, or one that left the record and is still drawn.
bool CReceiveView::OwesDrawing(size_t index) const
{
    const CReceiveRecord::Line& line = record_.Lines()[index];
    return record_.IsKept(index) ? line.drawn < line.Chars() : line.drawn > 0;
}

size_t CReceiveView::LastDrawnIndex() const
{
    const size_t size = record_.Lines().size();
    for (size_t i = size; i > 0; --i)
        if (record_.Lines()[i - 1].drawn > 0) return i - 1;
    return size;
}

// The first line from an index on that came while the page was shown, after the last drawn one: those after it
// came later still.
size_t CReceiveView::FirstLiveIndex(size_t from) const
{
    size_t i = std::max(from, record_.FirstKept());
    while (i < record_.Lines().size() && record_.Lines()[i].id < firstLiveId_) ++i;
    return i;
}

long CReceiveView::PositionOfIndex(size_t index) const
{
    long position = 0;
    for (size_t i = 0; i < index; ++i) position += record_.Lines()[i].drawn;
    return position;
}

long CReceiveView::TextEnd() const { return PositionOfIndex(record_.Lines().size()); }

// Where an anchored character stands now: a line not drawn yet stands where it will go, one forgotten above all.
long CReceiveView::PositionOf(const Anchor& anchor) const
{
    const size_t index = record_.IndexOf(anchor.id);
    if (index == record_.Lines().size()) return 0;
    return PositionOfIndex(index) + std::min<long>(anchor.offset, record_.Lines()[index].drawn);
}

CReceiveView::Anchor CReceiveView::AnchorAt(long charIndex) const
{
    long position = 0;
    Anchor anchor;
    for (const CReceiveRecord::Line& line : record_.Lines()) {
        if (line.drawn == 0) continue;
        anchor = Anchor{line.id, std::clamp(charIndex - position, 0L, long(line.drawn))};
        if (charIndex < position + line.drawn) return anchor;
        position += line.drawn;
    }
    return anchor; // past the end: the end of the last line
}

// The anchor just after the character before a position: the end of a selection stays at the end of its text.
CReceiveView::Anchor CReceiveView::AnchorBefore(long charIndex) const
{
    if (charIndex <= 0) return AnchorAt(0);
    Anchor anchor = AnchorAt(charIndex - 1);
    ++anchor.offset;
    return anchor;
}

const LineReason* CReceiveView::ReasonAt(long charIndex) const
{
    long position = 0;
    for (const CReceiveRecord::Line& line : record_.Lines()) {
        if (charIndex >= position + line.drawn) {
            position += line.drawn;
            continue;
        }
        // The line end belongs to the last run.
        long end = position;
        for (const CReceiveRecord::Run& run : line.runs) {
            end += long(run.text.size());
            if (charIndex < end || &run == &line.runs.back()) return run.block.Reason.empty() ? nullptr : &run.block;
        }
        return nullptr;
    }
    return nullptr;
}

std::u16string CReceiveView::TextBetween(long start, long end) const
{
    const bool whole = start <= 0 && end >= TextEnd();
    std::u16string text;
    long position = 0;
    for (size_t i = 0; i < record_.Lines().size(); ++i) {
        const CReceiveRecord::Line& line = record_.Lines()[i];
        if (line.drawn == 0) {
            if (record_.IsKept(i) && (whole || (position > start && position < end)))
                text += LineText(line, 0, line.Chars());
            continue;
        }
        const long lineEnd = position + line.drawn;
        if (lineEnd > start && position < end) {
            const long from = whole ? 0 : std::max(start, position) - position;
            const long to = whole ? line.Chars() : std::min(end, lineEnd) - position;
            if (!whole || record_.IsKept(i)) text += LineText(line, from, to);
        }
        position = lineEnd;
    }
    return text;
}

bool CReceiveView::HoldsAllBetween(long start, long end) const
{
    const bool whole = start <= 0 && end >= TextEnd();
    long position = 0;
    for (size_t i = 0; i < record_.Lines().size(); ++i) {
        const CReceiveRecord::Line& line = record_.Lines()[i];
        const bool within = whole || (position > start && position < end);
        if (record_.IsKept(i) && line.drawn < line.Chars() && within) return false;
        position += line.drawn;
    }
    return true;
}

} // namespace kv
