#include "connections/CTelnetConnection.h"

#include <mstcpip.h>

#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "connections/CSocketReadTurns.h"
#include "connections/ResolveIpv4.h"
#include "win/PostedRecord.h"

namespace kv {
namespace {

std::atomic<int> g_liveResolveRequests{0};

// What the resolver thread is given and posts back; whoever holds it last frees it.
struct HostResolveRequest : CPostedRecord {
    HostResolveRequest() { ++g_liveResolveRequests; }
    ~HostResolveRequest() override { --g_liveResolveRequests; }
    HWND window = nullptr;
    unsigned attempt = 0;
    std::u16string host;
    int error = 0;
    sockaddr_in address{};
};

void ResolveHostThread(std::unique_ptr<HostResolveRequest> request)
{
    ADDRINFOW* result = nullptr;
    request->error = ResolveIpv4(request->host, nullptr, &result);
    if (request->error == 0) {
        if (result && result->ai_addr && result->ai_addrlen >= sizeof(sockaddr_in))
            std::memcpy(&request->address, result->ai_addr, sizeof(sockaddr_in));
        else
            request->error = kWsaHostNotFound;
        ::FreeAddrInfoW(result);
    }
    const HWND window = request->window;
    const unsigned attempt = request->attempt;
    PostRecord(window, WM_APP_HOST_RESOLVED, attempt, std::move(request)); // frees it when the post fails
}

} // namespace

int CTelnetConnection::LiveResolveRequests() { return g_liveResolveRequests.load(); }

CTelnetConnection::CTelnetConnection(ITransportListener* listener)
    : CTelnetSession(listener, *this, *this, clock_)
{
}

CTelnetConnection::~CTelnetConnection()
{
    CloseSocket();
    window_.Destroy(); // frees resolver results still queued
}

bool CTelnetConnection::OpenWindow()
{
    if (window_) return true;
    if (!window_.Create([this](UINT msg, WPARAM w, LPARAM l, LRESULT&) { return OnMessage(msg, w, l); }))
        return false;
    window_.SetText(u"Kestrivane socket");
    window_.AcceptRecords(WM_APP_HOST_RESOLVED);
    return true;
}

bool CTelnetConnection::StartResolve(unsigned attempt, const std::u16string& host)
{
    auto request = std::make_unique<HostResolveRequest>();
    request->window = window_;
    request->attempt = attempt;
    request->host = host;
    try {
        std::thread(ResolveHostThread, std::move(request)).detach();
    } catch (const std::system_error&) {
        return false; // the request went down with the thread's arguments
    }
    return true;
}

int CTelnetConnection::Send(std::string_view bytes, int& error)
{
    const int n = ::send(socket_, bytes.data(), int(bytes.size() < 0x10000000 ? bytes.size() : 0x10000000), 0);
    if (n == SOCKET_ERROR) {
        error = ::WSAGetLastError();
        return -1;
    }
    return n;
}

void CTelnetConnection::Close()
{
    if (socket_ == INVALID_SOCKET) return;
    CSocketReadTurns::Turns().Forget(*this);
    ::WSAAsyncSelect(socket_, window_, 0, 0);
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

bool CTelnetConnection::StartTimer(unsigned id, unsigned periodMs) { return window_ && window_.SetTimer(id, periodMs); }

void CTelnetConnection::StopTimer(unsigned id)
{
    if (window_) window_.KillTimer(id);
}

bool CTelnetConnection::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_APP_TELNET_SOCKET:
        OnSocketEvent(SOCKET(wParam), WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
        return true;
    case WM_APP_HOST_RESOLVED:
        OnHostResolved(lParam);
        return true;
    case WM_TIMER:
        OnTimer(unsigned(wParam));
        return true;
    default:
        return false;
    }
}

void CTelnetConnection::OnHostResolved(LPARAM record)
{
    const auto request = TakeRecord<HostResolveRequest>(record);
    if (!WantsResolverResult(request->attempt)) return; // a late result of an earlier attempt
    if (request->error != 0) {
        OnResolveFailed(request->error);
        return;
    }
    OpenSocket(request->address);
}

void CTelnetConnection::OpenSocket(const sockaddr_in& resolved)
{
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET ||
        ::WSAAsyncSelect(socket_, window_, WM_APP_TELNET_SOCKET, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
        ReportError(344, ::WSAGetLastError());
        return;
    }
    sockaddr_in address = resolved;
    address.sin_port = ::htons(u_short(Port()));
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) ReportError(344, error);
    }
}

void CTelnetConnection::OnSocketEvent(SOCKET socket, WORD event, WORD error)
{
    if (socket == INVALID_SOCKET || socket != socket_) return;
    switch (event) {
    case FD_CONNECT:
        if (error == 0) ApplyKeepAlive();
        OnConnectDone(error);
        break;
    case FD_READ:
        CSocketReadTurns::Turns().MarkReadable(*this);
        break;
    case FD_WRITE:
        OnWritable();
        break;
    case FD_CLOSE:
        if (error != 0) ReportError(345, error);
        else DrainAndClose();
        break;
    default:
        break;
    }
}

// Each read makes Winsock tell again while more waits; the turns keep the socket marked until a read finds
// nothing.
bool CTelnetConnection::ReadPortion()
{
    char buffer[kReadSize];
    const int n = ::recv(socket_, buffer, sizeof buffer, 0);
    if (n > 0) {
        OnReceived(std::string_view(buffer, size_t(n)));
        return socket_ != INVALID_SOCKET;
    }
    if (n == SOCKET_ERROR) OnReceiveError(::WSAGetLastError());
    return false; // 0: the server closed; FD_CLOSE follows
}

// A reset can arrive as a close without an error code (Wine does so); the read error tells it from an
// orderly close.
void CTelnetConnection::DrainAndClose()
{
    char buffer[kReadSize];
    while (socket_ != INVALID_SOCKET) {
        const int n = ::recv(socket_, buffer, sizeof buffer, 0);
        if (n > 0) {
            OnReceived(std::string_view(buffer, size_t(n)));
            continue;
        }
        if (n == SOCKET_ERROR) OnReceiveError(::WSAGetLastError());
        break;
    }
    OnServerClosed();
}

// Dead peers are noticed after about the lost-connection delay; failures leave the defaults in place.
void CTelnetConnection::ApplyKeepAlive()
{
    BOOL on = TRUE;
    ::setsockopt(socket_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
    tcp_keepalive values{};
    values.onoff = 1;
    values.keepalivetime = ULONG(lostConnectionDelaySeconds_) * 1000 / 2;
    values.keepaliveinterval = values.keepalivetime / 10;
    DWORD returned = 0;
    ::WSAIoctl(socket_, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr, nullptr);
}

} // namespace kv
