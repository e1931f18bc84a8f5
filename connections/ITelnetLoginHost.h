#pragma once
// What the login automaton needs from its connection.
#include <string>

namespace kv {

class ITelnetLoginHost {
public:
    virtual ~ITelnetLoginHost() = default;
    // Sends one line with the connection's line ending; false when the connection was lost meanwhile.
    virtual bool SendLoginLine(const std::u16string& line) = 0;
    // Shows a line the automaton sent (the password as "********").
    virtual void EchoSentLine(const std::u16string& line) = 0;
    virtual void LogLoginMessage(bool isError, unsigned messageId) = 0;
    virtual void LoginFinished() = 0;
    virtual bool LoginConnected() const = 0;
};

} // namespace kv
