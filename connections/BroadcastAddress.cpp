#include "connections/BroadcastAddress.h"

#include "base/Format.h"

namespace kv {
namespace {

bool InNetwork(uint32_t address, uint32_t network, int prefixBits)
{
    const uint32_t mask = prefixBits == 0 ? 0 : ~uint32_t(0) << (32 - prefixBits);
    return (address & mask) == network;
}

int Rank(uint32_t address)
{
    if (InNetwork(address, 0xC0A80000u, 16)) return 0;
    if (InNetwork(address, 0xAC100000u, 12)) return 1;
    if (InNetwork(address, 0x0A000000u, 8)) return 2;
    if (InNetwork(address, 0xA9FE0000u, 16)) return 3;
    return 4;
}

bool Qualifies(const InterfaceAddress& i)
{
    return i.up && !i.loopback && i.address != 0 && i.netmask < 0xFFFFFFFEu;
}

} // namespace

std::u16string FormatIpv4(uint32_t a)
{
    return FormatText(u"%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF);
}

std::u16string ChooseBroadcastAddress(const std::vector<InterfaceAddress>& interfaces)
{
    const InterfaceAddress* best = nullptr;
    for (const auto& i : interfaces)
        if (Qualifies(i) && (!best || Rank(i.address) < Rank(best->address))) best = &i;
    if (!best) return u"127.255.255.255";
    return FormatIpv4((best->address & best->netmask) | ~best->netmask);
}

} // namespace kv
