#pragma once
// Dotted IPv4 addresses are the user's decimal numbers: the system's resolvers read a part with a leading
// zero as octal ("127.0.0.010" would be 127.0.0.8), so such a text is written without its leading zeros first.
#include <string>
#include <string_view>

namespace kv {

// Four parts of decimal digits, each of value 0..255 (any leading zeros), joined by points: the same address
// without leading zeros ("127.000.000.010" -> "127.0.0.10"). Any other text (host names, a part above 255,
// fewer or more parts) comes back as it is.
std::string DecimalDottedQuad(std::string_view host);
std::u16string DecimalDottedQuad(std::u16string_view host);

} // namespace kv
