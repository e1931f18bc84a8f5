#pragma once
// Copy All of a receive pane as a user does it: a right click into the pane opens its context menu, the key of
// "Copy A&ll" chooses it; then what the clipboard holds once the program has put something new there.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kvprobe {

class CCopyAllCheck {
public:
    // "copied <ms> <lines as LinesIn gives them>": ms from the key until the clipboard held the new text; or
    // "copied none|nomenu|timeout|noclipboard".
    std::string CopyAll(HWND edit);

private:
    static bool WaitForMenu(uint64_t start);
    static std::string ClipboardText();
};

} // namespace kvprobe
