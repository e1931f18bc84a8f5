#pragma once
// The text that a receive pane shows, the whole of it or only its last lines, each read at one moment with a sent
// message whose answer carries no text (CSharedTextBuffer).
#include <windows.h>

#include <string>

namespace kvprobe {

// The whole text, each character beyond ASCII as "?".
std::string TextOf(HWND edit);
// The "kvload <tag><number>" tokens in a text, in order, as " <tag><number>" each.
std::string TokensIn(const std::string& text);
// The lines of a text in order, as " <tag><number>" for a line with a token and " !<count>" for a notice of
// skipped lines; other lines are left out.
std::string LinesIn(const std::string& text);
// The token (<tag><number>) of the first line the pane shows, "-" when that line holds none.
std::string FirstTokenInView(HWND edit);
// The number of the newest token of the tag, read from the pane's last lines up (not the whole text); -1 when
// none of its last lines holds one.
long long NewestToken(HWND edit, char tag);
// The tokens of the pane's last lines, read from the end up to a line whose token of the tag is not above the
// number (at most a few thousand lines), as TokensIn gives them.
std::string TokensAbove(HWND edit, char tag, long long number);

} // namespace kvprobe
