#pragma once
// The login of a Telnet connection: answers login and password prompts of the received text from the
// connection settings, then sends the queued commands one at a time at the command delay.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "connections/ITelnetLoginHost.h"

namespace kv {

enum class LoginState : int {
    AwaitLogin = 0,
    AwaitPassword = 1,
    LoginNoPassword = 2,
    PasswordSent = 3,
    SendingCommands = 4,
    Done = 5,
};

class CTelnetLogin {
public:
    // The command timer paces the commands after the login.
    static constexpr unsigned kCommandTimer = 2, kEndOfLoginTimer = 3;
    static constexpr unsigned kEndOfLoginMs = 2000;
    static constexpr size_t kMaxPromptLine = 256;
    // Past this time after the connection stands, a password prompt is no longer part of the login.
    static constexpr uint64_t kPasswordWindowMs = 60000;

    CTelnetLogin(ITelnetLoginHost& host, ITimerHost& timers, const IClock& clock)
        : host_(host), timers_(timers), clock_(clock) {}

    // A new connection attempt: login from the start, commands queued in the order given.
    void Start(const std::u16string& login, const std::u16string& password, int commandDelayMs,
               std::vector<std::u16string> commands);
    // The connection stands; the password window starts now.
    void MarkConnected() { connectedAtMs_ = clock_.TickCount(); }
    // The connection is closed: timers killed, nothing queued, idle.
    void Stop();

    // Received text, piece by piece as it was decoded.
    void ScanForPrompts(const std::u16string& text);
    // Acts on one line; true when it did.
    bool HandlePrompt(const std::u16string& line);
    void OnTimer(unsigned id);
    // An answer the connection refused waits for room; no other line may go before it.
    bool AnswerWaits() const { return refused_.answer != Answer::None; }
    // The connection has room again: the waiting answer is tried once more.
    void SendWaitingAnswer();

    LoginState State() const { return state_; }
    int CommandDelay() const { return commandDelayMs_; }
    size_t QueuedCommands() const { return commands_.size(); }

private:
    // The answers to prompts; one the connection refused waits to be sent again.
    enum class Answer { None, Login, Password, EmptyPassword };
    struct RefusedAnswer {
        Answer answer = Answer::None;
        unsigned messageId = 0;
    };

    bool InLogin() const { return state_ <= LoginState::PasswordSent; }
    bool OnPasswordPromptWithoutPassword(const std::u16string& line);
    bool SendPassword(unsigned messageId);
    void SendStoredPassword(unsigned messageId);
    void SendEmptyPassword();
    bool SendLogin();
    // True when the line went out.
    bool SendAnswer(const std::u16string& line, Answer answer, unsigned messageId = 0);
    void Fail(unsigned messageId);
    void EndOfLogin();
    void SendNextCommand();

    ITelnetLoginHost& host_;
    ITimerHost& timers_;
    const IClock& clock_;
    std::u16string login_, password_;
    LoginState state_ = LoginState::Done;
    std::u16string promptLine_;
    bool newPasswordHinted_ = false;
    int emptyPasswordSends_ = 0;
    bool clxGatewaySeen_ = false;
    bool passwordResent_ = false;
    uint64_t connectedAtMs_ = 0;
    int commandDelayMs_ = 100;
    std::deque<std::u16string> commands_;
    RefusedAnswer refused_;
};

} // namespace kv
