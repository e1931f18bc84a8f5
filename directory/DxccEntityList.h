#pragma once
// The list of DXCC entities that the cluster chooser offers as countries: the program's embedded text, one
// entity a line as "ADIF number,prefix - name" (for example "291,K - United States").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct DxccEntityItem {
    int32_t Adif = 0;
    std::u16string Text; // what follows the comma: "K - United States"
};

// The entities in the order of the text; lines without a number above 0 before a comma are skipped.
std::vector<DxccEntityItem> ParseDxccEntityList(std::string_view text);

} // namespace kv
