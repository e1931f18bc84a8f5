#pragma once
// The text forms of the lists kept in the settings file: station lists, id lists and the lines of a
// multi-line edit.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Names separated by blanks, tabs, commas or semicolons; each trimmed, empty ones and repeats (letter case
// aside) dropped, in the order of first appearance.
std::vector<std::u16string> ParseStationList(std::u16string_view text);
// The names joined with one blank.
std::u16string JoinStationList(const std::vector<std::u16string>& names);

// Cuts at every separator and keeps the trimmed, non-empty pieces in order.
std::vector<std::u16string> SplitLines(std::u16string_view text, char16_t separator);
// The entries joined with CR LF, as a multi-line edit shows them.
std::u16string JoinLines(const std::vector<std::u16string>& lines);

} // namespace kv
