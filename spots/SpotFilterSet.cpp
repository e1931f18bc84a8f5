#include "spots/SpotFilterSet.h"

#include "base/Format.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "spots/CCompiledSpotFilter.h"
#include "spots/StringIds.h"

namespace kv {

const SpotFilterSet::KeyField SpotFilterSet::kKeys[8] = {
    {u"FilterSpotterCalls", &SpotFilterSet::spotterCalls},
    {u"FilterSpotterDxcc", &SpotFilterSet::spotterDxcc},
    {u"FilterSpotterContinents", &SpotFilterSet::spotterContinents},
    {u"FilterFrequencies", &SpotFilterSet::frequencies},
    {u"FilterDxCalls", &SpotFilterSet::dxCalls},
    {u"FilterDxDxcc", &SpotFilterSet::dxDxcc},
    {u"FilterDxContinents", &SpotFilterSet::dxContinents},
    {u"FilterWords", &SpotFilterSet::words},
};

std::u16string SpotFilterSet::GetSummary(bool withSpotter) const
{
    std::u16string parts;
    const auto add = [&parts](unsigned id) {
        if (!parts.empty()) parts += u", ";
        parts += LoadText(id);
    };
    if (withSpotter && (!spotterCalls.empty() || !spotterDxcc.empty() || !spotterContinents.empty()))
        add(kIdsFilterPartSpotter);
    if (!frequencies.empty()) add(kIdsFilterPartFrequencies);
    if (!dxCalls.empty() || !dxDxcc.empty() || !dxContinents.empty()) add(kIdsFilterPartDx);
    if (!words.empty()) add(kIdsFilterPartWords);
    if (parts.empty()) return LoadText(kIdsNoFilter);
    if (disabled) parts += LoadText(kIdsFilterDisabledSuffix);
    return FormatText(LoadText(kIdsFilterActive), parts);
}

CCompiledSpotFilter& SpotFilterSet::Compile(CCompiledSpotFilter& out, bool withSpotter,
                                            std::u16string& firstError) const
{
    firstError.clear();
    CCompiledSpotFilter compiled;
    std::string error;
    const auto note = [&](bool ok) {
        if (!ok && firstError.empty()) firstError = Utf8ToUtf16(error);
    };
    const auto utf8 = [](const std::u16string& text) { return Utf16ToUtf8(text); };
    if (withSpotter) {
        note(ParseCallFilterText(utf8(spotterCalls), compiled.spotterCall, error));
        note(ParseDxccFilterText(utf8(spotterDxcc), compiled.spotterDxcc, error, nullptr));
        note(ParseContinentFilterText(utf8(spotterContinents), compiled.spotterContinent, error));
    }
    note(ParseFrequencyList(utf8(frequencies), compiled.frequency, error));
    note(ParseCallFilterText(utf8(dxCalls), compiled.dxCall, error));
    note(ParseDxccFilterText(utf8(dxDxcc), compiled.dxDxcc, error, nullptr));
    note(ParseContinentFilterText(utf8(dxContinents), compiled.dxContinent, error));
    compiled.phrases = ParseWordList(utf8(words));
    out = disabled ? CCompiledSpotFilter() : std::move(compiled);
    return out;
}

} // namespace kv
