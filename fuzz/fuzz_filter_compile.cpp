// The filter-list parsers through SpotFilterSet::Compile, then an evaluation of a spot made of the input.
// The input holds the eight texts separated by NUL bytes, then a spot line.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Ascii.h"
#include "base/Utf.h"
#include "fuzz/spot_line_fuzz.h"
#include "spots/CCompiledSpotFilter.h"
#include "spots/SpotFilterSet.h"

using namespace kv;

namespace {

void RequireUpper(const SpotFilterCriterion& criterion)
{
    for (const auto* list : {&criterion.reject, &criterion.keepOnly})
        for (const std::string& entry : *list) {
            fuzz::Require(!entry.empty(), "no empty entry");
            for (const char c : entry) fuzz::Require(!IsAsciiLower(c), "entries are upper case");
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces(1);
    for (const char c : input) {
        if (c == '\0') pieces.emplace_back();
        else pieces.back().push_back(c);
    }
    SpotFilterSet set;
    for (size_t i = 0; i < 8 && i < pieces.size(); ++i) set.*SpotFilterSet::kKeys[i].text = Utf8ToUtf16(pieces[i]);
    set.disabled = size > 0 && data[0] == '!';

    for (const bool withSpotter : {true, false}) {
        CCompiledSpotFilter filter;
        std::u16string error;
        set.Compile(filter, withSpotter, error);
        for (const auto* c : {&filter.spotterCall, &filter.spotterDxcc, &filter.spotterContinent, &filter.dxCall,
                              &filter.dxDxcc, &filter.dxContinent})
            RequireUpper(*c);
        for (const auto* ranges : {&filter.frequency.reject, &filter.frequency.keepOnly})
            for (const FrequencyRange& r : *ranges) fuzz::Require(r.low <= r.high && r.low >= 0, "ranges are ordered");
        for (const WordPhrase& phrase : filter.phrases) {
            fuzz::Require(!phrase.empty(), "phrases have words");
            for (const std::string& word : phrase)
                fuzz::Require(!word.empty() && word.front() != '/' && word.back() != '/', "words lose outer slashes");
        }
        if (set.disabled) fuzz::Require(filter.IsEmpty(true), "a disabled set compiles empty");
        if (!withSpotter) fuzz::Require(!filter.spotterCall.HasEntries(), "no spotter lists without spotter");

        SpotFields fields;
        if (pieces.size() > 8 && ParseSpotFields(pieces[8], true, fields)) {
            std::string value;
            const SpotFilterReason reason = filter.Evaluate(fields, withSpotter, nullptr, value);
            fuzz::Require(int(reason) >= 0 && int(reason) <= 8, "a known reason");
            if (reason == SpotFilterReason::None) fuzz::Require(value.empty(), "no value when accepted");
        }
    }
    return 0;
}
