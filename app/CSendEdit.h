#pragma once
// The command line under a connection's received text. Enter, Escape, Page Up and Page Down go to the
// parent (the page) as the messages below; Up and Down browse the lines sent; the mouse wheel scrolls
// the window under the pointer while the focus stays here.
#include "app/CLineHistory.h"
#include "win/WindowBase.h"

namespace kv {

constexpr UINT WM_APP_SEND_LINE = WM_APP + 0x5;     // wParam: the send line's control id
constexpr UINT WM_APP_SCROLL_TO_END = WM_APP + 0x6;
constexpr UINT WM_APP_PAGE_SCROLL = WM_APP + 0xA;   // wParam: SB_PAGEUP or SB_PAGEDOWN

class CSendEdit : public CWindowBase {
public:
    static constexpr int kMaxChars = 1024;

    // A multi-line edit (so that it can be several lines high) with Ctrl+Backspace word deletion.
    bool Create(HWND parent, int id, const RECT& rect);
    // Called for each line sent.
    void AddToHistory(const std::u16string& text) { history_.Add(text); }
    const CLineHistory& History() const { return history_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnKeyDown(WPARAM key);
    bool ForwardMouseWheel(WPARAM wParam, LPARAM lParam);
    bool CaretOnFirstLine() const;
    bool CaretOnLastLine() const;
    void PutText(const std::u16string& text);

    CLineHistory history_;
};

} // namespace kv
