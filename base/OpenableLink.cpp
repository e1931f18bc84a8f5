#include "base/OpenableLink.h"

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {
namespace {

// Characters that show nothing yet change how an address reads: zero-width characters and joiners, the
// direction marks, embeddings, overrides and isolates, the invisible operators, the byte-order mark.
bool IsInvisibleFormat(char16_t c)
{
    return c == 0x061C || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The invisible tags U+E0000 to U+E007F, as the pair of surrogates that makes each.
bool IsTag(char16_t high, char16_t low) { return high == 0xDB40 && low <= 0xDC7F; }

// The units (1 or 2) of the character at i, or 0 when it may not stand in an address: the shell or the
// browser may end the address at a blank or control character, and an invisible character or a surrogate
// that makes no character could make it read as another address than the one opened.
size_t AllowedCharacterLength(std::u16string_view s, size_t i)
{
    const char16_t c = s[i];
    if (IsBlankOrControl(c) || c == u'"' || IsInvisibleFormat(c) || IsLowSurrogate(c)) return 0;
    if (!IsHighSurrogate(c)) return 1;
    return i + 1 < s.size() && IsLowSurrogate(s[i + 1]) && !IsTag(c, s[i + 1]) ? 2 : 0;
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
