#include "connections/QuarnelReassembly.h"

#include <algorithm>

#include "base/Ascii.h"

namespace kv {

size_t CQuarnelReassembly::PendingBytes(uint64_t sender) const
{
    const auto it = partials_.find(sender);
    return it == partials_.end() ? 0 : it->second.bytes.size();
}

CQuarnelReassembly::Partial& CQuarnelReassembly::BufferOf(uint64_t sender)
{
    const auto it = partials_.find(sender);
    if (it != partials_.end()) return it->second;
    if (partials_.size() >= kMaxSenders) {
        const auto oldest = std::min_element(partials_.begin(), partials_.end(), [](const auto& a, const auto& b) {
            return a.second.since < b.second.since;
        });
        partials_.erase(oldest);
    }
    Partial& partial = partials_[sender];
    partial.since = nextSince_++;
    return partial;
}

// A keyword of capitals and digits, then a colon and a blank.
bool CQuarnelReassembly::StartsLikeAPacket(std::string_view datagram)
{
    size_t n = 0;
    while (n < datagram.size() && (IsAsciiUpper(datagram[n]) || IsAsciiDigit(datagram[n]))) ++n;
    return n >= 1 && n + 1 < datagram.size() && datagram[n] == ':' && datagram[n + 1] == ' ';
}

std::vector<std::string> CQuarnelReassembly::TakeCompletePackets(std::string& buffer, size_t from)
{
    std::vector<std::string> packets;
    size_t start = 0;
    for (size_t i = from; i < buffer.size(); ++i) {
        const auto b = static_cast<unsigned char>(buffer[i]);
        if (i == start && b == 0) {
            ++start;
        } else if (b & 0x80) {
            packets.emplace_back(buffer, start, i + 1 - start);
            start = i + 1;
        }
    }
    buffer.erase(0, start);
    return packets;
}

std::vector<std::string> CQuarnelReassembly::Add(uint64_t sender, std::string_view datagram)
{
    if (datagram.empty()) return {};
    Partial& partial = BufferOf(sender);
    if (!partial.bytes.empty() && StartsLikeAPacket(datagram)) partial.bytes.clear();
    // What was kept holds no packet end and starts with no NUL: only the new bytes need a look.
    const size_t kept = partial.bytes.size();
    partial.bytes.append(datagram);
    std::vector<std::string> packets = TakeCompletePackets(partial.bytes, kept);
    if (partial.bytes.size() > kMaxPendingBytes) partial.bytes.clear();
    if (partial.bytes.empty()) partials_.erase(sender);
    return packets;
}

} // namespace kv
