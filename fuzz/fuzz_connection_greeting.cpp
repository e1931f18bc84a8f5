// What a probed node sends before anyone types: Telnet commands, text in any encoding, prompts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Utf.h"
#include "directory/ConnectionTestVerdict.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string greeting = DecodeGreeting(bytes);
    if (greeting.size() > bytes.size()) abort();
    if (bytes.find('\xff') == std::string::npos) { // no Telnet command: every byte is text
        if (DecodeGreeting(bytes + "\xff") != greeting) abort(); // a lone IAC at the end is dropped
        const auto utf8 = Utf8ToUtf16Strict(bytes);
        if (utf8 ? greeting != *utf8 : greeting != Latin1ToUtf16(bytes)) abort();
    }
    const std::u16string verdict = DescribeConnectionTest(TestAnswered, 0, 12, greeting);
    if (verdict.rfind(u"Answers in 12 ms", 0) != 0) abort();
    return 0;
}
