#pragma once
// UTF-8 / UTF-16 / Latin-1 conversions of our own, identical on Windows and Linux.
#include <optional>
#include <string>
#include <string_view>

namespace kv {

constexpr char16_t kReplacementChar = 0xFFFD;

// Lenient: every byte that does not start a well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Strict: fails on overlong forms, surrogates, code points above U+10FFFF and truncated sequences.
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8);
bool IsValidUtf8(std::string_view utf8);
// Length of a well-formed UTF-8 sequence that starts at bytes[0] (1..4), or 0 when it is malformed, or
// the negative count of bytes still missing when the input ends inside an otherwise well-formed sequence.
int Utf8SequenceLength(std::string_view bytes);

// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// One code point in UTF-8, whatever it is (a lone surrogate gives its three bytes).
void AppendUtf8(std::string& out, char32_t codePoint);
// Each byte is the code point of the same value.
std::u16string Latin1ToUtf16(std::string_view latin1);
// Each UTF-16 unit below 256 becomes that byte, any other becomes '?'.
std::string Utf16ToLatin1(std::u16string_view utf16);

} // namespace kv
