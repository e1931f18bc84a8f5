#pragma once
// What the login automaton needs from its connection.
#include <string>

namespace kv {

// What became of a line the login sent.
enum class LoginLineResult {
    Sent,
    Refused, // too much waits for a node that does not read; the connection stays
    Gone,    // the connection was lost
};

class ITelnetLoginHost {
public:
    virtual ~ITelnetLoginHost() = default;
    // Sends one line with the connection's line ending.
    virtual LoginLineResult SendLoginLine(const std::u16string& line) = 0;
    // Shows a line the automaton sent (the password as "********").
    virtual void EchoSentLine(const std::u16string& line) = 0;
    virtual void LogLoginMessage(bool isError, unsigned messageId) = 0;
    virtual void LoginFinished() = 0;
    virtual bool LoginConnected() const = 0;
};

} // namespace kv
