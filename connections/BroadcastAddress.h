#pragma once
// The choice of the logger network's default broadcast address among the computer's interfaces.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct InterfaceAddress {
    uint32_t address = 0; // host byte order
    uint32_t netmask = 0; // host byte order
    bool up = false;
    bool loopback = false;
};

// Private networks are preferred (192.168/16, then 172.16/12, 10/8, 169.254/16, then any other); the first
// interface of the best rank gives its broadcast address. Interfaces that are down, loopback, without an
// address or of a /31 or /32 network do not count; without one, "127.255.255.255".
std::u16string ChooseBroadcastAddress(const std::vector<InterfaceAddress>& interfaces);

// "%u.%u.%u.%u" from the most significant byte.
std::u16string FormatIpv4(uint32_t address);

} // namespace kv
