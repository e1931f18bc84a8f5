#include "connections/LinkTable.h"

namespace kv {
namespace {

std::map<std::u16string, std::u16string, std::less<>>& Table()
{
    static std::map<std::u16string, std::u16string, std::less<>> table;
    return table;
}

} // namespace

std::u16string GetLink(std::u16string_view key, std::u16string_view defaultValue)
{
    const auto it = Table().find(key);
    return it != Table().end() && !it->second.empty() ? it->second : std::u16string(defaultValue);
}

bool IsLinkEmpty(std::u16string_view key)
{
    const auto it = Table().find(key);
    return it != Table().end() && it->second.empty();
}

void ClearLinkTable() { Table().clear(); }

void SetLink(const std::u16string& key, const std::u16string& value)
{
    Table()[key] = value;
}

} // namespace kv
