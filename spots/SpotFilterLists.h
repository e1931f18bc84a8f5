#pragma once
// The grammar of the filter texts and the parsers that turn them into the lists the filter engine
// evaluates. Entries are separated by blanks, commas and semicolons; "/" or "!" before an entry keeps only
// what such entries name, any other entry rejects.
#include <string>
#include <vector>

#include "spots/BandPlan.h"

namespace kv {

class CCtyTable;

struct SpotFilterCriterion {
    std::vector<std::string> reject;   // upper case
    std::vector<std::string> keepOnly; // upper case
    bool HasEntries() const { return !reject.empty() || !keepOnly.empty(); }
};

struct FrequencyCriterion {
    std::vector<FrequencyRange> reject;
    std::vector<FrequencyRange> keepOnly;
    bool HasEntries() const { return !reject.empty() || !keepOnly.empty(); }
};

using WordPhrase = std::vector<std::string>;

// Each parser empties its output first. On failure both lists stay empty, error holds the wrong entry as
// typed (with its mark) and the answer is false; on success error is empty.
bool ParseCallFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error);
// With a table that holds entities, an entry must be a main prefix of it; without one every entry passes.
bool ParseDxccFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error,
                         const CCtyTable* table);
bool ParseContinentFilterText(const std::string& text, SpotFilterCriterion& out, std::string& error);
bool ParseFrequencyList(const std::string& text, FrequencyCriterion& out, std::string& error);
// Appends the ranges of one entry: a band or group name, a range "low-high" (either side may be empty) or
// a single frequency (0.5 kHz on each side).
bool ParseFrequencyEntry(const std::string& entry, std::vector<FrequencyRange>& out);
// 1 to 9 digits, optionally a point and more digits.
bool ParseFrequencyNumber(const std::string& text, double& kHz);

// Words and quoted phrases; there is no wrong entry.
std::vector<WordPhrase> ParseWordList(const std::string& text);
// Transliterated, upper-cased words of letters, digits and inner slashes.
std::vector<std::string> SplitWords(const std::string& text);

} // namespace kv
