#pragma once
// Small text helpers shared by every subsystem: trimming, splitting, narrow/wide ASCII copies.
#include <string>
#include <string_view>
#include <vector>

#include "base/Ascii.h"

namespace kv {

// Blanks are ASCII white space (space, tab, CR, LF, VT, FF).
template <typename C> std::basic_string_view<C> TrimView(std::basic_string_view<C> s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsAsciiSpace(s[b])) ++b;
    while (e > b && IsAsciiSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}
inline std::string Trim(std::string_view s) { return std::string(TrimView<char>(s)); }
inline std::u16string Trim(std::u16string_view s) { return std::u16string(TrimView<char16_t>(s)); }
inline std::string TrimLeft(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && IsAsciiSpace(s[b])) ++b;
    return std::string(s.substr(b));
}
inline std::string TrimRight(std::string_view s)
{
    size_t e = s.size();
    while (e > 0 && IsAsciiSpace(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}
inline std::u16string TrimLeft(std::u16string_view s)
{
    size_t b = 0;
    while (b < s.size() && IsAsciiSpace(s[b])) ++b;
    return std::u16string(s.substr(b));
}
inline std::u16string TrimRight(std::u16string_view s)
{
    size_t e = s.size();
    while (e > 0 && IsAsciiSpace(s[e - 1])) --e;
    return std::u16string(s.substr(0, e));
}

// Splits at every separator; empty pieces are kept.
template <typename C> std::vector<std::basic_string<C>> SplitText(std::basic_string_view<C> s, C separator)
{
    std::vector<std::basic_string<C>> parts;
    size_t start = 0;
    for (;;) {
        const size_t pos = s.find(separator, start);
        if (pos == std::basic_string_view<C>::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, pos - start));
        start = pos + 1;
    }
}
inline std::vector<std::string> Split(std::string_view s, char sep) { return SplitText<char>(s, sep); }
inline std::vector<std::u16string> Split(std::u16string_view s, char16_t sep) { return SplitText<char16_t>(s, sep); }

// ASCII text between the two string types; a unit outside ASCII becomes '?'.
inline std::u16string AsciiToU16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (unsigned char c : s) out.push_back(c < 0x80 ? char16_t(c) : u'?');
    return out;
}
inline std::string U16ToAscii(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) out.push_back(c < 0x80 ? char(c) : '?');
    return out;
}

// Every control character (C0, DEL and C1) and every Unicode white space, the line and paragraph separators
// included: what a program reading the text may take as a blank or drop.
constexpr bool IsBlankOrControl(char16_t c)
{
    return c <= u' ' || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

} // namespace kv
