#include "app/SpotTest.h"

#include "app/SpotFilterLevelTexts.h"
#include "base/Format.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "spots/BandPlan.h"
#include "spots/CCompiledSpotFilter.h"
#include "spots/CCtyTable.h"
#include "spots/SpotLine.h"

namespace kv {

namespace {

SpotTestOutcome Outcome(SpotTestResult result, unsigned resultId, std::u16string detail = {})
{
    return {result, LoadText(resultId), std::move(detail), {}};
}

// Compiles the chain's levels, the shown one from its edits; false with the outcome of the first error.
bool CompileChain(const SpotTestInput& input, std::vector<CCompiledSpotFilter>& compiled, SpotTestOutcome& outcome)
{
    compiled.resize(input.chain.size());
    for (size_t k = 0; k < input.chain.size(); ++k) {
        const SpotFilterLevel& level = input.levels->at(size_t(input.chain[k]));
        const SpotFilterSet& filters = k == 0 ? input.shownFilters : level.Filters;
        std::u16string error;
        filters.Compile(compiled[k], LevelUsesSpotter(level), error);
        if (!error.empty()) {
            outcome = {TestIncomplete, FormatText(LoadText(565), GetLevelShortName(level), error), {}, {}};
            return false;
        }
    }
    return true;
}

SpotTestOutcome JudgeSpot(const SpotTestInput& input, const SpotFields& spot)
{
    std::vector<CCompiledSpotFilter> compiled;
    SpotTestOutcome outcome;
    if (!CompileChain(input, compiled, outcome)) return outcome;

    const bool withSpotter = LevelUsesSpotter(input.levels->at(size_t(input.chain.front())));
    std::vector<SpotFilterLevelEntry> entries;
    for (const CCompiledSpotFilter& filter : compiled) entries.push_back({&filter, withSpotter});
    SpotFilterReason reason = SpotFilterReason::None;
    std::string value;
    const int rejecting = EvaluateSpotFilterLevels(entries, spot, input.table, reason, value);
    if (rejecting >= 0) {
        const SpotFilterLevel& level = input.levels->at(size_t(input.chain[size_t(rejecting)]));
        return Outcome(TestRejected, 564, FormatFilterRejection(GetLevelShortName(level), reason, Utf8ToUtf16(value)));
    }
    if (input.rejectOutOfBand && !IsInAmateurBand(spot.frequency))
        return Outcome(TestRejected, 564, FormatOutOfBandRejection(spot.frequency));
    return Outcome(TestAccepted, 563);
}

std::u16string DescribeCalls(const SpotTestFields& fields, const std::string& dxCall, const CCtyTable* table)
{
    std::u16string lines = DescribeCall(LoadText(566), dxCall, table);
    if (!fields.spotter.empty())
        lines += u"\r\n" + DescribeCall(LoadText(567), NormalizeSpotterCall(Utf16ToUtf8(fields.spotter)), table);
    return lines;
}

} // namespace

SpotTestOutcome RunSpotTest(const SpotTestInput& input)
{
    SpotTestFields fields = input.fields;
    fields.spotter = Trim(fields.spotter);
    fields.frequency = Trim(fields.frequency);
    fields.dxCall = Trim(fields.dxCall);

    SpotTestOutcome outcome;
    double frequency = 0;
    if (!fields.dxCall.empty() && ParseDecimalText(fields.frequency, frequency)) {
        if (input.allFiltersDisabled) {
            outcome = Outcome(TestAccepted, 563, LoadText(549));
        } else {
            const SpotFields spot{frequency, Utf16ToUtf8(fields.dxCall), Utf16ToUtf8(fields.spotter),
                                  Utf16ToUtf8(fields.comment)};
            outcome = JudgeSpot(input, spot);
            outcome.countryLines = DescribeCalls(fields, spot.dxCall, input.table);
        }
    } else if (!fields.dxCall.empty() || !fields.frequency.empty()) {
        outcome = Outcome(TestIncomplete, 562);
    }

    const bool openedAsDuplicate = !input.openedReason.empty() && input.currentLine == input.openedLine;
    if (openedAsDuplicate && outcome.result != TestNone) {
        if (!outcome.detail.empty()) outcome.detail += u' ';
        outcome.detail += FormatText(LoadText(570), input.openedReason);
    }
    return outcome;
}

bool ParseTestLine(const std::u16string& line, bool arClusterTail, SpotTestFields& fields)
{
    SpotFields spot;
    if (!ParseSpotFields(Utf16ToUtf8(line), arClusterTail, spot)) return false;
    fields.spotter = Utf8ToUtf16(spot.spotter);
    fields.frequency = AsciiToU16(FormatFixed(spot.frequency, 1));
    fields.dxCall = Utf8ToUtf16(spot.dxCall);
    fields.comment = Utf8ToUtf16(spot.comment);
    return true;
}

bool ParseDecimalText(std::u16string_view text, double& value)
{
    bool digit = false;
    bool point = false;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!digit) return false;
    // "0" in front and behind keeps ".5" and "14025." in the number forms that every parser takes.
    const std::optional<double> parsed = ParseDouble("0" + U16ToAscii(text) + (point ? "0" : ""));
    if (!parsed) return false;
    value = *parsed;
    return true;
}

std::u16string DescribeCall(const std::u16string& label, const std::string& call, const CCtyTable* table)
{
    if (!table) return FormatText(LoadText(559), label);
    CtyLookupResult found;
    if (!table->Lookup(call, found) || !found.entity) return FormatText(LoadText(560), label);
    return FormatText(LoadText(561), label, Utf8ToUtf16(found.entity->mainPrefix), Utf8ToUtf16(found.entity->name),
                      Utf8ToUtf16(found.continent), found.cqZone, found.ituZone);
}

} // namespace kv
