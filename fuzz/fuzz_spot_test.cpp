// The spot test of the spot filters dialog: a pasted line (received from a cluster), filter texts and typed
// fields. The input holds the line, the eight texts of the level shown and the four fields, separated by
// NUL bytes. Checks that what the dialog accepts also compiles, that a pasted spot always gives a result,
// and the shapes of the texts the dialog writes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/FilterTextValidation.h"
#include "app/SpotTest.h"
#include "base/Utf.h"
#include "fuzz/spot_line_fuzz.h"
#include "spots/CCompiledSpotFilter.h"

using namespace kv;

namespace {

std::vector<std::u16string> SplitInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) pieces.emplace_back();
        else pieces.back().push_back(char(data[i]));
    }
    pieces.resize(13);
    std::vector<std::u16string> texts;
    for (const std::string& piece : pieces) texts.push_back(Utf8ToUtf16(piece));
    return texts;
}

std::vector<SpotFilterLevel> Levels(const SpotFilterSet& shown)
{
    std::vector<SpotFilterLevel> levels(3);
    levels[1].LevelIndex = 1;
    levels[2].IsConnection = true;
    levels[2].Name = u"Alpha";
    levels[2].Filters = shown;
    return levels;
}

void CheckCleanText(const std::u16string& text)
{
    const std::u16string clean = CleanFilterText(text);
    fuzz::Require(clean.find_first_of(u"\r\n") == std::u16string::npos, "no line break is left");
    fuzz::Require(clean.empty() || (clean.front() != u' ' && clean.back() != u' '), "trimmed");
    const size_t at = FindWholeEntry(text, clean);
    fuzz::Require(at == std::u16string::npos || text.compare(at, clean.size(), clean) == 0, "found where it is");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::u16string> texts = SplitInput(data, size);
    SpotFilterSet shown;
    for (size_t i = 0; i < 8; ++i) {
        shown.*SpotFilterSet::kKeys[i].text = CleanFilterText(texts[1 + i]);
        CheckCleanText(texts[1 + i]);
    }

    // What the dialog lets the user keep compiles without an error on the page.
    for (const bool withSpotter : {true, false}) {
        if (ValidateFilterTexts(shown, withSpotter, nullptr)) continue;
        CCompiledSpotFilter filter;
        std::u16string error;
        shown.Compile(filter, withSpotter, error);
        fuzz::Require(error.empty(), "validated texts compile");
    }

    const std::vector<SpotFilterLevel> levels = Levels(shown);
    SpotTestInput input;
    input.levels = &levels;
    input.chain = {2, 1, 0};
    input.shownFilters = shown;
    input.fields = {texts[9], texts[10], texts[11], texts[12]};
    SpotTestFields pasted;
    const bool isSpot = ParseTestLine(texts[0], size > 0 && data[0] == '!', pasted);
    if (isSpot) input.fields = pasted;

    const SpotTestOutcome outcome = RunSpotTest(input);
    fuzz::Require((outcome.result == TestNone) == outcome.resultText.empty(), "a result has its text");
    fuzz::Require(outcome.result != TestNone || outcome.detail.empty(), "no detail without a result");
    if (isSpot) {
        double frequency = 0;
        fuzz::Require(ParseDecimalText(pasted.frequency, frequency), "a pasted frequency reads back");
        fuzz::Require(pasted.dxCall.empty() || outcome.result != TestNone, "a pasted spot is tested");
    }
    return 0;
}
