#pragma once
// The text shown for a failed web transfer: a WinINet or system error code put into words.
#include <string>

namespace kv {

// "error %lu: %s" for a code the program knows, else "error %lu".
std::u16string FormatInternetError(unsigned long code);

} // namespace kv
