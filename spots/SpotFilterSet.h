#pragma once
// The eight filter texts of one filter level as the user typed them, and its disabled flag. A value type:
// one inside every connection's settings, four more for the global levels.
#include <string>

namespace kv {

class CCompiledSpotFilter;
class CIniFile;

class SpotFilterSet {
public:
    std::u16string spotterCalls;
    std::u16string spotterDxcc;
    std::u16string spotterContinents;
    std::u16string frequencies;
    std::u16string dxCalls;
    std::u16string dxDxcc;
    std::u16string dxContinents;
    std::u16string words;
    bool disabled = false;

    // The eight settings keys in order, with the member each one holds.
    struct KeyField {
        const char16_t* key;
        std::u16string SpotFilterSet::*text;
    };
    static const KeyField kKeys[8];

    // Reads the eight keys (trimmed) and "FilterDisabled" of the section. Windows only.
    void Load(const CIniFile& ini, const std::u16string& section);
    // Writes the texts, deleting the keys of empty ones, and "FilterDisabled" as "1" or deleted. Windows only.
    void Save(CIniFile& ini, const std::u16string& section) const;

    // "Active: spotter, frequencies, DX, words" or "No filter".
    std::u16string GetSummary(bool withSpotter) const;
    // Parses every text; a wrong entry leaves its criterion empty and the first one lands in firstError.
    // A disabled set compiles to an empty filter but still reports its first wrong entry.
    CCompiledSpotFilter& Compile(CCompiledSpotFilter& out, bool withSpotter, std::u16string& firstError) const;

    bool operator==(const SpotFilterSet&) const = default;
};

} // namespace kv
