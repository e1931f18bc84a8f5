#pragma once
// A top-level window that plays the main window, the view and the page for the text panes: it gives the
// focus to a send line on WM_APP_FOCUS_SEND_LINE and records what the panes send up.
#include <string>
#include <vector>

#include "app/CReceivePane.h"
#include "app/MonoFont.h"
#include "app/PaneMessages.h"
#include "app/SpotTestRequest.h"
#include "win/WindowBase.h"

namespace kv::test {

class CPaneTestHost : public CWindowBase {
public:
    bool Create(const std::u16string& title, int cx, int cy)
    {
        CreateArgs args;
        args.className = u"Kestrivane.Test.PaneHost";
        args.title = title;
        args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        args.x = 10;
        args.y = 10;
        args.cx = cx;
        args.cy = cy;
        if (!CWindowBase::Create(args)) return false;
        sendLine.Attach(::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                                          0, 0, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        return sendLine.Handle() != nullptr;
    }

    CWindow sendLine;
    int focusRequests = 0;
    std::vector<HWND> clickedEdits;
    std::vector<SpotTestRequest> spotTests;
    std::vector<int> commands;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_APP_FOCUS_SEND_LINE:
            ++focusRequests;
            sendLine.SetFocus();
            return 0;
        case WM_APP_EDIT_CLICKED:
            clickedEdits.push_back(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_APP_TEST_IN_SPOT_FILTERS:
            if (lParam) spotTests.push_back(*reinterpret_cast<SpotTestRequest*>(lParam));
            return 1;
        case WM_COMMAND:
            if (lParam == 0) commands.push_back(LOWORD(wParam));
            break;
        default:
            break;
        }
        return CWindowBase::WndProc(msg, wParam, lParam);
    }
};

// The first line in view, without its line end.
inline std::u16string FirstVisibleLineText(const CReadOnlyRichEdit& edit)
{
    const long start = edit.LineIndex(edit.GetFirstVisibleLine());
    return edit.GetTextRange(start, start + edit.LineLength(start));
}

// Puts the view whole lines above the end, by pixels (EM_SETSCROLLPOS takes pixels however tall the text).
inline void ScrollLinesAboveTheEnd(CReadOnlyRichEdit& edit, int lines)
{
    edit.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    const int firstTop = edit.PosFromChar(0).y;
    const int lineHeight = edit.PosFromChar(edit.LineIndex(1)).y - firstTop;
    edit.SetScrollPos(POINT{0, edit.GetRect().top - firstTop - lines * lineHeight});
}

// A receive pane in the host, set up as a page sets it up: the text font on its text and its line height,
// and the send line below it.
inline bool PlaceReceivePane(CPaneTestHost& host, CReceivePane& pane, MonoFont& font, int cx, int cy)
{
    if (!pane.Create(host, 100) || !font.CreateFontForDpi(u"Consolas", 10, 96)) return false;
    pane.Edit().SetFont(font.Font);
    pane.SetLineHeight(font.LineHeight);
    pane.Move(0, 0, cx, cy);
    host.sendLine.Move(0, cy + 4, cx, 24);
    return true;
}

} // namespace kv::test
