#pragma once
// The number at the start of a text, read the way the C library's wtoi reads it: blanks, an optional sign,
// the digits; anything after them is ignored and a text without digits reads as 0. Out-of-range values
// stop at the limits of int.
#include <string_view>

namespace kv {

int ParseLeadingInteger(std::u16string_view text);

} // namespace kv
