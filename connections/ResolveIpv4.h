#pragma once
// Name resolution of a cluster's host for a TCP connection (the Telnet transport, the connection probe).
#include <string>

#include "win/Win32.h"

namespace kv {

// GetAddrInfoW for IPv4 stream sockets over TCP; service may be null. A dotted quad goes to the resolver in
// plain decimal, so that a part with a leading zero is not read as octal. The result is GetAddrInfoW's.
int ResolveIpv4(const std::u16string& host, const wchar_t* service, ADDRINFOW** addresses);

} // namespace kv
