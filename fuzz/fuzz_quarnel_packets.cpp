// Datagrams from many senders through the reassembly, un-framing and field split, with the invariants that
// keep a flood harmless: bounded senders and pending bytes, packets that end at their one high byte, at most
// 31 fields, and quoted fields that come back as they were escaped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "connections/QuarnelCodec.h"
#include "connections/QuarnelReassembly.h"

using namespace kv;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckPacket(const std::string& framed)
{
    Check(!framed.empty() && (static_cast<unsigned char>(framed.back()) & 0x80));
    for (size_t i = 0; i + 1 < framed.size(); ++i) Check(!(static_cast<unsigned char>(framed[i]) & 0x80));
    Check(DecodePacket(framed).size() <= kQuarnelMaxFields);
}

void CheckEscapeRoundTrip(std::string_view bytes)
{
    const auto fields = SplitPacketFields("X: \"" + EscapeField(bytes) + "\"");
    std::string expected(bytes);
    std::erase(expected, '\0');
    Check(fields.size() == 2 && fields[1] == expected);
}

void CheckFrameRoundTrip(std::string_view bytes)
{
    std::string text(bytes);
    std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) >= 0x7F; });
    std::string back;
    Check(UnframePacket(FramePacket(text), back) && back == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Check(SplitPacketFields(input).size() <= kQuarnelMaxFields);
    CheckEscapeRoundTrip(input);
    CheckFrameRoundTrip(input);

    // Each datagram: a sender byte, a length byte, then the bytes.
    CQuarnelReassembly parts;
    size_t pos = 0;
    while (pos + 2 <= input.size()) {
        const uint64_t sender = CQuarnelReassembly::SenderKey(uint8_t(input[pos]) * 3u, 9871);
        const size_t length = uint8_t(input[pos + 1]) * 8u;
        pos += 2;
        const std::string_view datagram = input.substr(pos, length);
        pos += datagram.size();
        for (const auto& packet : parts.Add(sender, datagram)) CheckPacket(packet);
        Check(parts.SenderCount() <= CQuarnelReassembly::kMaxSenders);
        Check(parts.PendingBytes(sender) <= CQuarnelReassembly::kMaxPendingBytes);
    }
    return 0;
}
