#pragma once
// Locale-free number parsing and formatting over std::from_chars / std::to_chars.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/Text.h"

namespace kv {

// The whole text must be the number: an optional '-' (signed types) or '+', then digits. No blanks, no
// overflow: a value that does not fit the type is no number.
template <typename T> std::optional<T> ParseInteger(std::string_view s, int base = 10)
{
    static_assert(std::is_integral_v<T>);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return std::nullopt;
    if constexpr (std::is_unsigned_v<T>) {
        if (s.front() == '-') return std::nullopt;
    }
    T value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}
template <typename T> std::optional<T> ParseInteger(std::u16string_view s, int base = 10)
{
    for (char16_t c : s)
        if (c >= 0x80) return std::nullopt;
    return ParseInteger<T>(std::string_view(U16ToAscii(s)), base);
}

// A decimal number such as "14025.0", "-3", "1e3"; the whole text must be the number.
std::optional<double> ParseDouble(std::string_view s);
std::optional<double> ParseDouble(std::u16string_view s);

template <typename T> std::string FormatInteger(T value)
{
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}
// Fixed notation with the given number of decimals, rounded half away from zero as printf does.
std::string FormatFixed(double value, int decimals);

} // namespace kv
