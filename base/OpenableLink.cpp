#include "base/OpenableLink.h"

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {
namespace {

// The shell or the browser may end the address at any blank or control character.
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
