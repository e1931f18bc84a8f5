#pragma once
// The receive pane's rich edit as its portable logic draws in it: each insertion in the format of its line kind,
// drawing off for the length of an update.
#include <functional>

#include "app/CReadOnlyRichEdit.h"
#include "app/IReceiveTextControl.h"

namespace kv {

class CReceiveTextControl : public IReceiveTextControl {
public:
    // makeAnew replaces the control with an empty one, set up as the pane sets it up.
    CReceiveTextControl(CReadOnlyRichEdit& edit, const int& lineHeight, std::function<bool()> makeAnew)
        : edit_(edit), lineHeight_(lineHeight), makeAnew_(std::move(makeAnew))
    {
    }

    void BeginUpdate() override;
    void EndUpdate() override;
    void Insert(long position, const std::u16string& text, int style) override;
    void RemoveTop(long chars) override;
    bool MakeAnew() override { return makeAnew_(); }

    bool IsAtEnd(long textEnd) const override { return edit_.IsScrolledToEnd(textEnd, lineHeight_); }
    long FirstVisibleChar() const override { return edit_.LineIndex(edit_.GetFirstVisibleLine()); }
    Scroll ScrollPosition() const override;
    void SetScrollPosition(Scroll scroll) override { edit_.SetScrollPos(POINT{scroll.x, scroll.y}); }
    void ScrollToTop(long charIndex) override { edit_.ScrollLineToTop(charIndex); }
    void ScrollToEnd() override { edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0); }
    void GetSelection(long& start, long& end) const override;
    void Select(long start, long end) override { edit_.SetSel(start, end); }

private:
    CReadOnlyRichEdit& edit_;
    const int& lineHeight_;
    std::function<bool()> makeAnew_;
};

} // namespace kv
