#include "connections/IniSectionMap.h"

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"

namespace kv {

IniSectionMap ParseIniSectionLines(std::u16string_view lines)
{
    IniSectionMap map;
    for (const auto& line : Split(lines, u'\0')) {
        const size_t equals = line.find(u'=');
        if (equals == std::u16string::npos || equals == 0) continue;
        map[ToLowerAscii(Trim(std::u16string_view(line).substr(0, equals)))] =
            Trim(std::u16string_view(line).substr(equals + 1));
    }
    return map;
}

std::u16string GetIniValue(const IniSectionMap& map, std::u16string_view name, int number)
{
    std::u16string key = ToLowerAscii(name);
    if (number > 0) key += FormatText(u"%d", number);
    const auto it = map.find(key);
    return it == map.end() ? std::u16string() : it->second;
}

} // namespace kv
