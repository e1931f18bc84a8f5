// CCtyTable::Parse on arbitrary bytes, then lookups of calls taken from the input.
#include <cstddef>
#include <cstdint>

#include "fuzz/spot_line_fuzz.h"
#include "spots/CCtyTable.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    CCtyTable table;
    std::string error;
    const bool parsed = table.Parse(content, error);
    fuzz::Require(parsed == error.empty(), "an error exactly when parsing fails");
    if (!parsed) {
        fuzz::Require(table.Entities.empty() && table.Prefixes.empty() && table.ExactCalls.empty(), "empty on error");
        fuzz::Require(error.rfind("line ", 0) == 0, "errors name their line");
    }
    for (const auto& [prefix, entry] : table.Prefixes) {
        fuzz::Require(prefix.size() <= table.MaxPrefixLength, "no prefix longer than the longest");
        fuzz::Require(entry.entity < table.Entities.size(), "prefixes point at entities");
    }
    for (const auto& [call, entry] : table.ExactCalls)
        fuzz::Require(!call.empty() && entry.entity < table.Entities.size(), "exact calls point at entities");

    // Every token of the input is tried as a call, and every key of the table with suffixes.
    const auto check = [&](const std::string& call) {
        CtyLookupResult result;
        if (table.Lookup(call, result)) {
            fuzz::Require(result.entity >= table.Entities.data() &&
                              result.entity < table.Entities.data() + table.Entities.size(),
                          "the entity is inside the table");
        } else {
            fuzz::Require(result.entity == nullptr && result.continent.empty(), "a failed lookup is reset");
        }
    };
    size_t start = 0;
    for (size_t i = 0; i <= content.size() && start < 4096; ++i) {
        if (i == content.size() || content[i] == ',' || content[i] == '\n' || content[i] == ' ') {
            if (i > start) check(content.substr(start, std::min<size_t>(i - start, 32)));
            start = i + 1;
        }
    }
    for (const auto& [prefix, entry] : table.Prefixes) {
        check(prefix + "1ABC/4");
        check("W1ABC/" + prefix);
    }
    return 0;
}
