#pragma once
// The state kept by every transport; the page adds its own "waiting to reconnect" on top.

namespace kv {

enum class TransportState : int {
    Disconnected = 0,
    Connecting = 1,
    Connected = 2,
    Error = 3,
};

} // namespace kv
