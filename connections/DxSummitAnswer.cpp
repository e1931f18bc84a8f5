#include "connections/DxSummitAnswer.h"

#include <algorithm>

#include "base/Ascii.h"
#include "base/Numbers.h"
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

constexpr size_t kMaxIdDigits = 16; // 2^53 = 9007199254740992
constexpr long long kExponentCap = 1'000'000'000;

// The exponent after "e" or "E", when there is one; capped far beyond any usable id, so it cannot overflow.
long long ExponentOf(std::string_view rest)
{
    if (rest.empty()) return 0;
    rest.remove_prefix(1);
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
    long long exponent = 0;
    for (char c : rest) exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    return negative ? -exponent : exponent;
}

// A whole number from 1 to the largest usable id; anything else (a fraction, 0, a negative number, a number
// too large) leaves the spot without a usable id. Judged on the token's digits, not on its double: above
// 2^53 a double rounds, and 2^53 + 1 or 2^53 + 0.5 would pass as 2^53. The token passed the number rule.
uint64_t IdOf(std::string_view token)
{
    size_t i = 0;
    if (token[i] == '-') return 0;
    if (token[i] == '+') ++i;
    std::string digits;  // the significant ones: no leading zeros
    long long scale = 0; // the value is digits times 10^scale
    bool afterPoint = false;
    for (; i < token.size() && (IsAsciiDigit(token[i]) || token[i] == '.'); ++i) {
        if (token[i] == '.') {
            afterPoint = true;
            continue;
        }
        if (afterPoint) --scale;
        if (!digits.empty() || token[i] != '0') digits.push_back(token[i]);
    }
    scale += ExponentOf(token.substr(i));
    for (; !digits.empty() && digits.back() == '0'; ++scale) digits.pop_back();
    if (digits.empty() || scale < 0 || digits.size() + size_t(scale) > kMaxIdDigits) return 0;
    uint64_t value = ParseInteger<uint64_t>(digits).value_or(0);
    for (; scale > 0; --scale) value *= 10;
    return value <= kMaxDxSummitSpotId ? value : 0;
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
        spot.id = IdOf(value);
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
