#pragma once
// The broadcast address of the local network, from the interface list of Winsock (started by the caller).
#include <string>

namespace kv {

std::u16string GetDefaultBroadcastAddress();

} // namespace kv
