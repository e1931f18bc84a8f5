// The answer of the DX Summit service as anyone on the network could shape it: the reader must never fail
// loudly, and every spot it yields must become at most one safe "DX de" line.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "connections/DxSummitAnswer.h"
#include "connections/JsonCursor.h"
#include "spots/SpotLine.h"

using namespace kv;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckLine(const std::string& line)
{
    Check(!line.empty() && line.size() <= kMaxSpotLineLength && line.back() == '\n');
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        Check(byte >= 0x20 && byte != 0x7F);
    }
}

void CheckValidWebSpot(const DxSummitSpot& normalised, const std::string& line)
{
    const std::string spotter = normalised.deCall.substr(0, normalised.deCall.size() - 2);
    Check(IsValidWebSpotCall(spotter, true) && IsValidWebSpotCall(normalised.dxCall, false));
    Check(std::isfinite(normalised.frequency) && normalised.frequency > 0);
    SpotFields fields;
    Check(ParseDxDeSpotFields(line, fields));
    Check(fields.spotter == normalised.deCall && fields.dxCall == normalised.dxCall);
    Check(std::fabs(fields.frequency - normalised.frequency) <= 0.05 + 1e-9 * normalised.frequency);
    SentSpotKey key;
    Check(ParseDxDeLine(line, key));
}

void CheckTextsRoundTrip(const DxSummitSpot& spot)
{
    for (const std::string* text : {&spot.deCall, &spot.dxCall, &spot.info, &spot.time}) {
        std::string json;
        AppendJsonString(json, *text);
        JsonCursor cursor(json);
        std::string back;
        Check(cursor.ReadString(back) && back == *text && cursor.AtEnd());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    std::vector<DxSummitSpot> spots;
    if (!ParseDxSummitSpots(body, spots)) return 0;
    Check(!body.empty());
    for (const auto& spot : spots) {
        CheckTextsRoundTrip(spot);
        DxSummitSpot normalised;
        const SpotOrigin origin = ClassifyDxSummitSpot(spot, normalised);
        for (const bool allSpots : {false, true}) {
            const SpotLineOutcome outcome = TurnSpotIntoLine(spot, allSpots);
            if (outcome.kind == SpotLineOutcome::Kind::Dropped) {
                Check(origin == SpotOrigin::RelayedSpot);
                continue;
            }
            CheckLine(outcome.line);
            if (origin == SpotOrigin::ValidWebSpot) CheckValidWebSpot(normalised, outcome.line);
            if (origin == SpotOrigin::RelayedSpot) Check(allSpots && spot.frequency > 0 && spot.frequency < 1e9);
            if (origin == SpotOrigin::InvalidWebSpot) Check(outcome.kind == SpotLineOutcome::Kind::InvalidLine);
        }
    }
    return 0;
}
