#include "app/CEmptyPage.h"

#include "base/TextCatalog.h"

namespace kv {

namespace {
constexpr unsigned kIdsNoConnectionHint = 315;
}

bool CEmptyPage::Create(HWND parent, int id)
{
    CreateArgs args = CreateArgs::Child(u"Kestrivane.EmptyPage", parent, id, WS_CHILD, RECT{});
    args.classStyle = CS_HREDRAW | CS_VREDRAW;
    args.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return CWindowBase::Create(args);
}

bool CEmptyPage::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    HGDIOBJ oldFont = textFont_ ? ::SelectObject(dc, textFont_) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    const std::u16string hint = LoadText(kIdsNoConnectionHint);
    const RECT client = ClientRect();
    constexpr UINT format = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;
    RECT measured = client;
    ::DrawTextW(dc, W(hint), int(hint.size()), &measured, format | DT_CALCRECT);
    RECT text = client;
    text.top = client.top + (client.bottom - client.top - (measured.bottom - measured.top)) / 2;
    ::DrawTextW(dc, W(hint), int(hint.size()), &text, format);
    if (oldFont) ::SelectObject(dc, oldFont);
    ::EndPaint(hwnd_, &ps);
    return true;
}

} // namespace kv
