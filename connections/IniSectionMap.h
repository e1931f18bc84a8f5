#pragma once
// One INI section read whole: keys lower-cased so that look-ups ignore letter case, values trimmed.
#include <map>
#include <string>
#include <string_view>

namespace kv {

using IniSectionMap = std::map<std::u16string, std::u16string>;

// The lines of a section as the whole-section read returns them, each ended by a null character. Lines
// without a key before their first "=" are skipped; a later key replaces an earlier one.
IniSectionMap ParseIniSectionLines(std::u16string_view lines);
// The value of the name followed by the number (left out when 0 or less); empty when absent.
std::u16string GetIniValue(const IniSectionMap& map, std::u16string_view name, int number = 0);

} // namespace kv
