#pragma once
// The minimal Telnet layer of a cluster connection: data bytes pass, every option the server offers or asks
// for is refused, subnegotiations are skipped. Its state survives between received chunks.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

class CTelnetProtocol {
public:
    static constexpr unsigned char kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250,
                                   kSe = 240;
    // A subnegotiation never ended by IAC SE is given up after this many bytes, so that a server sending
    // the Latin-1 bytes 0xFF 0xFA in its text cannot swallow the rest of the connection.
    static constexpr size_t kMaxSubnegotiation = 1024;

    // Appends the chunk's data bytes (Telnet commands removed, IAC IAC as one 255) to data and the answers
    // to option requests to replies. A refusal that still waits to be sent is not given again, so that a
    // server repeating its requests without reading the answers cannot grow what waits to be sent.
    void Feed(std::string_view chunk, std::string& data, std::string& replies);
    // Everything given in replies so far has been sent: a request repeated from now on is answered again.
    void RepliesSent() { unsentRefusals_.reset(); }
    void Reset();

private:
    enum class State : uint8_t { Data, AfterIac, Option, InSub, IacInSub };

    void FeedCommandByte(unsigned char b, std::string& data, std::string& replies);
    void Refuse(unsigned char option, std::string& replies);

    State state_ = State::Data;
    unsigned char command_ = 0;
    size_t subLength_ = 0;
    // Refusals given and not yet sent: DONT of an option at the option's number, WONT at 256 more.
    std::bitset<512> unsentRefusals_;
};

} // namespace kv
