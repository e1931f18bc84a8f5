#pragma once
// ASCII-only character classes and case folding. The C library's versions are locale-dependent and undefined
// for bytes of 0x80 or more; these are neither, and work on char and char16_t alike.
#include <string>
#include <string_view>

namespace kv {

template <typename C> constexpr bool IsAsciiDigit(C c) { return c >= C('0') && c <= C('9'); }
template <typename C> constexpr bool IsAsciiUpper(C c) { return c >= C('A') && c <= C('Z'); }
template <typename C> constexpr bool IsAsciiLower(C c) { return c >= C('a') && c <= C('z'); }
template <typename C> constexpr bool IsAsciiAlpha(C c) { return IsAsciiUpper(c) || IsAsciiLower(c); }
template <typename C> constexpr bool IsAsciiAlnum(C c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); }
template <typename C> constexpr bool IsAsciiSpace(C c)
{
    return c == C(' ') || c == C('\t') || c == C('\n') || c == C('\r') || c == C('\v') || c == C('\f');
}
template <typename C> constexpr bool IsAsciiXDigit(C c)
{
    return IsAsciiDigit(c) || (c >= C('a') && c <= C('f')) || (c >= C('A') && c <= C('F'));
}
template <typename C> constexpr C AsciiToUpper(C c) { return IsAsciiLower(c) ? C(c - ('a' - 'A')) : c; }
template <typename C> constexpr C AsciiToLower(C c) { return IsAsciiUpper(c) ? C(c + ('a' - 'A')) : c; }

template <typename C> std::basic_string<C> ToUpperAscii(std::basic_string_view<C> s)
{
    std::basic_string<C> out(s);
    for (auto& c : out) c = AsciiToUpper(c);
    return out;
}
template <typename C> std::basic_string<C> ToLowerAscii(std::basic_string_view<C> s)
{
    std::basic_string<C> out(s);
    for (auto& c : out) c = AsciiToLower(c);
    return out;
}
inline std::string ToUpperAscii(const std::string& s) { return ToUpperAscii(std::string_view(s)); }
inline std::string ToLowerAscii(const std::string& s) { return ToLowerAscii(std::string_view(s)); }
inline std::u16string ToUpperAscii(const std::u16string& s) { return ToUpperAscii(std::u16string_view(s)); }
inline std::u16string ToLowerAscii(const std::u16string& s) { return ToLowerAscii(std::u16string_view(s)); }
inline std::string ToUpperAscii(const char* s) { return ToUpperAscii(std::string_view(s)); }
inline std::u16string ToUpperAscii(const char16_t* s) { return ToUpperAscii(std::u16string_view(s)); }

template <typename C> bool EqualsIgnoreCaseAscii(std::basic_string_view<C> a, std::basic_string_view<C> b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
    return true;
}
inline bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) { return EqualsIgnoreCaseAscii<char>(a, b); }
inline bool EqualsIgnoreCaseAscii(std::u16string_view a, std::u16string_view b)
{
    return EqualsIgnoreCaseAscii<char16_t>(a, b);
}

template <typename C> bool StartsWithIgnoreCaseAscii(std::basic_string_view<C> s, std::basic_string_view<C> prefix)
{
    return s.size() >= prefix.size() && EqualsIgnoreCaseAscii<C>(s.substr(0, prefix.size()), prefix);
}
inline bool StartsWithIgnoreCaseAscii(std::string_view s, std::string_view p) { return StartsWithIgnoreCaseAscii<char>(s, p); }
inline bool StartsWithIgnoreCaseAscii(std::u16string_view s, std::u16string_view p)
{
    return StartsWithIgnoreCaseAscii<char16_t>(s, p);
}

// Three-way comparison without regard to ASCII case, for sorted lookups.
template <typename C> int CompareIgnoreCaseAscii(std::basic_string_view<C> a, std::basic_string_view<C> b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = AsciiToLower(a[i]);
        const auto y = AsciiToLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace kv
