#include <gtest/gtest.h>

#include "tests/connections/TelnetSessionFakes.h"

using namespace kv;
using namespace kv::test;

namespace {

// A connected session whose login is watched from here; Say() is one received piece of text.
class LoginRig : public CSessionRig {
public:
    explicit LoginRig(std::u16string login = u"N0CALL", std::u16string password = {},
                      std::vector<std::u16string> commands = {u"sh/dx"})
    {
        Connect(Endpoint(std::move(login), std::move(password), std::move(commands)));
        TakeSent();
        listener.logIds.clear();
    }
    void Say(std::string_view text) { Receive(text); }
    LoginState State() const { return session.GetLoginState(); }
    unsigned LastLogId() const { return listener.logIds.empty() ? 0 : listener.logIds.back(); }
    bool LoggedIn() const
    {
        for (const std::string& c : listener.calls)
            if (c == "loggedin") return true;
        return false;
    }
};

} // namespace

TEST(TelnetLogin, RecognisesLoginPrompts)
{
    const char* prompts[] = {"login: ", "Login :", "LOGIN\t:", "Please enter your call:", "Your CALL :",
                             "Enter your callsign: ", "enter callsign", "login:\x07\x07",
                             "\r\nWelcome to the node\r\nlogin: "};
    for (const char* prompt : prompts) {
        LoginRig rig;
        rig.Say(prompt);
        EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n") << prompt;
        EXPECT_EQ(rig.LastLogId(), 347u) << prompt;
        EXPECT_EQ(rig.State(), LoginState::LoginNoPassword) << prompt;
        EXPECT_EQ(rig.timers.Period(CTelnetLogin::kEndOfLoginTimer), 2000u);
    }
    const char* notPrompts[] = {"login: now", "The call: is yours\r\n", "recall this", "\r\n\r\n"};
    for (const char* text : notPrompts) {
        LoginRig rig;
        rig.Say(text);
        EXPECT_EQ(rig.TakeSent(), "") << text;
        EXPECT_EQ(rig.State(), LoginState::AwaitLogin) << text;
    }
}

TEST(TelnetLogin, BlanksAndTabsMixedBeforeTheColon)
{
    for (const char* prompt : {"login \t:", "Your call\t :", "callsign \t \t :"}) {
        LoginRig rig(u"N0CALL", u"secret");
        rig.Say(prompt);
        EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n") << prompt;
        rig.Say("\r\npassword\t \t:");
        EXPECT_EQ(rig.TakeSent(), "secret\r\n") << prompt;
    }
}

TEST(TelnetLogin, PromptsSplitOverPiecesAndLongLines)
{
    LoginRig rig;
    rig.Say("log");
    EXPECT_EQ(rig.TakeSent(), "");
    rig.Say("in: ");
    EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n");

    // Only the first 256 characters of a line are looked at.
    LoginRig longLine;
    longLine.Say(std::string(250, 'x') + "login: " + std::string(60, 'y') + "\r\n");
    EXPECT_EQ(longLine.TakeSent(), "N0CALL\r\n");
    LoginRig tooLong;
    tooLong.Say(std::string(300, 'x') + "login:\r\n");
    EXPECT_EQ(tooLong.TakeSent(), "");
}

TEST(TelnetLogin, PasswordFlowWithAStoredPassword)
{
    LoginRig rig(u"N0CALL", u"secret");
    rig.Say("login: ");
    EXPECT_EQ(rig.State(), LoginState::AwaitPassword);
    EXPECT_FALSE(rig.timers.Running(CTelnetLogin::kEndOfLoginTimer));
    rig.Say("Hello N0CALL\r\nPassword :");
    EXPECT_EQ(rig.TakeSent(), "N0CALL\r\nsecret\r\n");
    EXPECT_EQ(rig.listener.calls.back(), "log I 348 Password sent");
    EXPECT_EQ(rig.State(), LoginState::PasswordSent);
    rig.Say("\r\nConfirm password:"); // a new account: sent once more
    EXPECT_EQ(rig.TakeSent(), "secret\r\n");
    EXPECT_EQ(rig.LastLogId(), 465u);
    rig.Say("\r\npassword:"); // a third time: wrong password
    EXPECT_EQ(rig.TakeSent(), "");
    EXPECT_EQ(rig.LastLogId(), 466u);
    EXPECT_EQ(rig.State(), LoginState::Done);
    EXPECT_FALSE(rig.timers.Running(CTelnetLogin::kEndOfLoginTimer));
    EXPECT_FALSE(rig.LoggedIn());
}

// A node that reads nothing while it prompts: the answers wait, unshown, and the login goes on once it reads.
TEST(TelnetLogin, AnswersRefusedByANodeThatDoesNotReadGoOutOnceItReads)
{
    LoginRig rig(u"N0CALL", u"secret");
    // The prompt comes while the node reads nothing; then it reads again.
    const auto promptWhileTheNodeDoesNotRead = [&](std::string_view prompt) {
        rig.socket.wouldBlock = true;
        while (rig.session.SendLine(u"fill" + std::u16string(4090, u'x'))) {}
        const size_t calls = rig.listener.calls.size();
        const LoginState before = rig.State();
        rig.Say(prompt);
        EXPECT_EQ(rig.State(), before) << prompt;
        rig.socket.wouldBlock = false;
        rig.session.OnWritable();
        return calls;
    };
    size_t calls = promptWhileTheNodeDoesNotRead("login: ");
    EXPECT_EQ(NodeLines(rig.TakeSent()), std::vector<std::string>{"N0CALL\r\n"});
    EXPECT_EQ(CallsFrom(rig.listener, calls),
              (Calls{"raw login: ", "text login: ", "sent N0CALL", "log I 347 Login sent"}));

    calls = promptWhileTheNodeDoesNotRead("\r\npassword: ");
    EXPECT_EQ(NodeLines(rig.TakeSent()), std::vector<std::string>{"secret\r\n"});
    rig.Fire(CTelnetLogin::kEndOfLoginTimer);
    EXPECT_EQ(CallsFrom(rig.listener, calls), (Calls{"raw \r\npassword: ", "text \npassword: ", "sent ********",
                                                     "log I 348 Password sent", "loggedin"}));
}

// 7 bytes of room left for a node that does not read: the answer "N0CALL" CR LF (8 bytes) is refused, a station's
// "sh/dx" CR LF (7 bytes) would fit. The node must not read that as the call: the answer is the next line it gets,
// as soon as it reads, without waiting for a timer.
TEST(TelnetLogin, ARefusedAnswerIsTheNextLineTheNodeGetsAsSoonAsItReads)
{
    LoginRig rig;
    rig.socket.wouldBlock = true;
    rig.FillSendBufferLeaving(7);
    rig.Say("login: ");
    EXPECT_FALSE(rig.session.SendLine(u"sh/dx"));
    EXPECT_NE(rig.session.SendRefusal(), u"");

    rig.socket.wouldBlock = false;
    rig.session.OnWritable();
    EXPECT_EQ(NodeLines(rig.TakeSent()), std::vector<std::string>{"N0CALL\r\n"});
    EXPECT_EQ(rig.State(), LoginState::LoginNoPassword);
    EXPECT_TRUE(rig.session.SendLine(u"sh/dx"));
}

TEST(TelnetLogin, APasswordPromptBeforeTheLogin)
{
    LoginRig rig(u"N0CALL", u"secret");
    rig.Say("password: ");
    EXPECT_EQ(rig.TakeSent(), "secret\r\n");
    EXPECT_EQ(rig.State(), LoginState::PasswordSent);

    LoginRig none(u"N0CALL", u"");
    none.Say("password: ");
    EXPECT_EQ(none.LastLogId(), 350u);
    EXPECT_EQ(none.State(), LoginState::Done);
}

TEST(TelnetLogin, NoPasswordSet)
{
    {   // asked without any hint of a new account: the user has to type it
        LoginRig rig;
        rig.Say("login: ");
        rig.Say("\r\npassword: ");
        EXPECT_EQ(rig.LastLogId(), 464u);
        EXPECT_EQ(rig.State(), LoginState::Done);
        EXPECT_FALSE(rig.timers.Running(CTelnetLogin::kEndOfLoginTimer));
    }
    {   // a new account: Enter, Enter again to confirm, then a third prompt is a wrong password
        LoginRig rig;
        rig.Say("login: ");
        rig.Say("\r\nPlease choose a password for your account\r\npassword: ");
        EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n\r\n");
        EXPECT_EQ(rig.LastLogId(), 463u);
        rig.Say("\r\nConfirm password: ");
        EXPECT_EQ(rig.TakeSent(), "\r\n");
        EXPECT_EQ(rig.LastLogId(), 467u);
        rig.Say("\r\npassword: ");
        EXPECT_EQ(rig.TakeSent(), "");
        EXPECT_EQ(rig.LastLogId(), 466u);
    }
    {   // the prompt itself asks for a new password
        LoginRig rig;
        rig.Say("login: ");
        rig.Say("\r\nEnter new password: ");
        EXPECT_EQ(rig.LastLogId(), 463u);
    }
    {   // a CLX gateway greeting announces a new account
        LoginRig rig;
        rig.Say("CLX gateway, new users welcome\r\nlogin: ");
        rig.Say("\r\npassword: ");
        EXPECT_EQ(rig.LastLogId(), 463u);
    }
}

TEST(TelnetLogin, ManualLoginAndTheEndOfLogin)
{
    LoginRig manual(u"");
    manual.Say("login: ");
    EXPECT_EQ(manual.TakeSent(), "");
    EXPECT_EQ(manual.listener.calls.back(),
              "log I 349 Manual login (no login set in the connection settings): type your call and password. "
              "The general and connection commands are not sent.");
    EXPECT_EQ(manual.State(), LoginState::Done);

    LoginRig rig;
    rig.Say("login: ");
    rig.Fire(CTelnetLogin::kEndOfLoginTimer);
    EXPECT_TRUE(rig.LoggedIn());
    EXPECT_EQ(rig.State(), LoginState::SendingCommands);
    EXPECT_EQ(rig.timers.Period(CTelnetLogin::kCommandTimer), 500u);
    rig.Say("password: "); // after the login: not a prompt any more
    EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n");
    rig.Fire(CTelnetLogin::kCommandTimer);
    EXPECT_EQ(rig.TakeSent(), "sh/dx\r\n");
    EXPECT_EQ(rig.State(), LoginState::Done);

    LoginRig noCommands(u"N0CALL", u"", {});
    noCommands.Say("login: ");
    noCommands.Fire(CTelnetLogin::kEndOfLoginTimer);
    EXPECT_EQ(noCommands.State(), LoginState::Done);
    EXPECT_FALSE(noCommands.timers.Running(CTelnetLogin::kCommandTimer));
}

TEST(TelnetLogin, CommandsArePacedAtTheDelay)
{
    for (auto [given, paced] : {std::pair{0, 100u}, {100, 100u}, {101, 101u}, {500, 500u}, {-5, 100u}}) {
        CSessionRig rig;
        rig.Connect(CSessionRig::Endpoint(u"N0CALL", {}, {u"b"}), given, {u"a"});
        rig.Receive("login:");
        rig.Fire(CTelnetLogin::kEndOfLoginTimer);
        EXPECT_EQ(rig.timers.Period(CTelnetLogin::kCommandTimer), paced) << given;
        rig.Fire(CTelnetLogin::kCommandTimer);
        rig.Fire(CTelnetLogin::kCommandTimer);
        EXPECT_EQ(rig.TakeSent(), "N0CALL\r\na\r\nb\r\n"); // global commands first
    }
}

// A chat line ending in "password:" long after the login must not receive the stored password.
TEST(TelnetLogin, TheStoredPasswordStaysInTheLoginPhase)
{
    LoginRig rig(u"N0CALL", u"secret");
    rig.Say("login: ");
    rig.clock.now += CTelnetLogin::kPasswordWindowMs + 1;
    rig.Say("\r\nN0TST: what is your password:");
    EXPECT_EQ(rig.TakeSent(), "N0CALL\r\n");
    EXPECT_EQ(rig.LastLogId(), 356u);
    EXPECT_TRUE(rig.listener.calls.back().rfind("log E 356", 0) == 0);
    EXPECT_EQ(rig.State(), LoginState::Done);

    LoginRig inTime(u"N0CALL", u"secret");
    inTime.Say("login: ");
    inTime.clock.now += CTelnetLogin::kPasswordWindowMs;
    inTime.Say("\r\npassword:");
    EXPECT_EQ(inTime.TakeSent(), "N0CALL\r\nsecret\r\n");
}
