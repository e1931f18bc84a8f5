#include "connections/CWithheldSpots.h"

#include <algorithm>
#include <cmath>

#include "base/Format.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/ReceivedLines.h"

namespace kv {

namespace {

constexpr unsigned kIdsAlreadySent = 546;
constexpr unsigned kIdsAnotherConnection = 547;
constexpr double kSameFrequencyKHz = 0.05;

// Decoding drops control characters and re-codes the others beyond ASCII: only in a line of printable ASCII
// (BEL and tab aside) does a decoded ASCII text stand as the same bytes.
bool DecodesAsItIs(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= 0x20 && c < 0x7F) || c == '\a' || c == '\t' || c == '\n';
    });
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return uint8_t(c) < 0x80; });
}

} // namespace

void CWithheldSpots::Record(const std::string& line, const std::string& by, const std::string& at, uint64_t now,
                            const std::vector<std::string_view>& forwardedBefore)
{
    Entry entry;
    if (!ParseDxDeSpotFields(line, entry.fields)) return;
    const std::u16string name = by.empty() ? LoadText(kIdsAnotherConnection) : Utf8ToUtf16(by);
    entry.reason = FormatText(LoadText(kIdsAlreadySent), name, Utf8ToUtf16(at));
    entry.time = now;
    const auto isCopy = [&](std::string_view forwarded) { return IsCopyOf(forwarded, entry.fields); };
    entry.copiesForwardedBefore = int(std::count_if(forwardedBefore.begin(), forwardedBefore.end(), isCopy));
    records_.push_back(std::move(entry));
    while (records_.size() > kMaxRecords) records_.pop_front();
}

bool CWithheldSpots::TakeReason(const std::string& line, uint64_t now, std::u16string& reason)
{
    while (!records_.empty() && now - records_.front().time > kLifeMs) records_.pop_front();
    if (records_.empty()) return false;
    SpotFields fields;
    if (!ParseDxDeSpotFields(line, fields)) return false;
    const auto sameSpot = [&](const Entry& entry) { return IsSameSpot(entry.fields, fields); };
    const auto first = std::find_if(records_.begin(), records_.end(), sameSpot);
    if (first == records_.end()) return false;
    if (first->copiesForwardedBefore > 0) {
        // A forwarded copy: every record of the spot that counted it has seen it pass.
        for (auto it = first; it != records_.end(); ++it)
            if (it->copiesForwardedBefore > 0 && sameSpot(*it)) --it->copiesForwardedBefore;
        return false;
    }
    reason = std::move(first->reason);
    records_.erase(first);
    return true;
}

bool CWithheldSpots::IsCopyOf(std::string_view received, const SpotFields& spot)
{
    // Most lines of a block are no copy, and most of them can tell it without decoding and parsing.
    if (IsAscii(spot.dxCall) && DecodesAsItIs(received) && received.find(spot.dxCall) == std::string_view::npos)
        return false;
    SpotFields fields;
    return ParseDxDeSpotFields(DecodeLineForFilters(received), fields) && IsSameSpot(fields, spot);
}

bool CWithheldSpots::IsSameSpot(const SpotFields& a, const SpotFields& b)
{
    return a.dxCall == b.dxCall && a.spotter == b.spotter && std::fabs(a.frequency - b.frequency) < kSameFrequencyKHz;
}

} // namespace kv
