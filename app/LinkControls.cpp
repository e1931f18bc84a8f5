#include "app/LinkControls.h"

#include <algorithm>
#include <string_view>

#include "base/Ascii.h"
#include "win/LinkCtrl.h"

namespace kv {
namespace {

// The width of a line of the link's text, without its tags.
int ShownWidth(HDC dc, std::u16string line)
{
    for (const std::u16string_view tag : {u"<a>", u"</a>"}) {
        for (size_t at = line.find(tag); at != std::u16string::npos; at = line.find(tag, at))
            line.erase(at, tag.size());
    }
    SIZE size{};
    ::GetTextExtentPoint32W(dc, W(line), int(line.size()), &size);
    return size.cx;
}

// The text with a line break after the blank before each word that would pass the width. The blank stays:
// Wine clips a line to the width it measured, which its drawing passes by a pixel or two.
std::u16string BreakLines(HDC dc, const std::u16string& text, int width)
{
    std::u16string broken, line;
    bool lineHasWord = false;
    for (size_t start = 0;;) {
        const size_t blank = std::min(text.find(u' ', start), text.size());
        const std::u16string word = text.substr(start, blank - start);
        if (lineHasWord && ShownWidth(dc, line + u" " + word) > width) {
            broken += line + u" \n";
            line = word;
        } else {
            line += (lineHasWord ? u" " : u"") + word;
        }
        lineHasWord = true;
        if (blank == text.size()) break;
        start = blank + 1;
    }
    return broken + line;
}

} // namespace

void ReleaseLinkFonts(HWND dialog)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (EqualsIgnoreCaseAscii(CWindow(child).GetClassName(), u"SysLink")) CWindow(child).SetFont(nullptr, false);
}

void SetWrappedLinkMarkup(HWND link, const std::u16string& markup)
{
    CLinkCtrl control(link);
    LinkMarkup parts = SplitLinkMarkup(markup);
    HDC dc = ::GetDC(link);
    const auto font = reinterpret_cast<HGDIOBJ>(control.SendMessage(WM_GETFONT));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    if (::GetTextMetricsW(dc, &metrics) && metrics.tmBreakChar != u' ') {
        // A character's room to spare for the blank kept at the end of each line.
        const RECT client = control.ClientRect();
        parts.Text = BreakLines(dc, parts.Text, client.right - client.left - metrics.tmAveCharWidth);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(link, dc);
    control.SetMarkup(parts);
}

} // namespace kv
