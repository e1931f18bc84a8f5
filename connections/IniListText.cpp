#include "connections/IniListText.h"

#include <algorithm>

#include "base/Text.h"

namespace kv {
namespace {

bool IsStationSeparator(char16_t c) { return c == u' ' || c == u'\t' || c == u',' || c == u';'; }

std::u16string Join(const std::vector<std::u16string>& items, std::u16string_view separator)
{
    std::u16string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += separator;
        text += items[i];
    }
    return text;
}

} // namespace

std::vector<std::u16string> ParseStationList(std::u16string_view text)
{
    std::vector<std::u16string> names;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsStationSeparator(text[pos])) ++pos;
        size_t end = pos;
        while (end < text.size() && !IsStationSeparator(text[end])) ++end;
        std::u16string name = Trim(text.substr(pos, end - pos));
        const bool known = std::any_of(names.begin(), names.end(),
                                       [&](const std::u16string& n) { return EqualsIgnoreCaseAscii(n, name); });
        if (!name.empty() && !known) names.push_back(std::move(name));
        pos = end;
    }
    return names;
}

std::u16string JoinStationList(const std::vector<std::u16string>& names) { return Join(names, u" "); }

std::vector<std::u16string> SplitLines(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string> lines;
    for (const auto& piece : Split(text, separator)) {
        std::u16string line = Trim(piece);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) { return Join(lines, u"\r\n"); }

} // namespace kv
