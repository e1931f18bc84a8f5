#pragma once
// The transport of Telnet and CW Skimmer connections: the portable session over a Winsock TCP socket that
// reports to a hidden message-only window, with host-name resolution on a short-lived thread. The socket is
// read in the thread's read turns.
#include "connections/CReadTurns.h"
#include "connections/CTelnetSession.h"
#include "win/MessageOnlyWindow.h"
#include "win/SystemClock.h"

namespace kv {

constexpr UINT WM_APP_TELNET_SOCKET = WM_APP + 0x14;
constexpr UINT WM_APP_HOST_RESOLVED = WM_APP + 0x15;

class CTelnetConnection : private ITelnetSocket, private ITimerHost, private IReadSource, public CTelnetSession {
public:
    explicit CTelnetConnection(ITransportListener* listener);
    ~CTelnetConnection() override;

    // Keep-alive timing of the next connection: [General] LostConnectionDelay in seconds (60 by default).
    void SetLostConnectionDelay(int seconds) { lostConnectionDelaySeconds_ = seconds; }
    HWND Window() const { return window_; }
    // Resolver records not yet freed, by the window's handler or by the thread (all connections together).
    static int LiveResolveRequests();

private:
    // ITelnetSocket
    bool OpenWindow() override;
    bool StartResolve(unsigned attempt, const std::u16string& host) override;
    bool HasSocket() const override { return socket_ != INVALID_SOCKET; }
    int Send(std::string_view bytes, int& error) override;
    void Close() override;
    // ITimerHost
    bool StartTimer(unsigned id, unsigned periodMs) override;
    void StopTimer(unsigned id) override;
    // IReadSource: one read of at most kReadSize bytes.
    bool ReadPortion() override;

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnHostResolved(LPARAM record);
    void OpenSocket(const sockaddr_in& resolved);
    void OnSocketEvent(SOCKET socket, WORD event, WORD error);
    void DrainAndClose();
    void ApplyKeepAlive();

    CSystemClock clock_;
    CMessageOnlyWindow window_;
    SOCKET socket_ = INVALID_SOCKET;
    int lostConnectionDelaySeconds_ = 60;
};

} // namespace kv
