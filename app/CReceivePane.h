#pragma once
// The received text of one connection page: blocks appended in a LineStyle, at most MaxLines lines kept,
// the reading position kept while the user reads older text (with a "new lines - jump to end" button),
// and for each struck-out block the reason why, shown as a tooltip and handed to the spot-filter test.
// What the pane must show is kept in one record, shown or hidden (CReceiveView): the rich edit is brought in line
// with it in bounded updates, at most every 100 ms or sooner when 25 lines wait, so that a trickle of single
// lines costs one repaint per 100 ms. A hidden pane leaves its control as it is; shown again, or given a new font,
// it shows its newest lines at once and the older ones above them in the next updates. Lines are shown at most
// 2048 characters long.
#include <cstdint>
#include <string>

#include "app/CReadOnlyRichEdit.h"
#include "app/CReceiveTextControl.h"
#include "app/ReceiveView.h"
#include "win/SystemClock.h"
#include "win/ToolTip.h"
#include "win/WindowBase.h"

namespace kv {

class CReceivePane : public CWindowBase {
public:
    static constexpr int kEditId = 1008;
    static constexpr int kJumpButtonId = 1009;

    CReceivePane();

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
        return view_.ReasonAt(charIndex);
    }
    // What the page does on Escape in its send line.
    void ScrollToEnd();
    // Select All: everything, also what goes in later.
    void SelectAll();
    // The pane, or the page that holds it, is about to be shown or hidden.
    void OnShowing(bool shown);

    void SetButtonFont(HFONT font)
    {
        buttonFont_ = font;
        if (jumpButton_.Handle()) jumpButton_.SetFont(font);
    }
    void SetDpi(int dpi) { dpi_ = dpi; }
    // The text's font and its inner margins. A text laid out again costs some rich edits a second for a full
    // pane: the text is drawn anew in bounded updates, and a hidden pane's only once it is shown.
    void SetTextFont(HFONT font, int margin);
    // A lower limit takes the lines beyond it away in the pane's bounded updates.
    void SetMaxLines(int maxLines);
    // The line height of the text font that SetTextFont brings next: the text the control holds keeps the height
    // it was laid out in until then, since where its reader stands is read in it.
    void SetLineHeight(int lineHeight);
    // Where the pane takes the arrival and update times of its text from (the system's by default).
    void SetClock(const IClock& clock) { view_.SetClock(clock); }

    // The text control, with everything appended shown.
    CReadOnlyRichEdit& Edit()
    {
        FlushPendingText();
        return edit_;
    }
    // The text control as it stands, for what its owner sets on it.
    CReadOnlyRichEdit& TextControl() { return edit_; }
    HWND JumpButton() const { return jumpButton_; }
    // What the pane must show, with everything appended shown.
    const CReceiveRecord& Record()
    {
        FlushPendingText();
        return view_.Record();
    }
    // The text appended so far, shown or waiting, ends in a partial line.
    bool EndsInPartialLine() const { return view_.EndsInPartialLine(); }
    int NewLineCount()
    {
        FlushPendingText();
        return view_.NewLineCount();
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
    bool IsHidden() const { return !::IsWindowVisible(hwnd_); }
    void Update();
    void ScheduleUpdate();
    void OnShown();
    bool MakeEditAnew();
    void ApplyTextFont();
    bool ScrolledToEnd() const;
    void OnJumpClicked();
    void OnEditMouse(MSG& msg);
    std::u16string SpotTestReasonAt(int charIndex) const;
    std::optional<std::u16string> TextOfRange(long start, long end) const;

    CReadOnlyRichEdit edit_;
    CWindow jumpButton_;
    HFONT buttonFont_ = nullptr;
    HFONT textFont_ = nullptr;
    int textMargin_ = 0;
    int dpi_ = 96;
    CToolTipCtrl tooltip_;
    std::u16string tooltipText_;
    int lineHeight_ = 0;     // of the text as the control lays it out now
    int fontLineHeight_ = 0; // of textFont_
    CSystemClock systemClock_;
    CReceiveTextControl control_;
    CReceiveView view_;
    bool flushTimerSet_ = false;
    uint64_t flushDue_ = 0; // when the timer set fires
};

} // namespace kv
