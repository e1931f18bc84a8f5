#pragma once
// A transport listener for tests: every call becomes one line of text, in order.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf.h"
#include "connections/ITransportListener.h"

namespace kv::test {

class CRecordingTransportListener : public ITransportListener {
public:
    // "state N", "text ...", "raw ...", "invalid line|reason", "sent ...", "info|error ID text", "loggedin", "taken again".
    std::vector<std::string> events;
    std::vector<std::pair<unsigned, unsigned>> traffic;
    std::function<void(int)> onState;

    void OnStateChanged(int state) override
    {
        events.push_back("state " + std::to_string(state));
        if (onState) onState(state);
    }
    void OnTextReceived(const std::u16string& text) override { events.push_back("text " + Utf16ToUtf8(text)); }
    void OnRawDataReceived(const std::string& bytes) override { events.push_back("raw " + bytes); }
    void OnInvalidLine(const std::u16string& line, const std::u16string& reason) override
    {
        events.push_back("invalid " + Utf16ToUtf8(line) + "|" + Utf16ToUtf8(reason));
    }
    void OnLineSent(const std::u16string& line) override { events.push_back("sent " + Utf16ToUtf8(line)); }
    void OnLogMessage(bool isError, unsigned id, const std::u16string& text) override
    {
        events.push_back(std::string(isError ? "error " : "info ") + std::to_string(id) + " " + Utf16ToUtf8(text));
    }
    void OnLoggedIn() override { events.push_back("loggedin"); }
    void OnTraffic(unsigned received, unsigned sent) override { traffic.emplace_back(received, sent); }
    void OnLinesTakenAgain() override { events.push_back("taken again"); }

    // The events since the last call.
    std::vector<std::string> Take() { return std::exchange(events, {}); }
    bool Saw(const std::string& prefix) const
    {
        for (const auto& e : events)
            if (e.rfind(prefix, 0) == 0) return true;
        return false;
    }
};

} // namespace kv::test
