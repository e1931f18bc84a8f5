// Text pasted into the host field of the connection settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/HostAddress.h"
#include "base/Text.h"
#include "base/Utf.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string pasted = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    std::u16string text = pasted;
    int port = 4321;
    if (!ParseHostAddress(text, port)) {
        if (text != pasted || port != 4321) abort(); // a refused text changes nothing
        return 0;
    }
    if (text.empty() || port < 1 || port > 65535) abort();
    if (Trim(text) != text || text.find_first_of(u" \t") != std::u16string::npos) abort();
    if (text.size() > pasted.size() || pasted.find(text) == std::u16string::npos) abort();
    // A host without a colon is no address form any more: a second look refuses it.
    std::u16string again = text;
    int againPort = port;
    if (text.find(u':') == std::u16string::npos && ParseHostAddress(again, againPort)) abort();
    return 0;
}
