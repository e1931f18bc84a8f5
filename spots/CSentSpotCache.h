#pragma once
// The spots already forwarded to the logger network in the last five minutes, by any connection, so that
// a spot arriving again through another cluster is withheld. User-interface thread only.
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kv {

class IClock;

class CSentSpotCache {
public:
    static constexpr uint64_t kPurgeIntervalMs = 30'000;
    static constexpr uint64_t kLifeMs = 300'000;

    explicit CSentSpotCache(const IClock& clock) : clock_(clock) {}

    // True when the line is a spot already forwarded (sentBy and sentAt, when given, receive the connection
    // and the "hh:mm" UTC time of the earlier one); false for a line without a key and for a new spot,
    // which is then recorded under the connection.
    bool CheckAndRecord(const std::string& line, const std::string& connection, std::string* sentBy,
                        std::string* sentAt);

    size_t KeyCount() const { return spots_.size(); }

private:
    struct Entry {
        std::string comment;
        uint64_t recorded = 0;
        std::string connection;
        std::string time;
    };

    // Keeps its hash beside each key: a probe then touches no other key of its bucket.
    struct KeyHash {
        size_t operator()(const std::string& key) const { return std::hash<std::string>{}(key); }
    };
    using Spots = std::unordered_map<std::string, std::vector<Entry>, KeyHash>;
    struct Recorded {
        uint64_t at;
        Spots::value_type* spot; // elements of the map keep their address when it grows
    };

    void PurgeExpired(uint64_t now);
    static bool IsExpired(const Entry& entry, uint64_t now) { return now - entry.recorded > kLifeMs; }
    static bool IsSameComment(const std::string& a, const std::string& b);

    const IClock& clock_;
    Spots spots_;
    // Every entry in the order of recording, so that a purge visits only the entries that expired.
    std::deque<Recorded> order_;
    uint64_t lastPurge_ = 0;
};

} // namespace kv
