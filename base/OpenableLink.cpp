#include "base/OpenableLink.h"

#include "base/Ascii.h"

namespace kv {
namespace {

// Every control character (C0, DEL and C1) and every Unicode white space, the line and paragraph
// separators included: the shell or the browser may end the address at any of them.
bool IsBlankOrControl(char16_t c)
{
    return c <= u' ' || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsPlainAddress(std::u16string_view rest)
{
    if (rest.empty()) return false;
    for (char16_t c : rest)
        if (IsBlankOrControl(c) || c == u'"') return false;
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
