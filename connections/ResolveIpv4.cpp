#include "connections/ResolveIpv4.h"

#include "base/DecimalDottedQuad.h"

namespace kv {

int ResolveIpv4(const std::u16string& host, const wchar_t* service, ADDRINFOW** addresses)
{
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    return ::GetAddrInfoW(W(DecimalDottedQuad(host)), service, &hints, addresses);
}

} // namespace kv
