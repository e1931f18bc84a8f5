#pragma once
// The logger network as the connection pages use it.
#include <string>
#include <string_view>

namespace kv {

class ILoggerLink {
public:
    virtual ~ILoggerLink() = default;
    virtual bool IsOpen() const = 0;
    // False with an error text to report, or with an empty one for a failure already reported.
    virtual bool SendReceivedSpot(std::string_view lines, std::u16string& error) = 0;
    virtual bool SendSkimmerClient(const std::u16string& station, int radioIndex, std::u16string& error) = 0;
};

} // namespace kv
