#pragma once
// The link to the Quarnel logger network: a UDP socket on the network's port that broadcasts the packets
// of this program and reports arrivals to a hidden message-only window, where they are reassembled per
// sender, decoded and handed to the listener. The socket is read in the thread's read turns. User-interface
// thread only.
#include <cstdint>
#include <string>
#include <string_view>

#include "connections/CReadTurns.h"
#include "connections/IQuarnelListener.h"
#include "connections/QuarnelReassembly.h"
#include "win/MessageOnlyWindow.h"
#include "win/Win32.h"

namespace kv {

inline constexpr UINT WM_APP_QUARNEL_SOCKET = WM_APP + 0x16;

// "network error %d".
std::u16string FormatNetworkError(int code);

class CQuarnelNetwork : private IReadSource {
public:
    // Datagrams read in one turn at most (and no more than a slice's time of them), so that a cluster's socket
    // waits behind no more than these.
    static constexpr int kMaxDatagramsPerTurn = 64;

    CQuarnelNetwork() = default;
    CQuarnelNetwork(const CQuarnelNetwork&) = delete;
    CQuarnelNetwork& operator=(const CQuarnelNetwork&) = delete;
    ~CQuarnelNetwork() override { Close(); }

    // Closes what was open, then binds the port and broadcasts to the address. False with the error text.
    bool Open(const std::u16string& broadcastAddress, int port, const std::u16string& applicationId,
              std::u16string& error);
    // Closes the socket and destroys the window.
    void Close();
    // Closes the socket but keeps the window, ahead of a restart with new settings.
    void Stop();
    bool IsOpen() const { return socket_ != INVALID_SOCKET; }
    SOCKET Socket() const { return socket_; }

    void SetListener(IQuarnelListener* listener) { listener_ = listener; }
    IQuarnelListener* Listener() const { return listener_; }

    // Each send clears the error text and succeeds without sending while the link is closed. False with an
    // empty text: a failure of a run already reported.
    bool SendReceivedSpot(std::string_view lines, std::u16string& error);
    bool SendGab(const std::u16string& station, const std::u16string& message, std::u16string& error);
    bool SendSkimmerClient(const std::u16string& station, int radioIndex, std::u16string& error);
    bool SendPacket(std::string_view text, std::u16string& error);

    // The trimmed address given to Open and the port, for the log line of a successful start.
    const std::u16string& BroadcastAddressText() const { return broadcastText_; }
    int Port() const { return port_; }
    int Generation() const { return generation_; }
    HWND Window() const { return window_.Handle(); }

    // Reassembly and delivery of one datagram of a sender (address and port in host byte order).
    void OnDatagram(uint32_t address, uint16_t port, std::string_view bytes);

private:
    bool CreateWindowOnce();
    bool OpenSocket(std::u16string& error);
    void CloseSocket();
    bool FailSocket(std::u16string& error);
    LRESULT OnSocketNotify(WPARAM wParam, LPARAM lParam);
    // IReadSource
    bool ReadPortion() override;
    bool NotifyArrivals();

    CMessageOnlyWindow window_;
    IQuarnelListener* listener_ = nullptr;
    SOCKET socket_ = INVALID_SOCKET;
    int generation_ = 0;
    std::u16string broadcastText_;
    int port_ = 0;
    std::string applicationId_; // escaped 8-bit form
    IN_ADDR broadcast_{};
    bool sendErrorReported_ = false;
    CQuarnelReassembly partials_;
};

} // namespace kv
