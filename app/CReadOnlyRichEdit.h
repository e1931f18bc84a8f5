#pragma once
// A read-only Rich Edit control for text that the user reads but does not type: a context menu (Copy,
// Copy All, Select All, Test in Spot Filters...), the keyboard focus handed back to the send line after a
// click, and typed characters forwarded to it (through the main window's WM_APP_FOCUS_SEND_LINE).
#include <functional>
#include <optional>
#include <string>

#include "win/Menu.h"
#include "win/RichEdit.h"
#include "win/WindowBase.h"

namespace kv {

class CReadOnlyRichEdit : public CRichEditT<CWindowBase> {
public:
    struct LineAt {
        std::u16string text; // the whole line without its line end
        int charIndex = 0;
        std::u16string reason; // what the owner gives the spot test of this character, taken with the line
    };
    // Every mouse message for the control, before the control sees it (a tooltip of the owner relays them).
    using MouseObserver = std::function<void(MSG& msg)>;
    // The owner's reason for the spot test of a character. Asked when the line is taken, since the text may
    // be trimmed while the context menu's loop runs.
    using SpotTestReasonOf = std::function<std::u16string(int charIndex)>;
    // The owner's text of a range of the control, where it knows more than the control shows; nothing when the
    // control holds it all.
    using TextOfRange = std::function<std::optional<std::u16string>(long start, long end)>;

    // Read-only, multi-line, following its end, the selection shown without focus, and a vertical bar
    // that is disabled rather than hidden while the text fits.
    static constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_DISABLENOSCROLL | ES_READONLY |
                                        ES_NOHIDESEL | ES_AUTOVSCROLL | ES_MULTILINE;

    // Where the reader is: at the end, following the text, or reading from the first character of his first line.
    struct ReaderPlace {
        bool atEnd = true;
        long firstVisibleChar = 0;
    };

    bool Create(HWND parent, int id, DWORD style, DWORD exStyle, long textLimit);
    // An empty control in place of this one, with its styles, place and font: dropping a long text at once costs
    // some rich edits far more than making a new one. Not while one of its own messages is being handled (its
    // menu is open, the mouse selects).
    bool Recreate();
    bool IsBusy() const { return handling_ > 0 || ::GetCapture() == hwnd_; }

    // The scroll position in pixels, however tall the text (EM_SETSCROLLPOS takes it back).
    POINT ScrollPosition() const;
    // The last line is wholly in view, or the text fits.
    bool IsScrolledToEnd() const;
    // The same, asking only where the text ends, for a caller that knows its end and the height of its lines.
    bool IsScrolledToEnd(long textEnd, int lineHeight) const;
    // Scrolls so that the line holding a character is the first in view.
    void ScrollLineToTop(long charIndex);
    ReaderPlace GetReaderPlace() const;
    // After the text was laid out again (a new font, new margins): a reader at the end is there again, one
    // above sees his first line at the top again.
    void RestoreReaderPlace(const ReaderPlace& place);

    void SetMouseObserver(MouseObserver observer) { mouseObserver_ = std::move(observer); }
    void SetSpotTestReasonOf(SpotTestReasonOf reasonOf) { spotTestReasonOf_ = std::move(reasonOf); }
    void SetTextOfRange(TextOfRange textOf) { textOfRange_ = std::move(textOf); }
    // What Select All does instead of selecting what the control holds.
    void SetSelectAll(std::function<void()> selectAll) { selectAll_ = std::move(selectAll); }

    // x = y = -1: at the selection's start (keyboard); else at a screen point.
    LineAt GetLineAt(int x, int y) const;
    void ShowContextMenu(int x, int y);
    // The menu as it opens over a line; and what a chosen command does (0: dismissed).
    bool BuildContextMenu(CMenu& menu, const std::u16string& line) const;
    void RunContextCommand(int command, const LineAt& line);

    bool SpotTestEnabled = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetUp();
    void SelectAll();
    bool CopyOwnersText(long start, long end);
    void OnChar(WPARAM ch, LPARAM flags);
    void OnClickTimer();
    void CopyAll();
    bool ShowsAllText() const;
    HWND MainWindow() const { return ::GetAncestor(hwnd_, GA_ROOT); }

    MouseObserver mouseObserver_;
    SpotTestReasonOf spotTestReasonOf_;
    TextOfRange textOfRange_;
    std::function<void()> selectAll_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    long textLimit_ = 0;
    int handling_ = 0; // messages of its own being handled
};

} // namespace kv
