#include "connections/CTelnetLogin.h"

#include <utility>

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {
namespace {

constexpr char16_t kBellShown = 0x2022;
const std::u16string kHiddenPassword = u"********";

bool EndsWith(std::u16string_view s, std::u16string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
bool Contains(std::u16string_view s, std::u16string_view part) { return s.find(part) != std::u16string_view::npos; }

// Every blank and tab before a colon removed, in any mix ("login \t:" reads "login:").
std::u16string WithoutBlanksBeforeColons(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (const char16_t c : s) {
        if (c == u':')
            while (!out.empty() && (out.back() == u' ' || out.back() == u'\t')) out.pop_back();
        out.push_back(c);
    }
    return out;
}

// Trimmed, lower-cased, bells after the prompt dropped (clusters ring the bell after their prompts) and
// blanks before a colon removed.
std::u16string NormalisePrompt(const std::u16string& line)
{
    std::u16string s = ToLowerAscii(Trim(line));
    while (!s.empty() && s.back() == kBellShown) s = Trim(s.substr(0, s.size() - 1));
    return WithoutBlanksBeforeColons(s);
}

bool IsPasswordPrompt(std::u16string_view s) { return EndsWith(s, u"password:"); }
bool IsLoginPrompt(std::u16string_view s)
{
    return EndsWith(s, u"login:") || EndsWith(s, u"call:") || EndsWith(s, u"callsign:") || EndsWith(s, u"callsign");
}

} // namespace

void CTelnetLogin::Start(const std::u16string& login, const std::u16string& password, int commandDelayMs,
                         std::vector<std::u16string> commands)
{
    login_ = login;
    password_ = password;
    state_ = LoginState::AwaitLogin;
    promptLine_.clear();
    newPasswordHinted_ = false;
    emptyPasswordSends_ = 0;
    clxGatewaySeen_ = false;
    passwordResent_ = false;
    connectedAtMs_ = clock_.TickCount();
    commandDelayMs_ = commandDelayMs < 101 ? 100 : commandDelayMs;
    commands_.assign(std::make_move_iterator(commands.begin()), std::make_move_iterator(commands.end()));
    refused_ = {};
}

void CTelnetLogin::Stop()
{
    timers_.StopTimer(kCommandTimer);
    timers_.StopTimer(kEndOfLoginTimer);
    commands_.clear();
    promptLine_.clear();
    refused_ = {};
    state_ = LoginState::Done;
}

void CTelnetLogin::ScanForPrompts(const std::u16string& text)
{
    if (!InLogin()) return;
    for (char16_t c : text) {
        if (c != u'\n') {
            if (promptLine_.size() < kMaxPromptLine) promptLine_.push_back(c);
            continue;
        }
        const std::u16string line = std::move(promptLine_);
        promptLine_.clear();
        HandlePrompt(line);
        if (!InLogin()) return;
    }
    // Prompts usually stand on the unfinished last line.
    if (HandlePrompt(promptLine_)) promptLine_.clear();
}

bool CTelnetLogin::HandlePrompt(const std::u16string& rawLine)
{
    if (!InLogin() || AnswerWaits()) return false; // a refused answer goes before any other
    const std::u16string line = NormalisePrompt(rawLine);
    if (line.empty()) return false;
    const bool passwordPrompt = IsPasswordPrompt(line);
    const bool loginPrompt = !passwordPrompt && IsLoginPrompt(line);

    switch (state_) {
    case LoginState::AwaitLogin:
        if (Contains(line, u"clx gateway")) {
            clxGatewaySeen_ = true;
            return false;
        }
        if (loginPrompt) return SendLogin();
        if (passwordPrompt) return SendPassword(348);
        return false;
    case LoginState::AwaitPassword:
        return passwordPrompt && SendPassword(348);
    case LoginState::LoginNoPassword:
        if (passwordPrompt) return OnPasswordPromptWithoutPassword(line);
        if (Contains(line, u"choose") && Contains(line, u"password")) newPasswordHinted_ = true;
        return false;
    case LoginState::PasswordSent:
        if (!passwordPrompt) return false;
        timers_.StopTimer(kEndOfLoginTimer);
        if (passwordResent_) {
            Fail(466);
            return true;
        }
        passwordResent_ = true;
        return SendPassword(465);
    default:
        return false;
    }
}

bool CTelnetLogin::SendLogin()
{
    if (login_.empty()) {
        host_.LogLoginMessage(false, 349);
        state_ = LoginState::Done;
        return true;
    }
    if (!SendAnswer(login_, Answer::Login)) return true;
    host_.EchoSentLine(login_);
    host_.LogLoginMessage(false, 347);
    if (!password_.empty()) {
        state_ = LoginState::AwaitPassword;
    } else {
        state_ = LoginState::LoginNoPassword;
        timers_.StartTimer(kEndOfLoginTimer, kEndOfLoginMs);
    }
    return true;
}

// The stored password answers a prompt of the login phase only: later, a chat line ending in "password:"
// would otherwise receive it.
bool CTelnetLogin::SendPassword(unsigned messageId)
{
    if (password_.empty()) {
        Fail(350);
        return true;
    }
    if (clock_.TickCount() - connectedAtMs_ > kPasswordWindowMs) {
        Fail(356);
        return true;
    }
    SendStoredPassword(messageId);
    return true;
}

void CTelnetLogin::SendStoredPassword(unsigned messageId)
{
    if (!SendAnswer(password_, Answer::Password, messageId)) return;
    host_.EchoSentLine(kHiddenPassword);
    host_.LogLoginMessage(false, messageId);
    state_ = LoginState::PasswordSent;
    timers_.StartTimer(kEndOfLoginTimer, kEndOfLoginMs);
}

bool CTelnetLogin::OnPasswordPromptWithoutPassword(const std::u16string& line)
{
    timers_.StopTimer(kEndOfLoginTimer);
    const bool newAccountHinted = newPasswordHinted_ || Contains(line, u"new password") || clxGatewaySeen_;
    if ((emptyPasswordSends_ == 0 && newAccountHinted) || emptyPasswordSends_ == 1)
        SendEmptyPassword();
    else
        Fail(emptyPasswordSends_ == 0 ? 464 : 466);
    return true;
}

void CTelnetLogin::SendEmptyPassword()
{
    if (!SendAnswer(std::u16string(), Answer::EmptyPassword)) return;
    host_.LogLoginMessage(false, emptyPasswordSends_ == 0 ? 463 : 467);
    ++emptyPasswordSends_;
    timers_.StartTimer(kEndOfLoginTimer, kEndOfLoginMs);
}

// A line refused by a node that does not read is neither shown nor lost: it goes as soon as the node reads again.
bool CTelnetLogin::SendAnswer(const std::u16string& line, Answer answer, unsigned messageId)
{
    const LoginLineResult result = host_.SendLoginLine(line);
    if (result == LoginLineResult::Refused) refused_ = {answer, messageId};
    return result == LoginLineResult::Sent;
}

void CTelnetLogin::SendWaitingAnswer()
{
    const RefusedAnswer refused = std::exchange(refused_, RefusedAnswer{});
    switch (refused.answer) {
    case Answer::Login: SendLogin(); break;
    case Answer::Password: SendStoredPassword(refused.messageId); break;
    case Answer::EmptyPassword: SendEmptyPassword(); break;
    case Answer::None: break;
    }
}

void CTelnetLogin::Fail(unsigned messageId)
{
    host_.LogLoginMessage(true, messageId);
    state_ = LoginState::Done;
}

void CTelnetLogin::OnTimer(unsigned id)
{
    if (id == kEndOfLoginTimer) EndOfLogin();
    else if (id == kCommandTimer) SendNextCommand();
}

void CTelnetLogin::EndOfLogin()
{
    timers_.StopTimer(kEndOfLoginTimer);
    if (state_ != LoginState::LoginNoPassword && state_ != LoginState::PasswordSent) return;
    host_.LoginFinished();
    // The listener may have closed the connection; a closed connection stays idle.
    if (!host_.LoginConnected() || state_ == LoginState::Done) return;
    if (commands_.empty()) {
        state_ = LoginState::Done;
        return;
    }
    state_ = LoginState::SendingCommands;
    timers_.StartTimer(kCommandTimer, unsigned(commandDelayMs_));
}

void CTelnetLogin::SendNextCommand()
{
    if (!commands_.empty() && host_.LoginConnected()) {
        // Taken off the queue once sent: a refused command keeps its place for the next tick.
        const std::u16string command = commands_.front();
        if (host_.SendLoginLine(command) != LoginLineResult::Sent) return;
        commands_.pop_front();
        host_.EchoSentLine(command);
    }
    if (commands_.empty() || !host_.LoginConnected()) {
        timers_.StopTimer(kCommandTimer);
        state_ = LoginState::Done;
    }
}

} // namespace kv
