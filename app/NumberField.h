#pragma once
// Number fields of the dialogs read as a dialog's data exchange does: blanks around the number are allowed,
// anything else that is not a whole number in range is refused with its message.
#include <string>
#include <string_view>

namespace kv {

struct NumberFieldValue {
    bool ok = false;
    long long value = 0;
    std::u16string message; // why it was refused
};

// A whole number in min..max: "Enter an integer." or "Enter an integer between %d and %d.".
NumberFieldValue ReadIntegerField(std::u16string_view text, int min, int max);
// A whole number of 0 or more that fits 32 bits: "Enter a positive integer.".
NumberFieldValue ReadUnsignedField(std::u16string_view text);

} // namespace kv
