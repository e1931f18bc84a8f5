// Received bytes of any kind through the UTF-8 decoders: no crash, and the results agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string lenient = kv::Utf8ToUtf16(bytes);
    const auto strict = kv::Utf8ToUtf16Strict(bytes);
    if (strict.has_value() != kv::IsValidUtf8(bytes)) std::abort();
    if (strict) {
        if (*strict != lenient) std::abort();
        if (kv::Utf16ToUtf8(*strict) != bytes) std::abort(); // valid input round-trips
    }
    // What the lenient decoder gives is always valid text again.
    if (!kv::IsValidUtf8(kv::Utf16ToUtf8(lenient))) std::abort();
    return 0;
}
