#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "connections/DxSummitAnswer.h"
#include "connections/JsonCursor.h"

using namespace kv;

namespace {

std::string ReadStringOf(std::string_view json, bool* ok = nullptr)
{
    JsonCursor cursor(json);
    std::string text = "stale";
    const bool read = cursor.ReadString(text);
    if (ok) *ok = read;
    return read ? text : std::string("<fail>");
}

std::optional<double> NumberOf(std::string_view token)
{
    double value = -12345;
    if (!ParseJsonNumber(token, value)) return std::nullopt;
    return value;
}

std::vector<DxSummitSpot> Spots(std::string_view body, bool expectOk = true)
{
    std::vector<DxSummitSpot> spots;
    EXPECT_EQ(ParseDxSummitSpots(body, spots), expectOk) << body;
    return spots;
}

std::string Nested(int levels)
{
    return R"([{"id": 1, "extra": )" + std::string(size_t(levels), '[') + std::string(size_t(levels), ']') + "}]";
}

} // namespace

TEST(JsonCursor, StringEscapes)
{
    EXPECT_EQ(ReadStringOf(R"(  "plain")"), "plain");
    EXPECT_EQ(ReadStringOf(R"("a\b\f\n\r\tz")"), "a\b\f\n\r\tz");
    EXPECT_EQ(ReadStringOf(R"("\"\\\/\q")"), "\"\\/q"); // any other escaped byte stands for itself
    EXPECT_EQ(ReadStringOf(R"("\u0041\u00e9\u00E9")"), "A\xC3\xA9\xC3\xA9");
    EXPECT_EQ(ReadStringOf(R"("\u20ac")"), "\xE2\x82\xAC");
    EXPECT_EQ(ReadStringOf(R"("\ud83d\ude00")"), "\xF0\x9F\x98\x80");
    // A high surrogate not followed by a low one stands alone (three bytes); what follows is read by itself.
    EXPECT_EQ(ReadStringOf(R"("\ud83dA")"), "\xED\xA0\xBD" "A");
    EXPECT_EQ(ReadStringOf(R"("\ud83d\u0041")"), "\xED\xA0\xBD" "A");
    EXPECT_EQ(ReadStringOf(R"("\ud83d\n")"), "\xED\xA0\xBD\n");
    EXPECT_EQ(ReadStringOf(R"("\ude00")"), "\xED\xB8\x80"); // a lone low surrogate too
    // Control bytes and bytes of 0x80 and above pass unchanged.
    EXPECT_EQ(ReadStringOf("\"\x01\xC3\xA9\xFF\""), "\x01\xC3\xA9\xFF");
}

TEST(JsonCursor, BrokenStringsFail)
{
    for (const char* bad : {R"("abc)", R"("abc\)", R"(abc")", "", R"("\u12")", R"("\u12G4")", R"("\ud83d\uZZZZ")",
                            R"("\ud83d\u00")"}) {
        bool ok = true;
        ReadStringOf(bad, &ok);
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(JsonCursor, BareTokensHexAndPositions)
{
    JsonCursor cursor(" \t\r\n14025.0, null]tr\"ue}");
    std::string token;
    ASSERT_TRUE(cursor.ReadBareToken(token));
    EXPECT_EQ(token, "14025.0");
    EXPECT_FALSE(cursor.ReadBareToken(token)); // stops at the comma: an empty run
    EXPECT_TRUE(cursor.Consume(','));
    ASSERT_TRUE(cursor.ReadBareToken(token));
    EXPECT_EQ(token, "null");
    EXPECT_TRUE(cursor.Consume(']'));
    ASSERT_TRUE(cursor.ReadBareToken(token));
    EXPECT_EQ(token, "tr\"ue"); // not validated
    EXPECT_TRUE(cursor.Consume('}'));
    EXPECT_TRUE(cursor.OnlyWhitespaceLeft());

    unsigned code = 0;
    JsonCursor hex("aF09x");
    EXPECT_TRUE(hex.ReadHex4(code));
    EXPECT_EQ(code, 0xAF09u);
    EXPECT_FALSE(hex.ReadHex4(code)); // fewer than four bytes left
    JsonCursor notHex("12g4");
    EXPECT_FALSE(notHex.ReadHex4(code));
    EXPECT_EQ(notHex.Position(), 2u); // left where the fault was found
}

TEST(JsonCursor, SkipValueAndItsDepthLimit)
{
    JsonCursor cursor(R"( {"a": [1, "x\"]", {"b": {}}, []], "c": null} , )");
    EXPECT_TRUE(cursor.SkipValue(0));
    EXPECT_TRUE(cursor.Consume(','));
    for (const char* bad : {R"({"a" 1})", R"({"a": 1 "b": 2})", R"([1, 2)", R"({1: 2})", R"(["abc)"}) {
        JsonCursor c(bad);
        EXPECT_FALSE(c.SkipValue(0)) << bad;
    }
    EXPECT_FALSE(JsonCursor("1").SkipValue(JsonCursor::kMaxSkipDepth + 1));
    // A member of another name may nest 33 levels; one more fails the whole answer instead of the stack.
    EXPECT_EQ(Spots(Nested(33)).size(), 1u);
    Spots(Nested(34), false);
    Spots(Nested(100000), false);
}

TEST(JsonNumber, TheNumberRule)
{
    EXPECT_EQ(NumberOf("1e3"), 1000.0);
    EXPECT_EQ(NumberOf("+7"), 7.0);
    EXPECT_EQ(NumberOf("-2.5"), -2.5);
    EXPECT_EQ(NumberOf(".5"), 0.5);
    EXPECT_EQ(NumberOf("2.5E-1"), 0.25);
    EXPECT_EQ(NumberOf("1e"), 1.0); // an exponent without digits counts as 0
    EXPECT_EQ(NumberOf("0e999999"), 0.0);
    EXPECT_EQ(NumberOf("1e-999999"), 0.0);
    EXPECT_EQ(NumberOf("123456789012"), 123456789012.0);
    EXPECT_NEAR(*NumberOf("14025.25"), 14025.25, 1e-9);
    for (const char* bad : {".", "+", "-", "", "12a", "1.2.3", "1e5x", "--1", "e5", " 1", "null"})
        EXPECT_FALSE(NumberOf(bad).has_value()) << bad;
    // Numbers that are not finite are no numbers.
    EXPECT_FALSE(NumberOf("1e400").has_value());
    EXPECT_FALSE(NumberOf("-1e999").has_value());
    EXPECT_FALSE(NumberOf(std::string(400, '9')).has_value());
}

TEST(JsonWriter, AppendedStringsReadBackToTheSameBytes)
{
    std::string out = "x";
    AppendJsonString(out, "a\"b\\c/d\te\x01\x7F\xC3\xA9");
    EXPECT_EQ(out, "x\"a\\\"b\\\\c/d\\u0009e\\u0001\x7F\xC3\xA9\"");
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (auto& b : bytes) b = char(random() % 256);
        std::string json;
        AppendJsonString(json, bytes);
        bool ok = false;
        EXPECT_EQ(ReadStringOf(json, &ok), bytes);
        EXPECT_TRUE(ok);
    }
}

TEST(DxSummitAnswer, ListsAndStructureErrors)
{
    EXPECT_TRUE(Spots("[]").empty());
    EXPECT_TRUE(Spots(" \r\n[ \t ] \n").empty());
    for (const char* bad : {"[] x", "[],", "", "{}", "[1]", R"(["spot"])", R"([{"id": 1},])", R"([{"id": 1})",
                            R"([{"id" 1}])", R"([{"id": 1 "info": ""}])", R"([{"id": 1}] ])", R"([{}, 2])",
                            R"([{"x": {"y": }}])", R"([{"info": "abc}])", R"({"id": 1})", "null"})
        Spots(bad, false);
    const auto spots = Spots(R"([{}, {"id": 5}])");
    ASSERT_EQ(spots.size(), 2u);
    EXPECT_EQ(spots[0].id, 0u);
    EXPECT_EQ(spots[1].id, 5u);
}

TEST(DxSummitAnswer, MembersByName)
{
    const auto spots = Spots(R"([
      {"id": 123456789012, "de_call": "K8RQT", "dx_call": "N4XJZ", "info": "CQ \u00e9", "time": "2026-12-07T12:34:56",
       "frequency": 14025.0, "extra": {"deep": [1, 2, {"x": null}]}, "mode": "CW"},
      {"id": "77.9", "frequency": "7025.5", "de_call": null, "info": null, "dx_call": true},
      {"frequency": null, "id": -5, "ID": 9, "Info": "other case", "info": "first", "info": "last"},
      {"frequency": "abc", "id": 1e30},
      {"frequency": 1e400, "id": "18446744073709551615"}
    ])");
    ASSERT_EQ(spots.size(), 5u);
    EXPECT_EQ(spots[0].id, 123456789012u);
    EXPECT_EQ(spots[0].deCall, "K8RQT");
    EXPECT_EQ(spots[0].dxCall, "N4XJZ");
    EXPECT_EQ(spots[0].info, "CQ \xC3\xA9");
    EXPECT_EQ(spots[0].time, "2026-12-07T12:34:56");
    EXPECT_EQ(spots[0].frequency, 14025.0);
    EXPECT_EQ(spots[1].id, 0u); // not a whole number: no usable id
    EXPECT_EQ(spots[1].frequency, 7025.5); // a quoted number reads like a bare one
    EXPECT_EQ(spots[1].deCall, "");
    EXPECT_EQ(spots[1].info, "");
    EXPECT_EQ(spots[1].dxCall, "true");
    EXPECT_EQ(spots[2].frequency, 0.0);
    EXPECT_EQ(spots[2].id, 0u); // negative: not converted; "ID" is another name
    EXPECT_EQ(spots[2].info, "last");
    EXPECT_EQ(spots[3].frequency, 0.0);
    EXPECT_EQ(spots[3].id, 0u); // beyond 2^64: not converted
    EXPECT_EQ(spots[4].frequency, 0.0); // not finite: no number
    EXPECT_EQ(spots[4].id, 0u); // rounds to 2^64 in double precision: not converted
}

// Above 2^53 a double no longer holds every whole number: 2^53 + 1 would round down to the largest usable id,
// and a fraction just below or above a whole number would round to it.
TEST(DxSummitAnswer, IdsAreJudgedByTheirTextNotByTheRoundedNumber)
{
    const auto idOf = [](const std::string& written) {
        const auto spots = Spots(R"([{"id": )" + written + "}]");
        return spots.empty() ? uint64_t(12345) : spots[0].id;
    };
    for (const char* unusable : {"9007199254740993", R"("9007199254740993")", "9.007199254740993e15",
                                 "90071992547409930e-1", "9007199254740992.5", "0.99999999999999999",
                                 "1.00000000000000001"})
        EXPECT_EQ(idOf(unusable), 0u) << unusable;
    EXPECT_EQ(idOf("9007199254740992"), kMaxDxSummitSpotId);
    EXPECT_EQ(idOf("9.007199254740992e15"), kMaxDxSummitSpotId);
    EXPECT_EQ(idOf("4503599627370497.000"), 4503599627370497u);
    EXPECT_EQ(idOf("1e3"), 1000u);
    EXPECT_EQ(idOf("+1200e-2"), 12u);
    EXPECT_EQ(idOf("0.05E2"), 5u);
}
