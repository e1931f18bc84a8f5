#pragma once
// The spots of the DX Summit web service: the record read from its answer, the checks of spots typed on its
// web page (the spotter's call ends in "-@"), the "DX de" lines written for them, and the typed spot
// command with the JSON object posted for it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct DxSummitSpot {
    uint64_t id = 0; // 1 to kMaxDxSummitSpotId; 0 when missing or unusable
    std::string deCall;  // spotter; ends with "-@" for a spot typed on the web page
    std::string dxCall;
    std::string info;    // comment
    std::string time;    // ISO form: hour at bytes 11-12, minutes at 14-15
    double frequency = 0; // kHz; 0 when missing or not a number
};

// The largest id a double holds exactly. A spot without a usable id is invalid like one without a call: it
// is never delivered, and never moves the last id read.
constexpr uint64_t kMaxDxSummitSpotId = uint64_t(1) << 53;
inline bool HasUsableId(const DxSummitSpot& spot) { return spot.id >= 1 && spot.id <= kMaxDxSummitSpotId; }

enum class SpotOrigin { RelayedSpot = 0, ValidWebSpot = 1, InvalidWebSpot = 2 };

constexpr size_t kMaxWebSpotCallLength = 13;
constexpr size_t kMaxWebSpotCommentLength = 30;
constexpr size_t kMaxSpotLineLength = 1023; // the line feed included
// Frequencies at or above this (kHz) are no radio frequency; they would also overflow the rounding.
constexpr double kMaxSpotFrequencyKhz = 1e9;

// The copy of a valid web spot has normalised calls, its spotter ending in "-@" again.
SpotOrigin ClassifyDxSummitSpot(const DxSummitSpot& spot, DxSummitSpot& normalised);
std::string NormaliseWebSpotCall(std::string_view call, bool isSpotter);
// The last "-" when one or more bytes follow it and all of them are digits.
std::optional<size_t> FindSsidDash(std::string_view text);
bool IsValidWebSpotCall(std::string_view call, bool isSpotter);

// The "DX de" line of a web spot: texts transliterated to ASCII, the comment collapsed and cut to 30.
std::string FormatWebSpotLine(const DxSummitSpot& spot);
// The "DX de" line in the clusters' layout, with the spot's frequency and time. Control bytes in the texts
// become blanks; a line longer than the limit is cut before its line feed.
std::string FormatDxSummitSpotLine(std::string_view spotter, std::string_view dxCall, std::string_view comment,
                                   const DxSummitSpot& spot);
// One decimal, rounded half away from zero: 14025.25 gives "14025.3".
std::string FormatSpotFrequency(double frequencyKhz);

// What becomes of one new spot of an answer.
struct SpotLineOutcome {
    enum class Kind { Line, InvalidLine, Dropped };
    Kind kind = Kind::Dropped;
    std::string line; // the "DX de" line of a Line or an InvalidLine
};
SpotLineOutcome TurnSpotIntoLine(const DxSummitSpot& spot, bool allSpots);

// A typed "DX <frequency> <call> [comment]" (frequency and call in either order), as UTF-8.
bool ParseSpotCommand(std::string_view line, std::string& frequencyText, std::string& call, std::string& comment);
// The posted spot: {"de_call": ..., "dx_call": ..., "frequency": ..., "info": ...} on one line.
std::string BuildDxSummitSpotJson(std::string_view login, std::string_view call, std::string_view frequencyText,
                                  std::string_view comment);

// Small byte-string operations of the spot texts.
std::string TrimCopy(std::string_view text); // blanks, TABs, CR and LF at both ends
bool IsDecimalText(std::string_view text);    // digits with at most one "."
bool IsCallText(std::string_view text);       // letters, digits, "/" and "-", at least one letter or digit

} // namespace kv
