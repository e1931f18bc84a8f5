#pragma once
// The spots already forwarded to the logger network in the last five minutes, by any connection, so that
// a spot arriving again through another cluster is withheld. User-interface thread only.
#include <cstdint>
#include <map>
#include <string>
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

    void PurgeExpired(uint64_t now);
    static bool IsExpired(const Entry& entry, uint64_t now) { return now - entry.recorded > kLifeMs; }
    static bool IsSameComment(const std::string& a, const std::string& b);

    const IClock& clock_;
    std::map<std::string, std::vector<Entry>, std::less<>> spots_;
    uint64_t lastPurge_ = 0;
};

} // namespace kv
