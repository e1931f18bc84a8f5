#include "app/NumberField.h"

#include <cstdint>

#include "base/Format.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/TextCatalog.h"

namespace kv {

NumberFieldValue ReadIntegerField(std::u16string_view text, int min, int max)
{
    const auto value = ParseInteger<long long>(Trim(text));
    if (!value) return {false, 0, LoadText(9720)};
    if (*value < min || *value > max) return {false, *value, FormatText(LoadText(9721), min, max)};
    return {true, *value, {}};
}

NumberFieldValue ReadUnsignedField(std::u16string_view text)
{
    const auto value = ParseInteger<uint32_t>(Trim(text));
    if (!value) return {false, 0, LoadText(9722)};
    return {true, *value, {}};
}

} // namespace kv
