#pragma once
// The two line forms that count as spots: the "DX de" line of the clusters and the listing line of the
// SH/DX commands. Pure functions over the bytes of a line; any thread may call them.
//
// A blank is space, tab, CR, LF or BEL: cluster nodes ring the bell at the end of a spot line. On the
// display road BEL is shown as U+2022, so its UTF-8 form counts as a blank as well.
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct SpotFields {
    double frequency = 0; // kHz, as written
    std::string dxCall;
    std::string spotter;  // with whatever node suffix the cluster put on it
    std::string comment;
};

// What the sent-spot store needs of a "DX de" line.
struct SentSpotKey {
    std::string key;     // spotter|frequency|DX call|hhmm
    std::string comment; // normalised, empty for a skimmer spotter ("-#")
};

bool ParseSpotFields(const std::string& line, bool tailToken, SpotFields& fields);
bool ParseDxDeSpotFields(const std::string& line, SpotFields& fields);
bool ParseShowDxSpotFields(const std::string& line, bool tailToken, SpotFields& fields);
bool ParseDxDeLine(const std::string& line, SentSpotKey& result);

std::string NormalizeSpotText(const std::string& text);

void SplitOnBlanks(const std::string& text, std::vector<std::string>& tokens, std::vector<unsigned>& starts);
bool ParseDecimal(std::string_view text, double& value);
bool IsHhmmZTime(std::string_view token);
bool IsCommentTailToken(std::string_view token);

// Length of the blank at pos (0 when none).
size_t BlankLengthAt(std::string_view text, size_t pos);

} // namespace kv
