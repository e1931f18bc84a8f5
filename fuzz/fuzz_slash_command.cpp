// Lines typed in a send line or sent by a logger station.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Text.h"
#include "base/Utf.h"
#include "connections/SlashCommand.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string line = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const ParsedCommand parsed = ParseSlashCommand(line);
    if (parsed.Code < SlashNone || parsed.Code > SlashExit) abort();
    if (parsed.Code == SlashNone && !parsed.Argument.empty()) abort();
    if (Trim(parsed.Argument) != parsed.Argument) abort();
    if (parsed.Code != SlashNone && !Trim(line).starts_with(u"/")) abort();
    if (parsed.Argument.size() >= line.size() && !parsed.Argument.empty()) abort();
    return 0;
}
