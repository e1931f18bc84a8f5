#pragma once
// The text control of a receive pane, as the pane's portable logic draws its record in it. Positions count the
// characters of the control's text, in which every line ends in one CR.
#include <cstdint>
#include <string>

namespace kv {

class IReceiveTextControl {
public:
    struct Scroll {
        long x = 0;
        long y = 0; // pixels from the top of the text
    };

    virtual ~IReceiveTextControl() = default;

    // Drawing stops until the update ends, so that the control paints once for many changes.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void Insert(long position, const std::u16string& text, int style) = 0;
    // Takes characters from the top of the text.
    virtual void RemoveTop(long chars) = 0;
    // Replaces the control with an empty one (in the pane's font): false when it cannot be done now (a menu of it
    // is open, say).
    virtual bool MakeAnew() = 0;

    // Whether the text's end (the control's text length, as the caller knows it) is in view.
    virtual bool IsAtEnd(long textEnd) const = 0;
    virtual long FirstVisibleChar() const = 0;
    virtual Scroll ScrollPosition() const = 0;
    virtual void SetScrollPosition(Scroll scroll) = 0;
    // Scrolls so that the line holding the character is the first in view.
    virtual void ScrollToTop(long charIndex) = 0;
    virtual void ScrollToEnd() = 0;
    virtual void GetSelection(long& start, long& end) const = 0;
    virtual void Select(long start, long end) = 0;
};

} // namespace kv
