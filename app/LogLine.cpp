#include "app/LogLine.h"

#include "base/Format.h"

namespace kv {
namespace {

std::u16string OnOneLine(std::u16string_view text)
{
    std::u16string line(text);
    for (char16_t& c : line)
        if (c == u'\r' || c == u'\n' || c == u'\0') c = u' ';
    return line;
}

} // namespace

std::u16string FormatLogLine(const UtcTime& time, std::u16string_view connectionName, std::u16string_view text)
{
    const std::u16string stamp = FormatText(u"%04u-%02u-%02u %02u:%02u:%02uZ", time.year, time.month, time.day,
                                            time.hour, time.minute, time.second);
    const std::u16string body = OnOneLine(text);
    if (connectionName.empty()) return FormatText(u"%s %s", stamp, body);
    return FormatText(u"%s [%s] %s", stamp, OnOneLine(connectionName), body);
}

} // namespace kv
