#pragma once
// What a transport tells its page. Raw bytes of received data always come before their decoded text.
#include <string>

namespace kv {

class ITransportListener {
public:
    virtual ~ITransportListener() = default;
    // Only when the state really changed, after the transport stored it; state is a TransportState value.
    virtual void OnStateChanged(int state) = 0;
    // The received data decoded to text, after OnRawDataReceived for the same data; only while connected.
    virtual void OnTextReceived(const std::u16string& text) = 0;
    // The same data as 8-bit bytes (Telnet commands removed), before its text; only while connected.
    virtual void OnRawDataReceived(const std::string& bytes) = 0;
    // A web spot that fails its checks.
    virtual void OnInvalidLine(const std::u16string& line, const std::u16string& reason) = 0;
    // A login, password ("********") or queued command the transport sent by itself.
    virtual void OnLineSent(const std::u16string& line) = 0;
    // messageId: the string-table id of the format; text: the formatted message.
    virtual void OnLogMessage(bool isError, unsigned messageId, const std::u16string& text) = 0;
    // The end of the login phase.
    virtual void OnLoggedIn() = 0;
    // Every receive (n, 0) and every send (0, n).
    virtual void OnTraffic(unsigned bytesReceived, unsigned bytesSent) = 0;
    // Lines were refused for a node that did not read, and it reads again: a line held back may go now, before
    // the transport's own next one.
    virtual void OnLinesTakenAgain() = 0;
};

} // namespace kv
