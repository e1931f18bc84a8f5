#pragma once
// The logger-network link as the connection pages see it.
#include "connections/CQuarnelNetwork.h"
#include "connections/ILoggerLink.h"

namespace kv {

class CQuarnelLoggerLink : public ILoggerLink {
public:
    explicit CQuarnelLoggerLink(CQuarnelNetwork& network) : network_(network) {}

    bool IsOpen() const override { return network_.IsOpen(); }
    bool SendReceivedSpot(std::string_view lines, std::u16string& error) override
    {
        return network_.SendReceivedSpot(lines, error);
    }
    bool SendSkimmerClient(const std::u16string& station, int radioIndex, std::u16string& error) override
    {
        return network_.SendSkimmerClient(station, radioIndex, error);
    }

private:
    CQuarnelNetwork& network_;
};

} // namespace kv
