#include "connections/ReceivedLines.h"

#include "base/Utf.h"
#include "connections/TelnetText.h"

namespace kv {

std::string RemoveCarriageReturns(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != '\r' || i + 1 >= bytes.size() || bytes[i + 1] != '\n') result += bytes[i];
    return result;
}

std::string DropLinesContaining(std::string_view block, std::string_view marker)
{
    std::string result;
    for (std::string_view line : SplitKeepingLineEnds(block))
        if (line.find(marker) == std::string_view::npos) result += line;
    return result;
}

std::string DecodeLineForFilters(std::string_view bytes) { return Utf16ToUtf8(DecodeReceivedBytes(bytes)); }

} // namespace kv
