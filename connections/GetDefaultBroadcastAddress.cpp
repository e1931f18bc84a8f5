#include "connections/GetDefaultBroadcastAddress.h"

#include "connections/BroadcastAddress.h"
#include "win/Win32.h"

namespace kv {
namespace {

bool ReadInterfaceList(std::vector<InterfaceAddress>& interfaces)
{
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return false;
    INTERFACE_INFO list[64] = {};
    DWORD bytes = 0;
    const int rc = ::WSAIoctl(s, SIO_GET_INTERFACE_LIST, nullptr, 0, list, sizeof list, &bytes, nullptr, nullptr);
    ::closesocket(s);
    if (rc != 0) return false;
    const size_t count = bytes / sizeof(INTERFACE_INFO);
    for (size_t n = 0; n < count && n < 64; ++n) {
        const INTERFACE_INFO& info = list[n];
        InterfaceAddress entry;
        entry.address = ntohl(info.iiAddress.AddressIn.sin_addr.s_addr);
        entry.netmask = ntohl(info.iiNetmask.AddressIn.sin_addr.s_addr);
        entry.up = (info.iiFlags & IFF_UP) != 0;
        entry.loopback = (info.iiFlags & IFF_LOOPBACK) != 0;
        interfaces.push_back(entry);
    }
    return true;
}

} // namespace

std::u16string GetDefaultBroadcastAddress()
{
    std::vector<InterfaceAddress> interfaces;
    if (!ReadInterfaceList(interfaces)) return u"127.255.255.255";
    return ChooseBroadcastAddress(interfaces);
}

} // namespace kv
