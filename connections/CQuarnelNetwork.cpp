#include "connections/CQuarnelNetwork.h"

#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/CSocketReadTurns.h"
#include "connections/QuarnelCodec.h"
#include "win/SystemClock.h"

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace kv {
namespace {

enum : unsigned {
    IDS_INVALID_BROADCAST_ADDRESS = 1311,
    IDS_NOTIFICATION_WINDOW_FAILED = 1312,
    IDS_NETWORK_ERROR = 1313,
};

constexpr int kReceiveBufferBytes = 65536;
constexpr int kDatagramBufferBytes = 2048;

// The application id and the CW Skimmer station travel in the ANSI code page of the thread.
std::string ToThreadAnsi(const std::u16string& text)
{
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, W(text), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, W(text), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool SetIntOption(SOCKET s, int name, int value)
{
    return ::setsockopt(s, SOL_SOCKET, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

// Reads worth skipping: a datagram too long for the buffer (lost) or an ICMP echo of an earlier send.
bool IsSkippableReceiveError(int code)
{
    return code == WSAEMSGSIZE || code == WSAENETRESET || code == WSAECONNRESET;
}

} // namespace

std::u16string FormatNetworkError(int code) { return FormatText(LoadText(IDS_NETWORK_ERROR), code); }

bool CQuarnelNetwork::Open(const std::u16string& broadcastAddress, int port, const std::u16string& applicationId,
                           std::u16string& error)
{
    error.clear();
    CloseSocket();
    partials_.Clear();
    ++generation_;

    broadcastText_ = Trim(broadcastAddress);
    port_ = port;
    sendErrorReported_ = false;
    applicationId_ = EscapeField(ToThreadAnsi(applicationId));

    IN_ADDR address{};
    if (::InetPtonW(AF_INET, W(broadcastText_), &address) != 1) {
        error = FormatText(LoadText(IDS_INVALID_BROADCAST_ADDRESS), broadcastText_);
        return false;
    }
    broadcast_ = address;
    if (!CreateWindowOnce()) {
        error = LoadText(IDS_NOTIFICATION_WINDOW_FAILED);
        return false;
    }
    if (!OpenSocket(error)) return false;
    ++generation_;
    return true;
}

bool CQuarnelNetwork::CreateWindowOnce()
{
    if (window_.Handle()) return true;
    const bool created = window_.Create([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (msg != WM_APP_QUARNEL_SOCKET) return false;
        result = OnSocketNotify(wParam, lParam);
        return true;
    });
    if (created) window_.SetText(u"Kestrivane Quarnel network");
    return created;
}

bool CQuarnelNetwork::OpenSocket(std::u16string& error)
{
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        error = FormatNetworkError(::WSAGetLastError());
        return false;
    }
    socket_ = s;
    if (!SetIntOption(s, SO_BROADCAST, 1) || !SetIntOption(s, SO_REUSEADDR, 1) ||
        !SetIntOption(s, SO_RCVBUF, kReceiveBufferBytes))
        return FailSocket(error);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(u_short(port_));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return FailSocket(error);

    BOOL reportReset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr, nullptr);

    if (!NotifyArrivals()) return FailSocket(error);
    return true;
}

bool CQuarnelNetwork::FailSocket(std::u16string& error)
{
    error = FormatNetworkError(::WSAGetLastError());
    CloseSocket();
    return false;
}

void CQuarnelNetwork::CloseSocket()
{
    if (socket_ == INVALID_SOCKET) return;
    CSocketReadTurns::Turns().Forget(*this);
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

void CQuarnelNetwork::Stop()
{
    CloseSocket();
    partials_.Clear();
    ++generation_;
}

void CQuarnelNetwork::Close()
{
    Stop();
    if (window_.Handle()) ::DestroyWindow(window_.Handle());
}

bool CQuarnelNetwork::SendPacket(std::string_view text, std::u16string& error)
{
    error.clear();
    if (!IsOpen()) return true;
    const std::string framed = FramePacket(text);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(u_short(port_));
    to.sin_addr = broadcast_;
    for (const auto datagram : CutIntoDatagrams(framed)) {
        const int sent = ::sendto(socket_, datagram.data(), int(datagram.size()), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent == SOCKET_ERROR) {
            // A run of failures is reported once, and again after a packet went through.
            if (!sendErrorReported_) error = FormatNetworkError(::WSAGetLastError());
            sendErrorReported_ = true;
            return false;
        }
    }
    sendErrorReported_ = false;
    return true;
}

bool CQuarnelNetwork::SendReceivedSpot(std::string_view lines, std::u16string& error)
{
    error.clear();
    if (!IsOpen() || lines.empty()) return true;
    return SendPacket(MakeReceivedSpotPacket(applicationId_, lines), error);
}

bool CQuarnelNetwork::SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error)
{
    error.clear();
    if (!IsOpen()) return true;
    return SendPacket(MakeGabPacket(applicationId_, WideToLatin1(station), WideToLatin1(message)), error);
}

bool CQuarnelNetwork::SendSkimmerClient(const std::u16string& station, int radioIndex, std::u16string& error)
{
    error.clear();
    if (!IsOpen()) return true;
    return SendPacket(MakeSkimmerClientPacket(applicationId_, ToThreadAnsi(station), radioIndex), error);
}

bool CQuarnelNetwork::NotifyArrivals()
{
    return ::WSAAsyncSelect(socket_, window_.Handle(), WM_APP_QUARNEL_SOCKET, FD_READ) == 0;
}

// Every read makes Winsock notify again while more datagrams wait: notifications that find the socket marked
// already would only crowd the queue. So they are off from the first until a turn finds the socket empty, and
// on again then, when Winsock notifies at once if more came meanwhile. Under a flood, what is not read in time
// is dropped by the system, as UDP allows.
LRESULT CQuarnelNetwork::OnSocketNotify(WPARAM wParam, LPARAM lParam)
{
    if (!IsOpen() || SOCKET(wParam) != socket_ || WSAGETSELECTEVENT(lParam) != FD_READ) return 0;
    ::WSAAsyncSelect(socket_, window_.Handle(), 0, 0);
    CSocketReadTurns::Turns().MarkReadable(*this);
    return 0;
}

// A turn that read something keeps the socket marked, so that it is looked at again after the other sockets'
// turns (their lines forwarded come back here): only a turn that finds it empty at once ends its marking. A
// station's packet may run 32 commands, each sent to every cluster: the turn ends once it has taken a slice's
// time, so that a flood of them keeps input and paint waiting no longer than other sockets do.
bool CQuarnelNetwork::ReadPortion()
{
    const int generation = generation_;
    char buffer[kDatagramBufferBytes];
    const CPerformanceClock clock;
    const uint64_t start = clock.TickCount();
    for (int n = 0; n < kMaxDatagramsPerTurn; ++n) {
        if (n > 0 && clock.TickCount() - start >= CReadTurns::kSliceMs) return true;
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int got = ::recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got == SOCKET_ERROR) {
            if (IsSkippableReceiveError(::WSAGetLastError())) continue;
            if (n > 0) return true;
            NotifyArrivals();
            return false;
        }
        if (got > 0) OnDatagram(ntohl(from.sin_addr.s_addr), ntohs(from.sin_port), std::string_view(buffer, size_t(got)));
        // A listener that closed or restarted the link has forgotten this socket's turns.
        if (generation != generation_ || !IsOpen()) return false;
    }
    return true;
}

void CQuarnelNetwork::OnDatagram(uint32_t address, uint16_t port, std::string_view bytes)
{
    // The packets leave the sender's buffer before anyone hears of them, so a listener that restarts the
    // link cannot see them twice; after a restart the rest of them is dropped.
    const auto packets = partials_.Add(CQuarnelReassembly::SenderKey(address, port), bytes);
    const int generation = generation_;
    for (const auto& packet : packets) {
        if (!listener_ || generation != generation_) return;
        const auto fields = DecodePacket(packet);
        if (!fields.empty()) listener_->OnQuarnelPacket(fields);
    }
}

} // namespace kv
