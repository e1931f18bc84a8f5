#pragma once
// The received text of one connection page: blocks appended in a LineStyle, at most MaxLines lines kept,
// the reading position kept while the user reads older text (with a "new lines - jump to end" button),
// and for each struck-out block the reason why, shown as a tooltip and handed to the spot-filter test.
// Appends are gathered and shown at most every 100 ms, or sooner when 25 lines wait: a trickle of single
// lines costs one repaint per 100 ms. An update shows only as many lines as fit in its time budget, since
// the control's costs per line are far from small everywhere (some rich edits walk every following paragraph
// for each line trimmed from the top); what cannot be shown within about a second is skipped, oldest first,
// and a notice line says how many lines were skipped. Lines are shown at most 2048 characters long.
// A hidden pane leaves its control as it is, so that nobody's time goes to lines nobody sees: at most a full pane
// of its newest lines waits. Shown again, it shows the newest of them at once, where its reader was, and the
// older ones go in above them in the following updates.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "app/CReadOnlyRichEdit.h"
#include "app/PaneUpdateBudget.h"
#include "app/PendingPaneText.h"
#include "app/ReceiveLineBook.h"
#include "app/ShownTextConverter.h"
#include "win/SystemClock.h"
#include "win/ToolTip.h"
#include "win/WindowBase.h"

namespace kv {

class CReceivePane : public CWindowBase {
public:
    static constexpr int kEditId = 1008;
    static constexpr int kJumpButtonId = 1009;

    bool Create(HWND parent, int id);

    void AppendText(const std::u16string& text, int style);
    void AddText(const std::u16string& text, const std::u16string& reason, int style);
    // Shows everything appended and not shown yet, whatever it costs: for readers that must see it all.
    void FlushPendingText();
    bool IsScrolledToEnd()
    {
        FlushPendingText();
        return edit_.IsScrolledToEnd();
    }
    void UpdateJumpButton();
    void PositionJumpButton();
    // The reason of the struck-out block under a client point of the text control, or empty.
    std::u16string GetReasonAt(int x, int y);
    const LineReason* FindReason(int charIndex)
    {
        FlushPendingText();
        return book_.FindReason(charIndex);
    }
    // What the page does on Escape in its send line.
    void ScrollToEnd();
    // The pane, or the page that holds it, is about to be shown or hidden.
    void OnShowing(bool shown);

    void SetButtonFont(HFONT font)
    {
        buttonFont_ = font;
        if (jumpButton_.Handle()) jumpButton_.SetFont(font);
    }
    void SetDpi(int dpi) { dpi_ = dpi; }
    // A lower limit takes the lines beyond it away in the pane's bounded updates.
    void SetMaxLines(int maxLines);
    void SetLineHeight(int lineHeight) { lineHeight_ = lineHeight; }
    // Where the pane takes the arrival and update times of its text from (the system's by default).
    void SetClock(const IClock& clock) { clock_ = &clock; }

    // The text control, with everything appended shown.
    CReadOnlyRichEdit& Edit()
    {
        FlushPendingText();
        return edit_;
    }
    // The text control as it stands, for what its owner sets on it.
    CReadOnlyRichEdit& TextControl() { return edit_; }
    HWND JumpButton() const { return jumpButton_; }
    // What the control holds, with everything appended shown.
    const CReceiveLineBook& Book()
    {
        FlushPendingText();
        return book_;
    }
    // The text appended so far, shown or waiting, ends in a partial line.
    bool EndsInPartialLine() const { return converter_.LineLength() > 0; }
    int NewLineCount()
    {
        FlushPendingText();
        return newLineCount_;
    }
    const std::u16string& TooltipText() const { return tooltipText_; }
    HWND Tooltip() const { return tooltip_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    struct SavedView {
        CHARRANGE selection{};
        bool hadSelection = false;
        POINT scroll{};
        long firstVisibleChar = 0;
    };
    // What an update did to the text: lines added at the end, characters trimmed from the top, and lines put in
    // at the gap (at a control position after the trimming).
    struct Change {
        int newLines = 0;
        int64_t removed = 0;
        long gapPosition = 0;
        long gapChars = 0;
        double gapMs = 0;
    };
    void ScheduleUpdate();
    void SetFlushTimer(UINT ms);
    void StopFlushTimer();
    bool HasWaitingWork() const;
    void ShowWaitingText(bool all);
    void ShowNewestFirst();
    template <class Body> void UpdateControl(Body body);
    bool HoldsBack() const;
    void HoldBack();
    void DropWaitingBeyondLimitsUntold();
    bool ShownAgain() const { return heldBack_ || hiddenPlace_.has_value(); }
    void CatchUp();
    int FirstUpdateLines() const;
    SavedView SaveView(bool atEnd) const;
    std::deque<CPendingPaneText::Run> TakeRunsToShow(bool all, uint64_t now);
    void TellSkippedLines(std::deque<CPendingPaneText::Run>& runs);
    int InsertRuns(const std::deque<CPendingPaneText::Run>& runs);
    int64_t TrimExcessLines(int most);
    void DropGapBeyondLimits();
    void FillGap(int lines, Change& change);
    long Moved(long position, const Change& change) const;
    void RestoreView(const SavedView& view, const Change& change);
    bool ScrolledToEnd() const;
    void OnJumpClicked();
    void OnEditMouse(MSG& msg);
    std::u16string SpotTestReasonAt(int charIndex) const;

    CReadOnlyRichEdit edit_;
    CWindow jumpButton_;
    HFONT buttonFont_ = nullptr;
    int dpi_ = 96;
    int newLineCount_ = 0;
    CReceiveLineBook book_;
    CToolTipCtrl tooltip_;
    std::u16string tooltipText_;
    int lineHeight_ = 0;
    CShownTextConverter converter_;
    CPendingPaneText pending_;
    CPendingPaneText gapText_; // older lines that wait to go in above the newest ones shown
    bool heldBack_ = false;    // hidden while text arrived
    std::optional<CReadOnlyRichEdit::ReaderPlace> hiddenPlace_; // where the reader was when the pane was hidden
    int64_t hiddenTrimmedChars_ = 0;
    int skippedLines_ = 0; // left the waiting text, not told yet
    CPaneUpdateBudget budget_;
    CPaneUpdateBudget gapBudget_;
    CSystemClock systemClock_;
    const IClock* clock_ = &systemClock_;
    uint64_t lastUpdateEnd_ = 0;
    bool flushTimerSet_ = false;
};

} // namespace kv
