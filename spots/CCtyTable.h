#pragma once
// The country table: callsign to DXCC entity, continent, zones, position and UTC offset, read from the
// country file of the logger suite (CTY format). Built once by Parse and never changed afterwards.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "spots/CtyKeyMap.h"

namespace kv {

struct CtyEntity {
    std::string name;
    std::string mainPrefix; // as written
    std::string continent;  // upper case, at most 2 characters
    int cqZone = 0;
    int ituZone = 0;
    double latitude = 0;
    double longitude = 0; // sign as written in the file
    double utcOffset = 0;
    int adifNumber = 0;
};

// A prefix or exact call: its entity and the overrides written after it ("(5)[8]{NA}<lat/lon>~off~").
struct CtyPrefixEntry {
    unsigned entity = 0;
    std::string overrides;
};

struct CtyLookupResult {
    const CtyEntity* entity = nullptr;
    std::string continent;
    int cqZone = 0;
    int ituZone = 0;
    double latitude = 0;
    double longitude = 0;
    double utcOffset = 0;
};

enum class CtyLoadResult { Unchanged = 0, Loaded = 1, NotFound = 2, Failed = 3 };

class CCtyTable {
public:
    std::vector<CtyEntity> Entities;
    CtyKeyMap<CtyPrefixEntry> Prefixes;   // a later definition replaces an earlier one
    CtyKeyMap<CtyPrefixEntry> ExactCalls; // the first definition wins
    CtyKeyMap<unsigned> MainPrefixes;     // the first entity wins
    unsigned MaxPrefixLength = 0;

    // Looks for the country file in the country-files folder and publishes it in CurrentCtyTable when it
    // is new or changed; text receives the path, the folder or the error. Windows only.
    static CtyLoadResult Load(std::u16string& text);

    // On failure error holds "line N: message" and the table is empty.
    bool Parse(const std::string& content, std::string& error);
    bool Lookup(const std::string& call, CtyLookupResult& result) const;
    const CtyEntity* FindEntity(const std::string& mainPrefix) const;
    // Number of leading characters of the call matched, 0 when nothing matched.
    unsigned ResolveCall(std::string_view call, const CtyPrefixEntry*& entry, std::string& matched) const;

private:
    bool Fail(size_t lineIndex, const std::string& message, std::string& error);
    void Clear();
    void AddEntityPrefixes(const std::string& prefixText, unsigned entity);
    bool TakeEntry(const CtyPrefixEntry& entry, CtyLookupResult& result) const;
};

// The published table, replaced as a whole; null until a country file has parsed. User-interface thread only.
std::shared_ptr<const CCtyTable>& CurrentCtyTable();

// Helpers of the country file, shared with its tests.
std::string TrimSpaces(std::string_view text);
double ParseCtyNumber(std::string_view text);
// The number truncated toward zero, clamped to the range of int (NaN gives 0).
int CtyNumberToInt(double value);
std::vector<std::string> SplitAny(std::string_view text, std::string_view delimiters);
void ApplyCtyOverrides(std::string_view overrides, CtyLookupResult& result);

} // namespace kv
