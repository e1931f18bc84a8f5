#include "app/CReceivePane.h"

#include <windowsx.h>

#include <algorithm>

#include "app/DpiHelpers.h"
#include "app/LineStyle.h"
#include "app/PaneMessages.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "win/ChildWindowArgs.h"

namespace kv {
namespace {

constexpr UINT_PTR kEndCheckTimer = 1;
constexpr UINT_PTR kFlushTimer = 2;
constexpr UINT kShownMessage = WM_APP + 0x30; // posted to itself
constexpr unsigned kJumpTextId = 330;    // "%d new line%s - jump to end"

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

CReceivePane::CReceivePane()
    : control_(edit_, lineHeight_, [this] { return MakeEditAnew(); }), view_(control_, systemClock_)
{
}

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
    edit_.SetTextOfRange([this](long start, long end) { return TextOfRange(start, end); });
    edit_.SetSelectAll([this] { SelectAll(); });

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
    if (!view_.IsShown() && !IsHidden()) view_.SetShown(true); // shown without a word: this text is live
    view_.Append(text, reason, style);
    // Drawn in the pane's own turn, never inside the read that brought the text: a socket's turn stays short, so
    // that input, paint and the other sockets (a station's packets) wait for no drawing they did not ask for.
    if (view_.IsShown()) ScheduleUpdate();
}

void CReceivePane::SetMaxLines(int maxLines)
{
    if (maxLines <= 0) return;
    view_.SetMaxLines(maxLines);
    if (edit_.IsWindow()) ScheduleUpdate();
}

void CReceivePane::SetTextFont(HFONT font, int margin)
{
    textFont_ = font;
    textMargin_ = margin;
    if (!edit_.IsWindow()) return;
    if (edit_.GetTextLength() == 0) {
        ApplyTextFont(); // nothing to lay out again
        return;
    }
    view_.RenewControl(); // empty at once: the layouts that follow cost nothing
    if (!IsHidden()) ScheduleUpdate();
}

void CReceivePane::SetLineHeight(int lineHeight)
{
    fontLineHeight_ = lineHeight;
    if (!edit_.IsWindow() || edit_.GetTextLength() == 0) lineHeight_ = lineHeight;
}

void CReceivePane::ApplyTextFont()
{
    if (!textFont_) return;
    lineHeight_ = fontLineHeight_;
    edit_.SendMessage(WM_SETFONT, WPARAM(textFont_), TRUE);
    edit_.SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(textMargin_, textMargin_));
}

// A new control in place of the old one, set up as the pane sets it up.
bool CReceivePane::MakeEditAnew()
{
    if (tooltip_.Handle()) tooltip_.DeleteWindowTool(hwnd_, edit_);
    const bool made = edit_.Recreate();
    if (tooltip_.Handle()) {
        tooltip_.AddWindowTool(hwnd_, edit_, u"");
        tooltip_.Activate(false);
        tooltipText_.clear();
    }
    if (!made) return false;
    ApplyTextFont();
    if (jumpButton_.IsVisible())
        jumpButton_.SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void CReceivePane::OnShowing(bool shown)
{
    if (!edit_.IsWindow()) return;
    if (shown) {
        // Visible once the showing is done.
        PostMessage(kShownMessage, 0, 0);
        return;
    }
    // While it is still visible: hidden, the control's scroll bar tells nothing.
    if (IsHidden()) return;
    view_.SetShown(false);
}

// Shown again: the reader is where he was, and what waited goes in, the newest first.
void CReceivePane::OnShown()
{
    if (IsHidden()) return;
    view_.SetShown(true);
    Update();
}

void CReceivePane::Update()
{
    if (IsHidden()) {
        view_.SetShown(false); // hidden without a word
        return;
    }
    if (!view_.IsShown()) view_.SetShown(true);
    view_.Update();
    UpdateJumpButton();
    ScheduleUpdate();
}

void CReceivePane::ScheduleUpdate()
{
    const int64_t due = view_.NextUpdateIn();
    if (due < 0) return;
    const uint64_t at = ::GetTickCount64() + uint64_t(due);
    if (flushTimerSet_ && flushDue_ <= at) return; // it fires in time
    SetTimer(kFlushTimer, UINT(std::max<int64_t>(due, USER_TIMER_MINIMUM)));
    flushTimerSet_ = true;
    flushDue_ = at;
}

void CReceivePane::FlushPendingText()
{
    view_.UpdateAll();
    UpdateJumpButton();
    ScheduleUpdate();
}

// Asks the control only where the text ends: each look-up walks its lines from the top.
bool CReceivePane::ScrolledToEnd() const { return edit_.IsScrolledToEnd(view_.TextEnd(), lineHeight_); }

void CReceivePane::UpdateJumpButton()
{
    if (!jumpButton_.Handle()) return;
    const int newLines = view_.NewLineCount();
    if (newLines <= 0) {
        if (jumpButton_.IsVisible()) jumpButton_.Show(SW_HIDE);
        return;
    }
    jumpButton_.SetText(FormatText(LoadText(kJumpTextId), newLines, newLines == 1 ? u"" : u"s"));
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
    if (view_.Record().Lines().empty()) return {};
    const long index = edit_.CharFromPos(POINT{x, y});
    if (index < 0) return {};
    if (lineHeight_ > 0) {
        const POINT top = edit_.PosFromChar(index);
        if (y < top.y || y >= top.y + lineHeight_) return {};
    }
    const LineReason* entry = view_.ReasonAt(index);
    return entry ? entry->Reason : std::u16string();
}

void CReceivePane::ScrollToEnd()
{
    if (IsHidden()) return;
    view_.ScrollToEnd();
    UpdateJumpButton();
    ScheduleUpdate();
}

void CReceivePane::SelectAll()
{
    view_.SelectAll();
    ScheduleUpdate();
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
    const bool visible = !IsHidden();
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
        KillTimer(kFlushTimer);
        flushTimerSet_ = false;
        if (view_.NextUpdateIn() > 0)
            ScheduleUpdate(); // not due yet on the pane's clock
        else
            Update();
        return;
    }
    if (id != kEndCheckTimer || IsHidden()) return;
    if (!view_.IsShown()) OnShown(); // shown without a word from the page
    if (view_.NewLineCount() > 0 && ScrolledToEnd()) {
        view_.ClearNewLineCount();
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
    const LineReason* entry = view_.ReasonAt(charIndex);
    return entry && entry->Style == LineDuplicate ? entry->Reason : std::u16string();
}

// Copy and Copy All read the record where the control does not hold all of it yet.
std::optional<std::u16string> CReceivePane::TextOfRange(long start, long end) const
{
    if (view_.HoldsAllBetween(start, end)) return std::nullopt;
    return view_.TextBetween(start, end);
}

LRESULT CReceivePane::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The text control's request carries the reason taken with its line: it goes up as it is.
    if (msg == WM_APP_TEST_IN_SPOT_FILTERS) return ::SendMessageW(GetParent(), msg, wParam, lParam);
    if (msg == kShownMessage) {
        OnShown();
        return 0;
    }
    if (msg == WM_SHOWWINDOW) OnShowing(wParam != 0);
    return CWindowBase::WndProc(msg, wParam, lParam);
}

} // namespace kv
