#pragma once
// The per-sender reassembly of framed packets from datagrams. Memory stays bounded under a flood: at most
// 256 senders keep partial data (the one waiting longest is dropped for a new one) and no sender keeps more
// than 16384 bytes.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class CQuarnelReassembly {
public:
    static constexpr size_t kMaxSenders = 256;
    static constexpr size_t kMaxPendingBytes = 16384;

    // The sender's IPv4 address (host order) and UDP port as one key.
    static uint64_t SenderKey(uint32_t address, uint16_t port) { return (uint64_t(address) << 16) | port; }

    // Adds one datagram of the sender and returns the framed packets it completed (each ending with its
    // checksum byte), already taken out of the sender's buffer.
    std::vector<std::string> Add(uint64_t sender, std::string_view datagram);
    void Clear() { partials_.clear(); }

    size_t SenderCount() const { return partials_.size(); }
    size_t PendingBytes(uint64_t sender) const;

private:
    struct Partial {
        std::string bytes;
        uint64_t since = 0; // order in which the partial data started
    };

    Partial& BufferOf(uint64_t sender);
    static bool StartsLikeAPacket(std::string_view datagram);
    static std::vector<std::string> TakeCompletePackets(std::string& buffer, size_t from);

    std::map<uint64_t, Partial> partials_;
    uint64_t nextSince_ = 0;
};

} // namespace kv
