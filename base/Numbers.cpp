#include "base/Numbers.h"

#include <cmath>
#include <cstdio>

namespace kv {

std::optional<double> ParseDouble(std::string_view s)
{
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::u16string_view s)
{
    for (char16_t c : s)
        if (c >= 0x80) return std::nullopt;
    return ParseDouble(std::string_view(U16ToAscii(s)));
}

std::string FormatFixed(double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    return std::string(buf, end);
}

} // namespace kv
