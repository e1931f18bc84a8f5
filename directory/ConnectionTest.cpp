#include "directory/ConnectionTest.h"

#include <process.h>

#include "base/Format.h"
#include "connections/ResolveIpv4.h"

namespace kv {
namespace {

constexpr DWORD kConnectLimitMs = kConnectionTestConnectSeconds * 1000;

timeval ToTimeval(uint64_t ms)
{
    timeval tv{};
    tv.tv_sec = long(ms / 1000);
    tv.tv_usec = long(ms % 1000 * 1000);
    return tv;
}

// Keeps Winsock started while the probe runs, whatever the program does with its own start meanwhile.
class CWinsockUse {
public:
    CWinsockUse()
    {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~CWinsockUse()
    {
        if (started_) ::WSACleanup();
    }
    CWinsockUse(const CWinsockUse&) = delete;
    CWinsockUse& operator=(const CWinsockUse&) = delete;

private:
    bool started_ = false;
};

class CAddressList {
public:
    CAddressList() = default;
    ~CAddressList()
    {
        if (list_) ::FreeAddrInfoW(list_);
    }
    CAddressList(const CAddressList&) = delete;
    CAddressList& operator=(const CAddressList&) = delete;
    ADDRINFOW** Out() { return &list_; }
    const ADDRINFOW* First() const { return list_; }

private:
    ADDRINFOW* list_ = nullptr;
};

class CSocket {
public:
    explicit CSocket(SOCKET s) : socket_(s) {}
    ~CSocket()
    {
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    }
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    SOCKET Get() const { return socket_; }

private:
    SOCKET socket_;
};

int SocketError(SOCKET s)
{
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
        return ::WSAGetLastError();
    return error;
}

struct ConnectOutcome {
    ConnectionTestStatus status;
    int error;
};

ConnectOutcome Failed(int error) { return {StatusOfConnectError(error), error}; }

// Waits for a non-blocking connect to end.
ConnectOutcome WaitForConnection(SOCKET s)
{
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit = ToTimeval(kConnectLimitMs);
    const int ready = ::select(0, nullptr, &writable, &failed, &limit);
    if (ready == 0) return {TestNoAnswer, 0};
    if (ready == SOCKET_ERROR) return Failed(::WSAGetLastError());
    // A failed attempt may be reported as writable too: the socket's own error decides.
    const int error = SocketError(s);
    if (FD_ISSET(s, &failed) || error != 0) return Failed(error);
    return {TestAnswered, 0};
}

ConnectOutcome Connect(SOCKET s, const ADDRINFOW& address)
{
    if (::connect(s, address.ai_addr, int(address.ai_addrlen)) == 0) return {TestAnswered, 0};
    const int error = ::WSAGetLastError();
    return error == WSAEWOULDBLOCK ? WaitForConnection(s) : Failed(error);
}

bool WaitReadable(SOCKET s, uint64_t ms)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval limit = ToTimeval(ms);
    return ::select(0, &readable, nullptr, nullptr, &limit) == 1;
}

std::string CollectGreeting(SOCKET s)
{
    CGreetingCollector collector(::GetTickCount64());
    char piece[CGreetingCollector::kReadPiece];
    for (uint64_t wait; (wait = collector.WaitMs(::GetTickCount64())) > 0;) {
        if (!WaitReadable(s, wait)) break;
        const int got = ::recv(s, piece, sizeof piece, 0);
        if (got <= 0) break;
        collector.Add(piece, size_t(got));
    }
    return collector.Bytes();
}

void Probe(const ADDRINFOW& address, ConnectionTestResult& result)
{
    const CSocket s(::socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (s.Get() == INVALID_SOCKET) {
        result.ErrorCode = ::WSAGetLastError();
        return;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s.Get(), FIONBIO, &nonBlocking);
    const uint64_t start = ::GetTickCount64();
    const ConnectOutcome outcome = Connect(s.Get(), address);
    result.Status = outcome.status;
    result.ErrorCode = outcome.error;
    if (outcome.status != TestAnswered) return;
    result.ElapsedMs = uint32_t(::GetTickCount64() - start);
    result.Greeting = DecodeGreeting(CollectGreeting(s.Get()));
}

} // namespace

std::unique_ptr<ConnectionTestResult> RunConnectionTest(const ConnectionTestRequest& request)
{
    auto result = std::make_unique<ConnectionTestResult>();
    result->RequestId = request.RequestId;
    const CWinsockUse winsock;
    const std::u16string service = FormatText(u"%d", request.Port);
    CAddressList addresses;
    const int resolveError = ResolveIpv4(request.Host, W(service), addresses.Out());
    if (resolveError != 0) {
        result->Status = StatusOfResolveError(resolveError);
        result->ErrorCode = resolveError;
    } else if (addresses.First()) {
        Probe(*addresses.First(), *result); // only the first address is tried
    }
    return result;
}

unsigned __stdcall ConnectionTestThread(void* argument)
{
    const std::unique_ptr<ConnectionTestRequest> request(static_cast<ConnectionTestRequest*>(argument));
    PostRecord(request->Window, WM_APP_CONNECTION_TEST_RESULT, 0, RunConnectionTest(*request));
    return 0;
}

bool StartConnectionTest(std::unique_ptr<ConnectionTestRequest> request)
{
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &ConnectionTestThread, request.get(), 0, nullptr);
    if (!thread) return false; // the request is freed here
    request.release(); // the thread's now
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

} // namespace kv
