#pragma once
// Spots that the forwarding road withheld as already sent, kept a few seconds so that the display road
// can strike out the same line with its reason.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "spots/SpotLine.h"

namespace kv {

class CWithheldSpots {
public:
    static constexpr size_t kMaxRecords = 200;
    static constexpr uint64_t kLifeMs = 5000;

    // by: the connection that sent the spot first (UTF-8, may be empty); at: its "hh:mm" UTC time.
    // forwardedBefore: the lines, as received, that the same block forwards before this one. The display
    // road shows them first: the copies of this spot among them pass, and the copy after them is struck out.
    void Record(const std::string& line, const std::string& by, const std::string& at, uint64_t now,
                const std::vector<std::string_view>& forwardedBefore = {});
    // The reason of a withheld spot that matches the line (the record is used up); false for a copy of it
    // that was forwarded before it.
    bool TakeReason(const std::string& line, uint64_t now, std::u16string& reason);

    bool Empty() const { return records_.empty(); }
    size_t Size() const { return records_.size(); }

private:
    struct Entry {
        SpotFields fields;
        std::u16string reason;
        uint64_t time = 0;
        int copiesForwardedBefore = 0; // still to be shown before the withheld copy
    };

    // received: a line as the node sent it.
    static bool IsCopyOf(std::string_view received, const SpotFields& spot);
    static bool IsSameSpot(const SpotFields& a, const SpotFields& b);

    std::deque<Entry> records_;
};

} // namespace kv
