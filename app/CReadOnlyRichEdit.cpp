#include "app/CReadOnlyRichEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "app/PaneMessages.h"
#include "app/SpotTestRequest.h"
#include "base/Utf.h"
#include "spots/SpotLine.h"
#include "win/WineDetection.h"

namespace kv {
namespace {

constexpr UINT_PTR kClickTimer = 1;

// A line the spot filters can test: a spot line, with a short trailing token split off its comment.
bool IsSpotLine(const std::u16string& line)
{
    SpotFields fields;
    return ParseSpotFields(Utf16ToUtf8(line), true, fields);
}

std::u16string WithoutLineEnd(std::u16string text)
{
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
    return text;
}

} // namespace

bool CReadOnlyRichEdit::Create(HWND parent, int id, DWORD style, DWORD exStyle, long textLimit)
{
    if (hwnd_ || !LoadRichEditLibrary()) return false;
    HWND edit = ::CreateWindowExW(exStyle, RichEditClassName(), L"", style, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(INT_PTR(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!edit) return false;
    if (!Subclass(edit)) {
        ::DestroyWindow(edit);
        return false;
    }
    textLimit_ = textLimit;
    style_ = style;
    exStyle_ = exStyle;
    SetUp();
    return true;
}

void CReadOnlyRichEdit::SetUp()
{
    LimitText(textLimit_);
    // Nobody types here: an undo history would only hold copies of what was removed. Wine's rich edit loses a
    // few hundred bytes for each replacement while the limit is 0; with a limit of 1 it holds nothing either,
    // since every replacement made here is one that cannot be undone.
    SetUndoLimit(RunningUnderWine() ? 1 : 0);
    SetEventMask(0);
}

bool CReadOnlyRichEdit::Recreate()
{
    if (!hwnd_ || IsBusy()) return false;
    const HWND parent = ::GetParent(hwnd_);
    RECT place = WindowRect();
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // The styles it was made with: the old one's now carry scroll bars it showed, and an empty one takes a line.
    const DWORD shown = DWORD(::GetWindowLongPtrW(hwnd_, GWL_STYLE)) & WS_VISIBLE;
    HWND fresh = ::CreateWindowExW(exStyle_, RichEditClassName(), L"", style_ | shown, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, parent,
                                   reinterpret_cast<HMENU>(INT_PTR(::GetDlgCtrlID(hwnd_))), ::GetModuleHandleW(nullptr),
                                   nullptr);
    if (!fresh) return false;
    const LRESULT font = SendMessage(WM_GETFONT);
    const bool focused = ::GetFocus() == hwnd_;
    ::SetWindowPos(fresh, hwnd_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); // where the old one lay
    const HWND old = hwnd_;
    ::DestroyWindow(old); // this object lets go of it
    if (hwnd_ || !Subclass(fresh)) {
        ::DestroyWindow(fresh);
        return false;
    }
    SetUp();
    ::SendMessageW(fresh, WM_SETFONT, WPARAM(font), FALSE);
    if (focused) ::SetFocus(fresh);
    return true;
}

// EM_GETSCROLLPOS scales its values down to 16 bits in a text taller than 65,535 pixels, while
// EM_SETSCROLLPOS takes pixels: the vertical position is measured from where the first character stands.
POINT CReadOnlyRichEdit::ScrollPosition() const
{
    return POINT{GetScrollPos().x, GetRect().top - PosFromChar(0).y};
}

// The bar says the text fits, or tells nothing.
bool CReadOnlyRichEdit::ShowsAllText() const
{
    SCROLLBARINFO bar{sizeof bar};
    if (!::GetScrollBarInfo(hwnd_, OBJID_VSCROLL, &bar)) return true;
    if (bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) return true;
    SCROLLINFO info{sizeof info, SIF_ALL};
    if (!::GetScrollInfo(hwnd_, SB_VERT, &info)) return true;
    // A bar kept only disabled (the text fits) may report a range without a page.
    return info.nPage == 0 || info.nMax <= int(info.nPage);
}

// Not from the bar's range: some rich edits stop it at 65,535 however tall the text, which puts the end some
// lines above the last one. The view is at the end when the last line's bottom is in it.
bool CReadOnlyRichEdit::IsScrolledToEnd() const
{
    if (ShowsAllText()) return true;
    const long lastLine = GetLineCount() - 1;
    if (lastLine < 1) return true;
    const int lastTop = PosFromChar(LineIndex(lastLine)).y;
    const int lineHeight = lastTop - PosFromChar(LineIndex(lastLine - 1)).y;
    return lastTop + lineHeight <= GetRect().bottom + 1;
}

// Each look-up walks the control's lines from the top: one instead of four.
bool CReadOnlyRichEdit::IsScrolledToEnd(long textEnd, int lineHeight) const
{
    if (lineHeight <= 0) return IsScrolledToEnd();
    if (ShowsAllText()) return true;
    return PosFromChar(textEnd).y + lineHeight <= GetRect().bottom + 1;
}

void CReadOnlyRichEdit::ScrollLineToTop(long charIndex)
{
    // By pixels, since a scroll by lines is not measured in this text's lines everywhere.
    const long lineStart = LineIndex(LineFromChar(charIndex));
    const POINT now = ScrollPosition();
    const int top = PosFromChar(lineStart).y - GetRect().top;
    SetScrollPos(POINT{now.x, now.y + top});
}

CReadOnlyRichEdit::ReaderPlace CReadOnlyRichEdit::GetReaderPlace() const
{
    return ReaderPlace{IsScrolledToEnd(), LineIndex(GetFirstVisibleLine())};
}

void CReadOnlyRichEdit::RestoreReaderPlace(const ReaderPlace& place)
{
    if (place.atEnd)
        SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    else
        ScrollLineToTop(place.firstVisibleChar);
}

CReadOnlyRichEdit::LineAt CReadOnlyRichEdit::GetLineAt(int x, int y) const
{
    LineAt at;
    if (x == -1 && y == -1) {
        at.charIndex = GetSel().cpMin;
    } else {
        POINT pt{x, y};
        ::ScreenToClient(hwnd_, &pt);
        at.charIndex = CharFromPos(pt);
    }
    const long start = LineIndex(LineFromChar(at.charIndex));
    if (start < 0) return at;
    at.text = WithoutLineEnd(GetTextRange(start, start + LineLength(start)));
    if (spotTestReasonOf_) at.reason = spotTestReasonOf_(at.charIndex);
    return at;
}

bool CReadOnlyRichEdit::BuildContextMenu(CMenu& menu, const std::u16string& line) const
{
    if (!menu.CreatePopup()) return false;
    menu.AppendItem(ID_EDIT_COPY, u"&Copy");
    menu.AppendItem(ID_EDIT_COPY_ALL, u"Copy A&ll");
    menu.AppendItem(ID_EDIT_SELECT_ALL, u"Select &All");
    menu.AppendSeparator();
    menu.AppendItem(ID_TEST_IN_SPOT_FILTERS, u"&Test in Spot Filters...");
    if (SpotTestEnabled) {
        menu.EnableItem(ID_TEST_IN_SPOT_FILTERS, IsSpotLine(line));
    } else {
        menu.DeleteItemAt(menu.Count() - 1);
        menu.DeleteItemAt(menu.Count() - 1);
    }
    const CHARRANGE sel = GetSel();
    const bool hasText = GetTextLength() > 0;
    menu.EnableItem(ID_EDIT_COPY, sel.cpMax > sel.cpMin);
    menu.EnableItem(ID_EDIT_COPY_ALL, hasText);
    menu.EnableItem(ID_EDIT_SELECT_ALL, hasText);
    return true;
}

void CReadOnlyRichEdit::ShowContextMenu(int x, int y)
{
    const LineAt line = SpotTestEnabled ? GetLineAt(x, y) : LineAt{};
    if (x == -1 && y == -1) {
        const RECT r = WindowRect();
        x = r.left;
        y = r.top;
    }
    CMenu menu;
    if (!BuildContextMenu(menu, line.text)) return;
    const int command = menu.Track(TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, hwnd_);
    RunContextCommand(command, line);
}

void CReadOnlyRichEdit::RunContextCommand(int command, const LineAt& line)
{
    switch (command) {
    case ID_EDIT_COPY_ALL:
        CopyAll();
        break;
    case ID_EDIT_COPY:
        SendMessage(WM_COPY);
        break;
    case ID_EDIT_SELECT_ALL:
        SelectAll();
        ::SendMessageW(MainWindow(), WM_APP_EDIT_CLICKED, 0, LPARAM(hwnd_));
        break;
    case ID_TEST_IN_SPOT_FILTERS: {
        SpotTestRequest request{line.text, line.charIndex, line.reason};
        ::SendMessageW(GetParent(), WM_APP_TEST_IN_SPOT_FILTERS, 0, LPARAM(&request));
        return;
    }
    default:
        break;
    }
    ::PostMessageW(MainWindow(), WM_APP_FOCUS_SEND_LINE, 0, 0);
}

void CReadOnlyRichEdit::SelectAll()
{
    if (selectAll_)
        selectAll_();
    else
        SetSel(0, -1);
}

// The owner's text of the range on the clipboard, when it has one.
bool CReadOnlyRichEdit::CopyOwnersText(long start, long end)
{
    if (!textOfRange_) return false;
    const std::optional<std::u16string> text = textOfRange_(start, end);
    if (!text) return false;
    if (!::OpenClipboard(hwnd_)) return true;
    ::EmptyClipboard();
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text->size() + 1) * sizeof(char16_t))) {
        auto* chars = static_cast<char16_t*>(::GlobalLock(memory));
        std::copy(text->begin(), text->end(), chars);
        chars[text->size()] = 0;
        ::GlobalUnlock(memory);
        if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return true;
}

void CReadOnlyRichEdit::CopyAll()
{
    if (CopyOwnersText(0, GetTextLength())) return;
    const CHARRANGE sel = GetSel();
    const POINT scroll = ScrollPosition();
    SetRedraw(false);
    SetSel(0, -1);
    SendMessage(WM_COPY);
    SetSel(sel.cpMin, sel.cpMax);
    SetScrollPos(scroll);
    SetRedraw(true);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CReadOnlyRichEdit::OnChar(WPARAM ch, LPARAM flags)
{
    KillTimer(kClickTimer);
    if (::GetFocus() == hwnd_) ::SendMessageW(MainWindow(), WM_APP_FOCUS_SEND_LINE, 0, 0);
    HWND focus = ::GetFocus();
    if (focus && focus != hwnd_) ::SendMessageW(focus, WM_CHAR, ch, LPARAM((UINT(flags) >> 16) << 16 | 1));
}

void CReadOnlyRichEdit::OnClickTimer()
{
    if (::GetKeyState(VK_LBUTTON) < 0) return; // still selecting
    KillTimer(kClickTimer);
    if (::GetFocus() == hwnd_) ::SendMessageW(MainWindow(), WM_APP_FOCUS_SEND_LINE, 0, 0);
}

LRESULT CReadOnlyRichEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++handling_;
    const LRESULT result = HandleMessage(msg, wParam, lParam);
    --handling_;
    return result;
}

LRESULT CReadOnlyRichEdit::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (mouseObserver_ && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        MSG m{hwnd_, msg, wParam, lParam, DWORD(::GetMessageTime()), {}};
        const DWORD pos = ::GetMessagePos();
        m.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
        mouseObserver_(m);
    }
    switch (msg) {
    case WM_CONTEXTMENU:
        ShowContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONUP: {
        KillTimer(kClickTimer);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(hwnd_, &pt);
        ShowContextMenu(pt.x, pt.y);
        return 0;
    }
    case WM_LBUTTONDOWN:
        KillTimer(kClickTimer);
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = DefaultProc(msg, wParam, lParam);
        ::SendMessageW(MainWindow(), WM_APP_EDIT_CLICKED, 0, LPARAM(hwnd_));
        SetTimer(kClickTimer, ::GetDoubleClickTime() + 100);
        return result;
    }
    case WM_TIMER:
        if (wParam != kClickTimer) break; // the control's own timers
        OnClickTimer();
        return 0;
    case WM_CHAR:
        OnChar(wParam, lParam);
        return 0;
    case WM_COPY: {
        const CHARRANGE sel = GetSel();
        if (CopyOwnersText(sel.cpMin, sel.cpMax)) return 0;
        break;
    }
    case WM_KEYDOWN: {
        // The control's own shortcuts would copy or select only what it holds.
        const bool control = ::GetKeyState(VK_CONTROL) < 0;
        if (control && (wParam == 'C' || wParam == VK_INSERT)) {
            SendMessage(WM_COPY);
            return 0;
        }
        if (control && wParam == 'A' && selectAll_) {
            selectAll_();
            return 0;
        }
        break;
    }
    case WM_KILLFOCUS:
        KillTimer(kClickTimer);
        break;
    case WM_SETFONT: {
        // Where the undo limit is above 0, a new font is otherwise a step that Ctrl+Z takes back.
        const LRESULT result = DefaultProc(msg, wParam, lParam);
        SendMessage(EM_EMPTYUNDOBUFFER);
        return result;
    }
    case WM_VSCROLL:
        // Wine's rich edit shows an empty horizontal bar on SB_BOTTOM (with ES_DISABLENOSCROLL), which takes a
        // line of the text; the same place reached through EM_SETSCROLLPOS, clamped at the end, leaves it hidden.
        if (LOWORD(wParam) != SB_BOTTOM || !RunningUnderWine()) break;
        SetScrollPos(POINT{GetScrollPos().x, INT_MAX / 2});
        return 0;
    default:
        return CWindowBase::WndProc(msg, wParam, lParam);
    }
    return DefaultProc(msg, wParam, lParam);
}

} // namespace kv
