#include "PaintCheck.h"

#include <richedit.h>

#include <map>

#include "ProgramWindows.h"

namespace kvprobe {
namespace {

constexpr COLORREF kNearWhites[] = {RGB(254, 254, 254), RGB(255, 255, 254)};

// The colour each pane was last given: the next one must differ, or a pane shown again would show it at once.
std::map<HWND, COLORREF>& ColoursGiven()
{
    static std::map<HWND, COLORREF> colours;
    return colours;
}

} // namespace

bool CPaintCheck::Ask(HWND edit)
{
    RECT client{};
    if (!edit || !::GetClientRect(edit, &client) || client.right < 8) return false;
    COLORREF& given = ColoursGiven()[edit];
    colour_ = given == kNearWhites[0] ? kNearWhites[1] : kNearWhites[0];
    given = colour_; // also when the answer comes too late: the pane takes it all the same
    margin_ = ScreenPointOf(edit, POINT{client.right - 2, client.bottom / 2});
    return SendAndWait(edit, EM_SETBKGNDCOLOR, 0, LPARAM(colour_));
}

bool CPaintCheck::Painted() const
{
    return colour_ != CLR_INVALID && ScreenPixel(margin_) == colour_;
}

} // namespace kvprobe
