#pragma once
// Everything of a Telnet (and CW Skimmer) connection that is not the platform's: the states, the Telnet
// layer, the received text, the sent lines, the login and the paced commands. The platform side drives it
// with its notifications and reaches the socket, the resolver and the timers through small interfaces.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Format.h"
#include "base/Platform.h"
#include "connections/CConnectionSettings.h"
#include "connections/CReceiveBuffer.h"
#include "connections/CTelnetLogin.h"
#include "connections/CTelnetProtocol.h"
#include "connections/IClusterTransport.h"
#include "connections/ITelnetSocket.h"

namespace kv {

class CTelnetSession : public IClusterTransport, private ITelnetLoginHost {
public:
    static constexpr unsigned kConnectTimer = 1;
    static constexpr unsigned kConnectTimeoutMs = 20000;
    static constexpr size_t kReadSize = 4096;
    // What may wait for a node that does not read: beyond it, lines are refused (option answers still go).
    static constexpr size_t kMaxSendBuffer = size_t(4) << 20;

    CTelnetSession(ITransportListener* listener, ITelnetSocket& socket, ITimerHost& timers, const IClock& clock);

    bool Connect(const CConnectionSettings& settings, int commandDelayMs,
                 const std::vector<std::u16string>& globalCommands) override;
    void Disconnect() override;
    // Only the line ending is taken; the rest waits for the next Connect.
    void ApplySettings(const CConnectionSettings& settings) override { settings_.LineEnding = settings.LineEnding; }
    bool SendLine(const std::u16string& line) override;
    bool AcceptsCommands() const override { return true; }
    bool CanSendLines() const override { return true; }
    std::u16string SendRefusal() const override;

    // Notifications of the platform side.
    unsigned AttemptNumber() const { return attemptNumber_; }
    // A resolver result counts only for the current attempt while still connecting.
    bool WantsResolverResult(unsigned attempt) const;
    void OnResolveFailed(int error);
    int Port() const { return settings_.Port; }
    void OnConnectDone(int error);
    void OnReceived(std::string_view chunk);
    void OnReceiveError(int error);
    void OnWritable() { FlushSendBuffer(); }
    // The server closed in order and the socket has been drained into OnReceived.
    void OnServerClosed();
    void OnTimer(unsigned id);
    // Closes the socket and reports the error (344 unable to connect, 345 connection lost).
    void ReportError(unsigned messageId, int error);

    LoginState GetLoginState() const { return login_.State(); }
    // Bytes of sent lines and option answers that the socket has not taken yet.
    size_t PendingSendBytes() const { return sendBuffer_.size(); }
    int CommandDelay() const { return login_.CommandDelay(); }

protected:
    // Timers killed, socket closed, buffers and queue emptied, login idle; the state is left as it is.
    void CloseSocket();

private:
    void LogMessage(bool isError, unsigned messageId, std::optional<FormatArg> argument = std::nullopt);
    void ProcessReceived(std::string_view chunk);
    void DeliverText(const std::u16string& text);
    // Appends the line for the socket; false when refused or when the connection was lost while sending.
    bool QueueLine(const std::u16string& line);
    // False when the connection was lost while sending.
    bool FlushSendBuffer();
    // The socket took bytes after lines were refused: what waited for room goes first.
    void SendWhatWaitedForRoom();
    // Bytes of the send buffer taken by the socket; the option answers among them count as sent.
    void RemoveSent(size_t count);

    LoginLineResult SendLoginLine(const std::u16string& line) override;
    void EchoSentLine(const std::u16string& line) override;
    void LogLoginMessage(bool isError, unsigned messageId) override { LogMessage(isError, messageId); }
    void LoginFinished() override;
    bool LoginConnected() const override { return IsConnected(); }

    ITelnetSocket& socket_;
    ITimerHost& timers_;
    CConnectionSettings settings_;
    unsigned attemptNumber_ = 0;
    CTelnetProtocol telnet_;
    CReceiveBuffer receiveBuffer_;
    std::string sendBuffer_;
    bool refusingLines_ = false; // the last line found the send buffer full
    // The front of sendBuffer_ up to the end of the last option answers put in it: sent, they are sent all.
    size_t unsentAnswersEnd_ = 0;
    CTelnetLogin login_;
};

// The text of a Winsock error for messages 344 and 345.
std::u16string SocketErrorReason(int error);

} // namespace kv
