#include "app/CLogPane.h"

#include <windowsx.h>

#include <algorithm>

#include "app/DpiHelpers.h"
#include "app/LogLine.h"
#include "app/PaneMessages.h"
#include "base/TextCatalog.h"
#include "win/ChildWindowArgs.h"

namespace kv {
namespace {

constexpr unsigned kCaptionId = 316; // "Log"
constexpr long kTextLimit = 0x1000000;
constexpr long kTrimWindow = 4096;

UtcTime NowUtc()
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    return UtcTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

int TextHeightOf(HFONT font)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW tm{};
    const bool ok = ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return ok ? tm.tmHeight : 0;
}

} // namespace

bool CLogPane::Create(HWND parent, int id)
{
    return CWindowBase::Create(
        ChildWindowArgs(u"Kestrivane.LogPane", parent, id, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
}

bool CLogPane::OnCreate(const CREATESTRUCTW&)
{
    return edit_.Create(hwnd_, kEditId, CReadOnlyRichEdit::kTextStyle, WS_EX_CLIENTEDGE, kTextLimit);
}

void CLogPane::AddLine(bool isError, const std::u16string& connectionName, const std::u16string& text)
{
    if (!edit_.IsWindow()) return;
    const std::u16string line = FormatLogLine(NowUtc(), connectionName, text);
    AppendLine(edit_.GetTextLength() > 0 ? u"\r\n" + line : line, isError);
}

void CLogPane::AppendLine(const std::u16string& line, bool isError)
{
    const CHARRANGE selection = edit_.GetSel();
    const bool hadSelection = selection.cpMax > selection.cpMin;
    const bool atEnd = IsAtEnd();

    edit_.SetReadOnly(false);
    edit_.SetSel(-1, -1);
    CHARFORMAT2W format{};
    format.dwMask = CFM_COLOR;
    format.crTextColor = isError ? RGB(192, 0, 0) : ::GetSysColor(COLOR_WINDOWTEXT);
    edit_.SetSelectionCharFormat(format);
    edit_.ReplaceSel(line);
    edit_.SetReadOnly(true);

    ++lineCount_;
    const bool trimmed = TrimLines();
    if (hadSelection && !trimmed) edit_.SetSel(selection.cpMin, selection.cpMax);
    if (atEnd) edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
}

bool CLogPane::TrimLines()
{
    if (lineCount_ <= kMaxLines) return false;
    long removedChars = 0;
    edit_.SetReadOnly(false);
    while (lineCount_ > kMaxLines) {
        const long through = EndOfFirstLine();
        if (through < 0) break;
        edit_.SetSel(0, through);
        edit_.ReplaceSel(u"");
        --lineCount_;
        removedChars += through;
    }
    edit_.SetReadOnly(true);
    // Folded, the reader's first line is held as a character position: it moved up with the text.
    if (foldedPlace_ && !foldedPlace_->atEnd)
        foldedPlace_->firstVisibleChar = std::max(0L, foldedPlace_->firstVisibleChar - removedChars);
    return removedChars > 0;
}

long CLogPane::EndOfFirstLine() const
{
    // An entry may be far longer than one window: read window after window, each with one character more so
    // that a CR LF across a window's end stays one line end.
    const long length = edit_.GetTextLength();
    for (long start = 0; start < length; start += kTrimWindow) {
        const std::u16string part = edit_.GetTextRange(start, std::min(length, start + kTrimWindow + 1));
        const size_t end = part.find_first_of(u"\r\n");
        if (end == std::u16string::npos || end >= size_t(kTrimWindow)) continue;
        size_t through = end + 1;
        if (part[end] == u'\r' && through < part.size() && part[through] == u'\n') ++through;
        return start + long(through);
    }
    return -1;
}

bool CLogPane::IsAtEnd() const
{
    if (foldedPlace_) return foldedPlace_->atEnd;
    SCROLLINFO info{sizeof info, SIF_ALL};
    if (!::GetScrollInfo(edit_, SB_VERT, &info)) return true;
    if (int(info.nPage) >= info.nMax) return true;
    return int(info.nPage) + info.nPos >= info.nMax - 1;
}

CReadOnlyRichEdit::ReaderPlace CLogPane::ReaderPlace() const
{
    return foldedPlace_ ? *foldedPlace_ : edit_.GetReaderPlace();
}

bool CLogPane::TextHasHeight() const
{
    const RECT client = edit_.ClientRect();
    return client.bottom > client.top;
}

void CLogPane::SetTextFont(HFONT font)
{
    if (!font || !edit_.IsWindow()) return;
    // The text is laid out again, which keeps the scroll position in pixels, not the reader's place.
    const CReadOnlyRichEdit::ReaderPlace place = ReaderPlace();
    edit_.SetFont(font, true);
    textLineHeight_ = TextHeightOf(font);
    UpdateFormatRect();
    edit_.RestoreReaderPlace(place);
}

void CLogPane::SetHeaderFont(HFONT font, int dpi)
{
    headerFont_ = font;
    dpi_ = dpi;
    const int fontHeight = font ? TextHeightOf(font) : ScaleForDpi(14, dpi);
    headerHeight_ = fontHeight + ScaleForDpi(6, dpi);
    Invalidate();
}

void CLogPane::SetCollapsed(bool collapsed)
{
    collapsed_ = collapsed;
    RECT header = ClientRect();
    header.bottom = header.top + headerHeight_;
    ::InvalidateRect(hwnd_, &header, FALSE);
}

void CLogPane::UpdateFormatRect()
{
    if (!edit_.IsWindow()) return;
    RECT r = edit_.ClientRect();
    const int margin = ScaleForDpi(4, dpi_);
    r.left += margin;
    r.right -= margin;
    const int height = r.bottom - r.top;
    if (textLineHeight_ > 0 && height >= textLineHeight_) r.bottom -= height % textLineHeight_;
    if (r.right > r.left && r.bottom > r.top) edit_.SetRect(r);
}

void CLogPane::OnSize(UINT, int cx, int cy)
{
    if (!edit_.IsWindow()) return;
    const bool atEnd = IsAtEnd();
    const CReadOnlyRichEdit::ReaderPlace place = ReaderPlace();
    const bool wasFolded = foldedPlace_.has_value();
    edit_.SetRedraw(false);
    edit_.SetPos(nullptr, 0, headerHeight_, cx, std::max(cy, headerHeight_) - headerHeight_,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    UpdateFormatRect();
    foldedPlace_.reset();
    if (!TextHasHeight())
        foldedPlace_ = place;
    else if (wasFolded)
        edit_.RestoreReaderPlace(place);
    else if (atEnd)
        edit_.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    edit_.SetRedraw(true);
    ::RedrawWindow(edit_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void CLogPane::PaintArrow(HDC dc, const RECT& header) const
{
    const int s = ScaleForDpi(8, dpi_);
    const int x = header.left + ScaleForDpi(6, dpi_);
    const int y = (header.top + header.bottom) / 2;
    POINT corners[3];
    if (collapsed_) {
        corners[0] = {x + s / 4, y - s / 2};
        corners[1] = {x + s / 4 + s / 2, y};
        corners[2] = {x + s / 4, y + s / 2};
    } else {
        corners[0] = {x, y - s / 4};
        corners[1] = {x + s, y - s / 4};
        corners[2] = {x + s / 2, y + s / 4 + 1};
    }
    HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNTEXT));
    HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    ::Polygon(dc, corners, 3);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(pen);
    ::DeleteObject(brush);
}

bool CLogPane::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT header = ClientRect();
    header.bottom = header.top + headerHeight_;
    ::FillRect(dc, &header, ::GetSysColorBrush(COLOR_BTNFACE));
    PaintArrow(dc, header);

    HGDIOBJ oldFont = headerFont_ ? ::SelectObject(dc, headerFont_) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    RECT caption = header;
    caption.left += ScaleForDpi(20, dpi_);
    const std::u16string text = LoadText(kCaptionId);
    ::DrawTextW(dc, W(text), int(text.size()), &caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (oldFont) ::SelectObject(dc, oldFont);
    ::EndPaint(hwnd_, &ps);
    return true;
}

bool CLogPane::InHeader(POINT pt) const
{
    RECT header = ClientRect();
    header.bottom = header.top + headerHeight_;
    return ::PtInRect(&header, pt) != FALSE;
}

LRESULT CLogPane::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE; // the header is painted whole, the rest is the text
    case WM_LBUTTONDOWN:
        if (InHeader(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(ID_VIEW_LOG_PANE, 0), 0);
        break;
    case WM_SETCURSOR: {
        if (HWND(wParam) != hwnd_ || LOWORD(lParam) != HTCLIENT) break;
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(hwnd_, &pt);
        if (!InHeader(pt)) break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    default:
        break;
    }
    return CWindowBase::WndProc(msg, wParam, lParam);
}

} // namespace kv
