#include "connections/CTelnetProtocol.h"

#include <cstring>

namespace kv {

void CTelnetProtocol::Reset()
{
    state_ = State::Data;
    command_ = 0;
    subLength_ = 0;
    unsentRefusals_.reset();
}

void CTelnetProtocol::Feed(std::string_view chunk, std::string& data, std::string& replies)
{
    const char* p = chunk.data();
    const char* const end = p + chunk.size();
    while (p < end) {
        if (state_ == State::Data) {
            // Plain text runs are copied whole: this is the path of nearly every byte.
            const void* iac = std::memchr(p, kIac, size_t(end - p));
            const char* stop = iac ? static_cast<const char*>(iac) : end;
            data.append(p, size_t(stop - p));
            p = stop;
            if (p == end) break;
            state_ = State::AfterIac;
            ++p;
            continue;
        }
        FeedCommandByte(static_cast<unsigned char>(*p++), data, replies);
    }
}

void CTelnetProtocol::FeedCommandByte(unsigned char b, std::string& data, std::string& replies)
{
    switch (state_) {
    case State::AfterIac:
        if (b == kIac) {
            data.push_back(char(kIac));
            state_ = State::Data;
        } else if (b == kSb) {
            subLength_ = 0;
            state_ = State::InSub;
        } else if (b >= kWill) {
            command_ = b;
            state_ = State::Option;
        } else {
            state_ = State::Data;
        }
        return;
    case State::Option:
        if (command_ == kWill || command_ == kDo) Refuse(b, replies);
        state_ = State::Data;
        return;
    case State::InSub:
    case State::IacInSub:
        if (state_ == State::IacInSub && b == kSe) {
            state_ = State::Data;
            return;
        }
        state_ = b == kIac && state_ == State::InSub ? State::IacInSub : State::InSub;
        // Given up at an IAC, the subnegotiation still takes the byte after it (SE, or 255 of IAC IAC).
        if (++subLength_ >= kMaxSubnegotiation && state_ == State::InSub) state_ = State::Data;
        return;
    case State::Data:
        break;
    }
}

// WILL is answered DONT, DO is answered WONT.
void CTelnetProtocol::Refuse(unsigned char option, std::string& replies)
{
    const unsigned char answer = command_ == kWill ? kDont : kWont;
    const size_t refusal = option + (answer == kWont ? 256u : 0u);
    if (unsentRefusals_.test(refusal)) return;
    unsentRefusals_.set(refusal);
    replies.append({char(kIac), char(answer), char(option)});
}

} // namespace kv
