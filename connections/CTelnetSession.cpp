#include "connections/CTelnetSession.h"

#include "base/TextCatalog.h"
#include "connections/TelnetText.h"

namespace kv {

std::u16string SocketErrorReason(int error)
{
    switch (error) {
    case kWsaConnectionRefused:
        return LoadText(351);
    case kWsaTimedOut:
        return LoadText(352);
    case kWsaNetworkDown:
    case kWsaNetworkUnreachable:
    case kWsaHostUnreachable:
        return LoadText(353);
    case kWsaConnectionAborted:
    case kWsaConnectionReset:
        return LoadText(354);
    default:
        return FormatText(LoadText(355), error);
    }
}

CTelnetSession::CTelnetSession(ITransportListener* listener, ITelnetSocket& socket, ITimerHost& timers,
                               const IClock& clock)
    : IClusterTransport(listener), socket_(socket), timers_(timers), login_(*this, timers, clock)
{
}

bool CTelnetSession::Connect(const CConnectionSettings& settings, int commandDelayMs,
                             const std::vector<std::u16string>& globalCommands)
{
    if (IsActive() || !socket_.OpenWindow()) return false;
    CloseSocket();
    settings_ = settings;
    std::vector<std::u16string> commands = globalCommands;
    commands.insert(commands.end(), settings.Commands.begin(), settings.Commands.end());
    telnet_.Reset();
    receiveBuffer_.Clear();
    sendBuffer_.clear();
    login_.Start(settings.Login, settings.Password, commandDelayMs, std::move(commands));
    SetState(TransportState::Connecting);
    LogMessage(false, 339, settings_.GetAddress());
    if (!socket_.StartResolve(attemptNumber_, settings_.Host)) {
        ReportError(344, kWsaInvalidArgument);
        return false;
    }
    timers_.StartTimer(kConnectTimer, kConnectTimeoutMs);
    return true;
}

void CTelnetSession::Disconnect()
{
    if (!IsActive()) return;
    CloseSocket();
    SetState(TransportState::Disconnected);
    LogMessage(false, 341);
}

// The login's answer waiting for room goes before any other line: the node would take that line for it.
bool CTelnetSession::SendLine(const std::u16string& line)
{
    return !login_.AnswerWaits() && QueueLine(line);
}

bool CTelnetSession::QueueLine(const std::u16string& line)
{
    if (!IsConnected()) return false;
    const std::string bytes = EncodeTelnetLine(line, settings_.LineEnding);
    if (sendBuffer_.size() + bytes.size() > kMaxSendBuffer) {
        // Told once for a run of refused lines: a flood of them must not become a flood of log lines.
        if (!refusingLines_) LogMessage(true, kIdsLinesRefused, int(sendBuffer_.size() / 1024));
        refusingLines_ = true;
        return false;
    }
    refusingLines_ = false;
    sendBuffer_ += bytes;
    return !socket_.HasSocket() || FlushSendBuffer();
}

std::u16string CTelnetSession::SendRefusal() const
{
    return refusingLines_ ? FormatText(LoadText(kIdsLinesRefused), int(sendBuffer_.size() / 1024)) : std::u16string();
}

void CTelnetSession::CloseSocket()
{
    timers_.StopTimer(kConnectTimer);
    socket_.Close();
    ++attemptNumber_;
    sendBuffer_.clear();
    unsentAnswersEnd_ = 0;
    refusingLines_ = false;
    receiveBuffer_.Clear();
    login_.Stop();
}

void CTelnetSession::ReportError(unsigned messageId, int error)
{
    CloseSocket();
    SetState(TransportState::Error);
    LogMessage(true, messageId, SocketErrorReason(error));
}

void CTelnetSession::LogMessage(bool isError, unsigned messageId, std::optional<FormatArg> argument)
{
    ITransportListener* listener = Listener();
    if (!listener) return;
    std::u16string text = LoadText(messageId);
    if (argument) text = FormatTextV(text, {*argument});
    listener->OnLogMessage(isError, messageId, text);
}

bool CTelnetSession::WantsResolverResult(unsigned attempt) const
{
    return attempt == attemptNumber_ && State() == TransportState::Connecting;
}

void CTelnetSession::OnResolveFailed(int error)
{
    CloseSocket();
    SetState(TransportState::Error);
    LogMessage(true, error == kWsaTryAgain ? 362 : 343, settings_.Host);
}

void CTelnetSession::OnConnectDone(int error)
{
    timers_.StopTimer(kConnectTimer);
    if (error != 0) {
        ReportError(344, error);
        return;
    }
    login_.MarkConnected();
    SetState(TransportState::Connected);
    if (IsConnected()) LogMessage(false, 340, settings_.GetAddress());
}

void CTelnetSession::OnReceived(std::string_view chunk)
{
    if (chunk.empty()) return;
    if (ITransportListener* listener = Listener()) listener->OnTraffic(unsigned(chunk.size()), 0);
    ProcessReceived(chunk);
}

void CTelnetSession::OnReceiveError(int error)
{
    if (error != kWsaWouldBlock) ReportError(345, error);
}

void CTelnetSession::ProcessReceived(std::string_view chunk)
{
    // The chunk's data is collected apart: answering the options may close the socket and empty the buffers.
    std::string data, replies;
    telnet_.Feed(chunk, data, replies);
    if (!replies.empty() && socket_.HasSocket()) {
        sendBuffer_ += replies;
        unsentAnswersEnd_ = sendBuffer_.size();
        if (!FlushSendBuffer()) return;
    }
    if (data.empty() || !IsConnected()) return;
    receiveBuffer_.Append(data);
    if (ITransportListener* listener = Listener()) listener->OnRawDataReceived(data);
    if (IsConnected()) DeliverText(receiveBuffer_.TakeText(false));
}

void CTelnetSession::DeliverText(const std::u16string& text)
{
    if (text.empty()) return;
    if (ITransportListener* listener = Listener()) listener->OnTextReceived(text);
    if (IsConnected()) login_.ScanForPrompts(text);
}

void CTelnetSession::OnServerClosed()
{
    if (IsConnected()) DeliverText(receiveBuffer_.TakeText(true));
    if (!socket_.HasSocket()) return;
    CloseSocket();
    SetState(TransportState::Disconnected);
    LogMessage(false, 342);
}

bool CTelnetSession::FlushSendBuffer()
{
    bool took = false;
    while (!sendBuffer_.empty() && socket_.HasSocket()) {
        int error = 0;
        const int sent = socket_.Send(sendBuffer_, error);
        if (sent < 0) {
            if (error == kWsaWouldBlock) break; // the rest waits for FD_WRITE
            ReportError(345, error);
            return false;
        }
        if (sent == 0) break;
        took = true;
        RemoveSent(size_t(sent));
        if (ITransportListener* listener = Listener()) listener->OnTraffic(0, unsigned(sent));
    }
    if (!took || !refusingLines_) return true;
    SendWhatWaitedForRoom();
    return IsConnected();
}

// The login's answer first, then the listener's lines, both before the next paced command.
void CTelnetSession::SendWhatWaitedForRoom()
{
    if (login_.AnswerWaits()) login_.SendWaitingAnswer();
    if (login_.AnswerWaits() || !IsConnected()) return;
    if (ITransportListener* listener = Listener()) listener->OnLinesTakenAgain();
}

void CTelnetSession::RemoveSent(size_t count)
{
    sendBuffer_.erase(0, count);
    if (unsentAnswersEnd_ == 0) return;
    unsentAnswersEnd_ = unsentAnswersEnd_ > count ? unsentAnswersEnd_ - count : 0;
    if (unsentAnswersEnd_ == 0) telnet_.RepliesSent();
}

void CTelnetSession::OnTimer(unsigned id)
{
    if (id != kConnectTimer) {
        login_.OnTimer(id);
        return;
    }
    timers_.StopTimer(kConnectTimer);
    if (State() != TransportState::Connecting) return;
    CloseSocket();
    SetState(TransportState::Error);
    LogMessage(true, 346);
}

LoginLineResult CTelnetSession::SendLoginLine(const std::u16string& line)
{
    if (QueueLine(line)) return LoginLineResult::Sent;
    return refusingLines_ ? LoginLineResult::Refused : LoginLineResult::Gone;
}

void CTelnetSession::EchoSentLine(const std::u16string& line)
{
    if (ITransportListener* listener = Listener()) listener->OnLineSent(line);
}

void CTelnetSession::LoginFinished()
{
    if (ITransportListener* listener = Listener()) listener->OnLoggedIn();
}

} // namespace kv
