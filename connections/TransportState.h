#pragma once
// The state kept by every transport; the page adds its own "waiting to reconnect" on top.
#include <string>

#include "base/TextCatalog.h"

namespace kv {

enum class TransportState : int {
    Disconnected = 0,
    Connecting = 1,
    Connected = 2,
    Error = 3,
};

// "Disconnected", "Connecting", "Connected" or "Error", from the string table.
inline std::u16string TransportStateText(TransportState state)
{
    constexpr unsigned kIdsFirstTransportState = 325;
    return LoadText(kIdsFirstTransportState + unsigned(state));
}

} // namespace kv
