#pragma once
// The platform side of a Telnet connection as its portable session sees it: the hidden window, the
// resolver thread and the TCP socket. Error codes are Winsock's.
#include <string>
#include <string_view>

namespace kv {

enum : int {
    kWsaInvalidArgument = 10022,
    kWsaWouldBlock = 10035,
    kWsaNetworkDown = 10050,
    kWsaNetworkUnreachable = 10051,
    kWsaConnectionAborted = 10053,
    kWsaConnectionReset = 10054,
    kWsaTimedOut = 10060,
    kWsaConnectionRefused = 10061,
    kWsaHostUnreachable = 10065,
    kWsaHostNotFound = 11001,
    kWsaTryAgain = 11002,
};

class ITelnetSocket {
public:
    virtual ~ITelnetSocket() = default;
    // Creates the window that receives the notifications, when it does not exist yet.
    virtual bool OpenWindow() = 0;
    // Starts resolving the host for one attempt; the result comes back later on the window.
    virtual bool StartResolve(unsigned attempt, const std::u16string& host) = 0;
    virtual bool HasSocket() const = 0;
    // Returns the count of bytes accepted, or -1 with the error code.
    virtual int Send(std::string_view bytes, int& error) = 0;
    // Stops the notifications and closes the socket, if there is one.
    virtual void Close() = 0;
};

} // namespace kv
