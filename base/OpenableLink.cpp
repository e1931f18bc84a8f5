#include "base/OpenableLink.h"

#include <algorithm>
#include <iterator>

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {
namespace {

struct CodePointRange {
    char32_t first, last;
};

// Characters that show nothing, or a mere blank, so that an address holding one reads as another: every
// default-ignorable code point (soft hyphen, joiners, direction marks and isolates, variation selectors,
// Hangul fillers, tags), the other format controls that show nothing by themselves, and the blank fillers.
constexpr CodePointRange kInvisible[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},   {0x2800, 0x2800},
    {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},
    {0x13430, 0x1343F}, {0x13441, 0x13442}, {0x16FE4, 0x16FE4}, {0x1BCA0, 0x1BCA3}, {0x1D159, 0x1D159},
    {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

bool IsInvisible(char32_t c)
{
    return std::any_of(std::begin(kInvisible), std::end(kInvisible),
                       [c](const CodePointRange& range) { return c >= range.first && c <= range.last; });
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char32_t CodePointOf(char16_t high, char16_t low)
{
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

// The units (1 or 2) of the character at i, or 0 when it may not stand in an address: the shell or the
// browser may end the address at a blank or control character, and an invisible character or a surrogate
// that makes no character could make it read as another address than the one opened.
size_t AllowedCharacterLength(std::u16string_view s, size_t i)
{
    const char16_t c = s[i];
    if (IsBlankOrControl(c) || c == u'"' || IsLowSurrogate(c)) return 0;
    if (!IsHighSurrogate(c)) return IsInvisible(c) ? 0 : 1;
    if (i + 1 >= s.size() || !IsLowSurrogate(s[i + 1])) return 0;
    return IsInvisible(CodePointOf(c, s[i + 1])) ? 0 : 2;
}

bool IsPlainAddress(std::u16string_view rest)
{
    if (rest.empty()) return false;
    for (size_t i = 0, length = 0; i < rest.size(); i += length) {
        length = AllowedCharacterLength(rest, i);
        if (length == 0) return false;
    }
    return true;
}

bool HasScheme(std::u16string_view address, std::u16string_view scheme)
{
    return StartsWithIgnoreCaseAscii(address, scheme) && IsPlainAddress(address.substr(scheme.size()));
}

} // namespace

bool IsOpenableLink(std::u16string_view address, LinkKinds kinds)
{
    if (HasScheme(address, u"https://") || HasScheme(address, u"http://")) return true;
    return kinds == LinkKinds::WebOrMail && HasScheme(address, u"mailto:");
}

} // namespace kv
