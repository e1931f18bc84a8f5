#include "directory/DxccEntityList.h"

#include "base/Ascii.h"
#include "base/Text.h"
#include "base/Utf.h"

namespace kv {
namespace {

// The leading decimal digits, capped so that a long run of digits cannot overflow.
int32_t LeadingNumber(std::string_view text)
{
    int64_t value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) break;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return INT32_MAX;
    }
    return int32_t(value);
}

} // namespace

std::vector<DxccEntityItem> ParseDxccEntityList(std::string_view text)
{
    std::vector<DxccEntityItem> items;
    for (const std::string& raw : Split(text, '\n')) {
        std::string_view line(raw);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        const size_t comma = line.find(',');
        if (comma == std::string_view::npos || comma == 0) continue;
        const int32_t adif = LeadingNumber(line.substr(0, comma));
        if (adif <= 0) continue;
        items.push_back({adif, Utf8ToUtf16(line.substr(comma + 1))});
    }
    return items;
}

} // namespace kv
