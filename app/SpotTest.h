#pragma once
// The spot test of the spot filters dialog: the levels as they stand in the dialog applied to a spot that
// the user pasted or typed, with the level and criterion that reject it and what the country table says of
// its calls. Portable: the dialog hands it the fields and shows what it answers.
#include <string>
#include <vector>

#include "app/ISpotFiltersHost.h"

namespace kv {

class CCtyTable;

enum SpotTestResult { TestNone = 0, TestAccepted = 1, TestRejected = 2, TestIncomplete = 3 };

// The four test fields as the user sees them.
struct SpotTestFields {
    std::u16string spotter;
    std::u16string frequency;
    std::u16string dxCall;
    std::u16string comment;
};

struct SpotTestInput {
    const std::vector<SpotFilterLevel>* levels = nullptr; // the dialog's levels
    std::vector<int> chain;                                // indexes into levels, the shown level first
    SpotFilterSet shownFilters;                            // the shown level's texts as its edits hold them
    bool rejectOutOfBand = true;                           // the dialog's copy of the switch
    bool allFiltersDisabled = false;
    const CCtyTable* table = nullptr;
    SpotTestFields fields;
    // The duplicate note: the line and reason the dialog was opened with, and the line field now.
    std::u16string openedLine;
    std::u16string openedReason;
    std::u16string currentLine;
};

struct SpotTestOutcome {
    SpotTestResult result = TestNone;
    std::u16string resultText;
    std::u16string detail;
    std::u16string countryLines;
};

SpotTestOutcome RunSpotTest(const SpotTestInput& input);

// A line pasted into the test: the four fields when it is a spot line (frequency "%.1f").
bool ParseTestLine(const std::u16string& line, bool arClusterTail, SpotTestFields& fields);

// Decimal digits with at most one "." among them and at least one digit; nothing else, not even a blank.
bool ParseDecimalText(std::u16string_view text, double& value);

// "<label>: <prefix> - <entity>, <continent>, CQ <zone>, ITU <zone>", or why there is nothing to say.
std::u16string DescribeCall(const std::u16string& label, const std::string& call, const CCtyTable* table);

} // namespace kv
