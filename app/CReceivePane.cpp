#include "app/CReceivePane.h"

#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "app/DpiHelpers.h"
#include "app/LineStyle.h"
#include "app/PaneMessages.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "win/ChildWindowArgs.h"
#include "win/WineDetection.h"

namespace kv {
namespace {

constexpr UINT_PTR kEndCheckTimer = 1;
constexpr UINT_PTR kFlushTimer = 2;
constexpr UINT kShownMessage = WM_APP + 0x30; // posted to itself
constexpr uint64_t kFlushIntervalMs = 100;
constexpr int kFlushLines = 25;
constexpr uint64_t kMaxWaitMs = 1000; // text that waited longer is skipped
constexpr unsigned kJumpTextId = 330;    // "%d new line%s - jump to end"
constexpr unsigned kSkippedTextId = 580; // "%d line%s skipped: ..."

CHARFORMAT2W FormatOf(int style)
{
    const LineLook look = LookOfLineStyle(style);
    CHARFORMAT2W format{};
    format.dwMask = CFM_COLOR | CFM_ITALIC | CFM_STRIKEOUT;
    format.dwEffects = (look.italic ? CFE_ITALIC : 0) | (look.strikeOut ? CFE_STRIKEOUT : 0);
    format.crTextColor = look.systemColour ? ::GetSysColor(look.systemColourIndex) : RGB(look.red, look.green, look.blue);
    return format;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Wine's rich edit, measured: text inserted while the undo limit is above 0 makes each later insertion into a
// full pane cost more (tenfold after some thousands of updates, whatever the text), while text deleted with a
// limit of 0 loses some hundreds of bytes. So text goes in with the limit at 0 and leaves with it at 1.
constexpr int kInsertUndoLimit = 0;
int DeleteUndoLimit() { return RunningUnderWine() ? 1 : 0; }

long NotBelowZero(int64_t position) { return long(std::max<int64_t>(position, 0)); }

SIZE TextExtent(HWND window, HFONT font, const std::u16string& text)
{
    SIZE size{};
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::GetTextExtentPoint32W(dc, W(text), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size;
}

} // namespace

bool CReceivePane::Create(HWND parent, int id)
{
    return CWindowBase::Create(
        ChildWindowArgs(u"Kestrivane.ReceivePane", parent, id, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
}

bool CReceivePane::OnCreate(const CREATESTRUCTW&)
{
    // Clipped by its sibling, the jump button, which floats over it.
    const DWORD style = CReadOnlyRichEdit::kTextStyle | WS_CLIPSIBLINGS;
    if (!edit_.Create(hwnd_, kEditId, style, WS_EX_CLIENTEDGE, 0x4000000)) return false;
    edit_.SpotTestEnabled = true;
    edit_.SetMouseObserver([this](MSG& msg) { OnEditMouse(msg); });
    edit_.SetSpotTestReasonOf([this](int charIndex) { return SpotTestReasonAt(charIndex); });

    jumpButton_.Attach(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd_,
                                         reinterpret_cast<HMENU>(INT_PTR(kJumpButtonId)),
                                         ::GetModuleHandleW(nullptr), nullptr));
    if (!jumpButton_.Handle()) return false;

    if (tooltip_.Create(hwnd_, TTS_ALWAYSTIP | TTS_NOPREFIX)) {
        tooltip_.SetMaxTipWidth(600);
        tooltip_.AddWindowTool(hwnd_, edit_, u"");
        tooltip_.Activate(false);
    }
    SetTimer(kEndCheckTimer, 250);
    return true;
}

void CReceivePane::OnDestroy()
{
    KillTimer(kEndCheckTimer);
    KillTimer(kFlushTimer);
    tooltip_.Destroy(); // a popup: it would outlive the pane
}

void CReceivePane::AppendText(const std::u16string& text, int style) { AddText(text, u"", style); }

void CReceivePane::AddText(const std::u16string& text, const std::u16string& reason, int style)
{
    if (!edit_.IsWindow() || text.empty()) return;
    CShownTextConverter::Block block = converter_.Convert(text, style);
    pending_.Add(std::move(block.text), block.newLines, style, reason, clock_->TickCount());
    if (HoldsBack()) {
        HoldBack();
        return;
    }
    if (ShownAgain()) {
        CatchUp();
        return;
    }
    // Lines beyond a full pane and text beyond the waiting limit are skipped.
    skippedLines_ += pending_.DropOldestLines(pending_.Lines() - book_.MaxLines());
    skippedLines_ += pending_.DropOldestLinesBeyond(size_t(book_.MaxChars()));
    ScheduleUpdate();
}

void CReceivePane::SetMaxLines(int maxLines)
{
    if (maxLines <= 0) return;
    book_.SetMaxLines(maxLines);
    if (edit_.IsWindow() && book_.HasExcess()) ScheduleUpdate();
}

// Nobody sees a hidden pane: its control stays as it is, with the reader's place and selection.
bool CReceivePane::HoldsBack() const { return edit_.IsWindow() && !::IsWindowVisible(hwnd_); }

void CReceivePane::HoldBack()
{
    heldBack_ = true;
    DropWaitingBeyondLimitsUntold();
}

// Lines that would leave before the pane is shown leave now, untold: no reader missed them.
void CReceivePane::DropWaitingBeyondLimitsUntold()
{
    pending_.DropOldestLines(pending_.Lines() - book_.MaxLines());
    pending_.DropOldestLinesBeyond(size_t(book_.MaxChars()));
}

void CReceivePane::OnShowing(bool shown)
{
    if (!edit_.IsWindow()) return;
    if (shown) {
        // Visible once the showing is done.
        PostMessage(kShownMessage, 0, 0);
        return;
    }
    // Hidden, the control's scroll bar tells nothing: a resize or a new font would lose the reader.
    if (!::IsWindowVisible(hwnd_)) return;
    hiddenPlace_ = CReadOnlyRichEdit::ReaderPlace{ScrolledToEnd(), edit_.LineIndex(edit_.GetFirstVisibleLine())};
    hiddenTrimmedChars_ = book_.TrimmedChars();
}

// Shown again: the reader is where he was, and what waited goes in, the newest first.
void CReceivePane::CatchUp()
{
    if (HoldsBack()) return;
    if (hiddenPlace_) {
        CReadOnlyRichEdit::ReaderPlace place = *hiddenPlace_;
        place.firstVisibleChar = NotBelowZero(place.firstVisibleChar - (book_.TrimmedChars() - hiddenTrimmedChars_));
        // Laid out again while hidden (a resize, a new font), the text has moved under him.
        if (place.atEnd || edit_.LineIndex(edit_.GetFirstVisibleLine()) != place.firstVisibleChar)
            edit_.RestoreReaderPlace(place);
        hiddenPlace_.reset();
    }
    if (!std::exchange(heldBack_, false)) {
        if (HasWaitingWork()) ScheduleUpdate();
        return;
    }
    DropWaitingBeyondLimitsUntold();
    pending_.Restamp(clock_->TickCount()); // it waited for the pane, not for the loop
    if (!book_.HasGap() && pending_.Lines() > FirstUpdateLines())
        ShowNewestFirst();
    else
        ShowWaitingText(false);
}

int CReceivePane::FirstUpdateLines() const { return budget_.LinesPerUpdate(book_.MaxLines(), book_.MaxLines()); }

void CReceivePane::ScheduleUpdate()
{
    const uint64_t sinceLast = clock_->TickCount() - lastUpdateEnd_;
    // Lines waiting are shown early, but after a costly update the pane leaves the loop to the others.
    const uint64_t rest = uint64_t(budget_.RestAfterUpdateMs());
    const uint64_t wait = pending_.Lines() >= kFlushLines ? rest : std::max(kFlushIntervalMs, rest);
    if (sinceLast >= wait)
        ShowWaitingText(false);
    else
        SetFlushTimer(UINT(wait - sinceLast));
}

void CReceivePane::SetFlushTimer(UINT ms)
{
    if (flushTimerSet_) return;
    SetTimer(kFlushTimer, ms);
    flushTimerSet_ = true;
}

void CReceivePane::StopFlushTimer()
{
    if (flushTimerSet_) KillTimer(kFlushTimer);
    flushTimerSet_ = false;
}

bool CReceivePane::HasWaitingWork() const
{
    return !pending_.Empty() || skippedLines_ > 0 || book_.HasExcess() || !gapText_.Empty();
}

void CReceivePane::FlushPendingText()
{
    heldBack_ = false;
    ShowWaitingText(true);
}

// One update: what waits, within the time budget unless all is asked for. Lines beyond the limit leave the
// top, at most as many as the update shows or the budget allows, the rest in the next updates; then the older
// lines waiting at the gap go in with what is left of the budget.
void CReceivePane::ShowWaitingText(bool all)
{
    StopFlushTimer();
    if (!all && HoldsBack()) {
        heldBack_ = heldBack_ || HasWaitingWork();
        return;
    }
    if (!all && ShownAgain()) {
        CatchUp(); // before the page's word that it is shown
        return;
    }
    if (!HasWaitingWork()) return;
    const auto start = std::chrono::steady_clock::now();
    UpdateControl([&](Change& change) {
        change.newLines = InsertRuns(TakeRunsToShow(all, clock_->TickCount()));
        change.removed = TrimExcessLines(std::max(change.newLines, budget_.LinesToTrim()));
        DropGapBeyondLimits();
        const double left = CPaneUpdateBudget::kBudgetMs - MillisecondsSince(start);
        FillGap(all ? gapText_.Lines() : gapBudget_.LinesWithin(left), change);
    });
}

// The newest lines that fit an update go in at once; the older ones wait at a gap above them.
void CReceivePane::ShowNewestFirst()
{
    StopFlushTimer();
    // The line the control ends in is ended first: the gap lies between whole lines.
    std::deque<CPendingPaneText::Run> ending =
        book_.PartialLineLength() > 0 ? pending_.TakeLines(1) : std::deque<CPendingPaneText::Run>();
    TellSkippedLines(ending);
    const std::deque<CPendingPaneText::Run> newest = pending_.TakeNewestLines(FirstUpdateLines());
    gapText_ = std::exchange(pending_, CPendingPaneText());
    UpdateControl([&](Change& change) {
        change.newLines = InsertRuns(ending);
        book_.OpenGap(gapText_.Lines(), int64_t(gapText_.Chars()));
        change.newLines += InsertRuns(newest);
    });
}

template <class Body> void CReceivePane::UpdateControl(Body body)
{
    const auto start = std::chrono::steady_clock::now();
    const bool atEnd = ScrolledToEnd();
    const SavedView view = SaveView(atEnd);
    edit_.SetRedraw(false);
    Change change;
    body(change);
    if (view.hadSelection)
        edit_.SetSel(Moved(view.selection.cpMin, change), Moved(view.selection.cpMax, change));
    else if (change.gapChars > 0)
        edit_.SetSel(-1, -1); // the caret stays at the end
    if (atEnd) {
        // Scrolled while the drawing is off: the control paints once, below, not once per scroll.
        edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        newLineCount_ = 0;
    } else {
        RestoreView(view, change);
        newLineCount_ += change.newLines;
    }
    edit_.SetRedraw(true);
    edit_.Invalidate();
    UpdateJumpButton();

    budget_.RecordUpdate(change.newLines, MillisecondsSince(start), change.gapMs);
    lastUpdateEnd_ = clock_->TickCount();
    if (HasWaitingWork()) SetFlushTimer(UINT(std::max(kFlushIntervalMs, uint64_t(budget_.RestAfterUpdateMs()))));
}

// The lines this update shows, after a notice of those skipped since the last one.
std::deque<CPendingPaneText::Run> CReceivePane::TakeRunsToShow(bool all, uint64_t now)
{
    int count = pending_.Lines();
    if (!all) {
        count = budget_.LinesPerUpdate(book_.RoomInLines(), book_.MaxLines());
        // Lines that have waited too long are not caught up with: the pane skips them for the newer ones.
        const int tooOld = now > kMaxWaitMs ? pending_.LinesArrivedBefore(now - kMaxWaitMs) : 0;
        skippedLines_ += pending_.DropOldestLines(std::min(pending_.Lines() - count, tooOld));
    }
    std::deque<CPendingPaneText::Run> runs = pending_.TakeLines(count);
    TellSkippedLines(runs);
    return runs;
}

// A notice of the lines skipped since the last update goes in front of the runs.
void CReceivePane::TellSkippedLines(std::deque<CPendingPaneText::Run>& runs)
{
    if (skippedLines_ == 0) return;
    // The line the control ends in was continued by skipped text: it ends here.
    std::u16string notice = book_.PartialLineLength() > 0 ? u"\n" : u"";
    notice += FormatText(LoadText(kSkippedTextId), skippedLines_, skippedLines_ == 1 ? u"" : u"s") + u"\n";
    runs.push_front(CPendingPaneText::Run{std::move(notice), LineNotice, u"", 1});
    skippedLines_ = 0;
}

int CReceivePane::InsertRuns(const std::deque<CPendingPaneText::Run>& runs)
{
    int newLines = 0;
    edit_.SetUndoLimit(kInsertUndoLimit);
    edit_.SetReadOnly(false);
    for (const CPendingPaneText::Run& run : runs) {
        const int64_t before = book_.AppendedChars();
        CReceiveLineBook::Block block = book_.TakeBlock(run.text);
        book_.AddReason(before, book_.AppendedChars(), run.reason, run.style);
        newLines += block.newLines;
        edit_.SetSel(-1, -1);
        CHARFORMAT2W format = FormatOf(run.style);
        edit_.SetSelectionCharFormat(format);
        edit_.ReplaceSel(block.text);
    }
    edit_.SetReadOnly(true);
    return newLines;
}

// Lines beyond the limit leave the top of the control.
int64_t CReceivePane::TrimExcessLines(int most)
{
    const size_t linesBefore = book_.LineLengths().size();
    const int64_t removed = book_.TrimExcessLines(most);
    if (removed == 0) return 0;
    const auto start = std::chrono::steady_clock::now();
    edit_.SetUndoLimit(DeleteUndoLimit());
    edit_.SetReadOnly(false);
    edit_.SetSel(0, long(removed));
    edit_.ReplaceSel(u"");
    edit_.SetReadOnly(true);
    budget_.RecordTrim(int(linesBefore - book_.LineLengths().size()), MillisecondsSince(start));
    return removed;
}

// Nothing is left above the gap and the pane is still over its limits: the oldest lines waiting there leave.
void CReceivePane::DropGapBeyondLimits()
{
    while (!gapText_.Empty() && book_.LinesAboveGap() == 0 && book_.HasExcess()) {
        const size_t charsBefore = gapText_.Chars();
        const int dropped = gapText_.DropOldestLines(1); // before the characters left are counted
        book_.DropAtGap(dropped, int64_t(charsBefore - gapText_.Chars()));
    }
    if (gapText_.Empty()) book_.CloseGap();
}

// The newest of the lines waiting at the gap go in there, below the older lines and above the newer ones.
void CReceivePane::FillGap(int lines, Change& change)
{
    if (gapText_.Empty()) return;
    const auto start = std::chrono::steady_clock::now();
    const std::deque<CPendingPaneText::Run> runs = gapText_.TakeNewestLines(lines);
    change.gapPosition = long(book_.GapPosition());
    edit_.SetUndoLimit(kInsertUndoLimit);
    edit_.SetReadOnly(false);
    int inserted = 0;
    // Each run goes in above the newer one put in before it.
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const CReceiveLineBook::Block block = book_.InsertAtGap(run->text, run->reason, run->style);
        edit_.SetSel(change.gapPosition, change.gapPosition);
        CHARFORMAT2W format = FormatOf(run->style);
        edit_.SetSelectionCharFormat(format);
        edit_.ReplaceSel(block.text);
        change.gapChars += long(block.text.size());
        inserted += block.newLines;
    }
    edit_.SetReadOnly(true);
    if (gapText_.Empty()) book_.CloseGap();
    change.gapMs = MillisecondsSince(start);
    gapBudget_.RecordUpdate(inserted, change.gapMs);
}

// Where a control position of the last update's start is now.
long CReceivePane::Moved(long position, const Change& change) const
{
    const long trimmed = NotBelowZero(position - change.removed);
    return change.gapChars > 0 && trimmed >= change.gapPosition ? trimmed + change.gapChars : trimmed;
}

// The reading position is kept only for a reader who is not at the end: each look-up walks the control's lines.
CReceivePane::SavedView CReceivePane::SaveView(bool atEnd) const
{
    SavedView view;
    view.selection = edit_.GetSel();
    view.hadSelection = view.selection.cpMax > view.selection.cpMin;
    if (atEnd) return view;
    view.scroll = edit_.ScrollPosition();
    view.firstVisibleChar = edit_.LineIndex(edit_.GetFirstVisibleLine());
    return view;
}

void CReceivePane::RestoreView(const SavedView& view, const Change& change)
{
    const long first = Moved(view.firstVisibleChar, change);
    if (first == view.firstVisibleChar) {
        edit_.SetScrollPos(view.scroll);
        return;
    }
    // The text above moved: put the line the user was reading back at the top.
    edit_.ScrollLineToTop(first);
}

// Asks the control only where the text ends: each look-up walks its lines from the top.
bool CReceivePane::ScrolledToEnd() const
{
    return edit_.IsScrolledToEnd(long(book_.AppendedChars() - book_.TrimmedChars()), lineHeight_);
}

void CReceivePane::UpdateJumpButton()
{
    if (!jumpButton_.Handle()) return;
    if (newLineCount_ <= 0) {
        if (jumpButton_.IsVisible()) jumpButton_.Show(SW_HIDE);
        return;
    }
    jumpButton_.SetText(FormatText(LoadText(kJumpTextId), newLineCount_, newLineCount_ == 1 ? u"" : u"s"));
    PositionJumpButton();
    if (!jumpButton_.IsVisible())
        jumpButton_.SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CReceivePane::PositionJumpButton()
{
    if (!jumpButton_.Handle()) return;
    HFONT font = buttonFont_ ? buttonFont_ : reinterpret_cast<HFONT>(jumpButton_.SendMessage(WM_GETFONT));
    const SIZE text = TextExtent(jumpButton_, font, jumpButton_.GetText());
    const int width = text.cx + 2 * ScaleForDpi(12, dpi_);
    const int height = text.cy + 2 * ScaleForDpi(5, dpi_);
    const int edge = GetSystemMetricForDpi(SM_CXEDGE, dpi_);
    const RECT client = ClientRect();
    const int right = client.right - GetSystemMetricForDpi(SM_CXVSCROLL, dpi_) - edge - ScaleForDpi(8, dpi_);
    const int bottom = client.bottom - edge - ScaleForDpi(8, dpi_);
    // Moving a window costs even where it stays in place (a millisecond or more an update under Wine, which
    // the update budget then counts against the lines): the button moves only when its place changes. It is
    // raised whenever it is shown, and nothing raises the text above it.
    RECT place = jumpButton_.WindowRect();
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
    if (place.left != right - width || place.top != bottom - height || place.right != right || place.bottom != bottom)
        jumpButton_.SetPos(HWND_TOP, right - width, bottom - height, width, height, SWP_NOACTIVATE);
}

std::u16string CReceivePane::GetReasonAt(int x, int y)
{
    if (book_.Reasons().empty()) return {};
    const long index = edit_.CharFromPos(POINT{x, y});
    if (index < 0) return {};
    if (lineHeight_ > 0) {
        const POINT top = edit_.PosFromChar(index);
        if (y < top.y || y >= top.y + lineHeight_) return {};
    }
    const LineReason* entry = book_.FindReason(index);
    return entry ? entry->Reason : std::u16string();
}

void CReceivePane::ScrollToEnd()
{
    if (HoldsBack()) return;
    ShowWaitingText(false);
    edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    newLineCount_ = 0;
    UpdateJumpButton();
}

void CReceivePane::OnJumpClicked()
{
    ScrollToEnd();
    ::PostMessageW(::GetAncestor(hwnd_, GA_ROOT), WM_APP_FOCUS_SEND_LINE, 0, 0);
}

void CReceivePane::OnSize(UINT, int cx, int cy)
{
    if (!edit_.IsWindow()) return;
    // Hidden, the reader's place is put back when the pane is shown.
    const bool visible = !HoldsBack();
    const bool atEnd = visible && ScrolledToEnd();
    edit_.Move(0, 0, cx, cy);
    SCROLLINFO info{sizeof info, SIF_ALL};
    const bool pastEnd = visible && ::GetScrollInfo(edit_, SB_VERT, &info) && info.nMax > int(info.nPage) &&
                         int(info.nPage) + info.nPos > info.nMax + 1;
    if (atEnd || pastEnd) edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    PositionJumpButton();
}

void CReceivePane::OnTimer(UINT_PTR id)
{
    if (id == kFlushTimer) {
        ShowWaitingText(false);
        return;
    }
    if (id != kEndCheckTimer || HoldsBack()) return;
    if (ShownAgain()) CatchUp(); // shown without a word from the page
    if (newLineCount_ > 0 && ScrolledToEnd()) {
        newLineCount_ = 0;
        UpdateJumpButton();
    }
}

bool CReceivePane::OnCommand(int id, int code, HWND)
{
    if (id != kJumpButtonId || code != BN_CLICKED) return false;
    OnJumpClicked();
    return true;
}

void CReceivePane::OnEditMouse(MSG& msg)
{
    if (!tooltip_.Handle()) return;
    if (msg.message == WM_MOUSEMOVE) {
        const std::u16string text = GetReasonAt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
        if (text != tooltipText_) {
            tooltipText_ = text;
            tooltip_.Pop();
            if (!text.empty()) tooltip_.UpdateWindowToolText(hwnd_, edit_, text);
            tooltip_.Activate(!text.empty());
        }
    }
    tooltip_.RelayEvent(msg);
}

// Only a duplicate's reason goes with its line: the spot test finds a filter's by itself.
std::u16string CReceivePane::SpotTestReasonAt(int charIndex) const
{
    const LineReason* entry = book_.FindReason(charIndex);
    return entry && entry->Style == LineDuplicate ? entry->Reason : std::u16string();
}

LRESULT CReceivePane::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The text control's request carries the reason taken with its line: it goes up as it is.
    if (msg == WM_APP_TEST_IN_SPOT_FILTERS) return ::SendMessageW(GetParent(), msg, wParam, lParam);
    if (msg == kShownMessage) {
        CatchUp();
        return 0;
    }
    if (msg == WM_SHOWWINDOW) OnShowing(wParam != 0);
    return CWindowBase::WndProc(msg, wParam, lParam);
}

} // namespace kv
