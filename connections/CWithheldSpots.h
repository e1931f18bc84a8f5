#pragma once
// Spots that the forwarding road withheld as already sent, kept a few seconds so that the display road
// can strike out the same line with its reason.
#include <cstdint>
#include <deque>
#include <string>

#include "spots/SpotLine.h"

namespace kv {

class CWithheldSpots {
public:
    static constexpr size_t kMaxRecords = 200;
    static constexpr uint64_t kLifeMs = 5000;

    // by: the connection that sent the spot first (UTF-8, may be empty); at: its "hh:mm" UTC time.
    void Record(const std::string& line, const std::string& by, const std::string& at, uint64_t now);
    // The reason of a withheld spot that matches the line (the record is used up).
    bool TakeReason(const std::string& line, uint64_t now, std::u16string& reason);

    bool Empty() const { return records_.empty(); }
    size_t Size() const { return records_.size(); }

private:
    struct Entry {
        SpotFields fields;
        std::u16string reason;
        uint64_t time = 0;
    };

    std::deque<Entry> records_;
};

} // namespace kv
