// Sections of first-version settings files, read whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Ascii.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "connections/IniSectionMap.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string lines = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    for (auto& c : lines)
        if (c == u'\n') c = u'\0';
    const IniSectionMap map = ParseIniSectionLines(lines);
    for (const auto& [key, value] : map) {
        if (ToLowerAscii(key) != key || Trim(key) != key || Trim(value) != value) abort();
        if (GetIniValue(map, ToUpperAscii(key)) != value) abort();
    }
    return 0;
}
