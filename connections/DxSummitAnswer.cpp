#include "connections/DxSummitAnswer.h"

#include <cmath>

#include "connections/JsonCursor.h"

namespace kv {
namespace {

// A string, or a bare token of which null is the empty text. The view points into the body or into scratch.
bool ReadTextValue(JsonCursor& cursor, std::string& scratch, std::string_view& value)
{
    cursor.SkipWhitespace();
    if (cursor.Peek() == '"') {
        if (!cursor.ReadString(scratch)) return false;
        value = scratch;
        return true;
    }
    if (!cursor.ReadBareToken(value)) return false;
    if (value == "null") value = {};
    return true;
}

// A whole number from 1 to the largest usable id; anything else (a fraction, 0, a negative number, a number
// too large to be exact) leaves the spot without a usable id.
uint64_t IdOf(double number)
{
    if (!(number >= 1 && number <= double(kMaxDxSummitSpotId)) || std::trunc(number) != number) return 0;
    return static_cast<uint64_t>(number);
}

bool ReadMember(JsonCursor& cursor, const std::string& key, std::string& scratch, DxSummitSpot& spot)
{
    std::string* text = key == "de_call" ? &spot.deCall
                        : key == "dx_call" ? &spot.dxCall
                        : key == "info"    ? &spot.info
                        : key == "time"    ? &spot.time
                                           : nullptr;
    const bool isId = key == "id";
    if (!text && !isId && key != "frequency") return cursor.SkipValue(0);
    std::string_view value;
    if (!ReadTextValue(cursor, scratch, value)) return false;
    if (text) {
        text->assign(value);
        return true;
    }
    double number = 0;
    if (!ParseJsonNumber(value, number)) return true; // no number: the field keeps its value
    if (!isId)
        spot.frequency = number;
    else
        spot.id = IdOf(number);
    return true;
}

bool ReadSpotObject(JsonCursor& cursor, std::string& key, std::string& scratch, DxSummitSpot& spot)
{
    if (!cursor.Consume('{')) return false;
    if (cursor.Consume('}')) return true;
    for (;;) {
        if (!cursor.ReadString(key) || !cursor.Consume(':')) return false;
        if (!ReadMember(cursor, key, scratch, spot)) return false;
        if (cursor.Consume('}')) return true;
        if (!cursor.Consume(',')) return false;
    }
}

} // namespace

bool ParseDxSummitSpots(std::string_view body, std::vector<DxSummitSpot>& spots)
{
    spots.clear();
    JsonCursor cursor(body);
    if (!cursor.Consume('[')) return false;
    if (cursor.Consume(']')) return cursor.OnlyWhitespaceLeft();
    std::string key, scratch;
    for (;;) {
        DxSummitSpot spot;
        if (!ReadSpotObject(cursor, key, scratch, spot)) return false;
        spots.push_back(std::move(spot));
        if (cursor.Consume(']')) return cursor.OnlyWhitespaceLeft();
        if (!cursor.Consume(',')) return false;
    }
}

} // namespace kv
