#pragma once
// The web links of the program: the non-empty values of the [Links] section, read once at start-up
// (LoadLinks) and only read afterwards, from any thread.
#include <map>
#include <string>
#include <string_view>

namespace kv {

// The value stored under the key (letter case counts), or the caller's default when there is none.
std::u16string GetLink(std::u16string_view key, std::u16string_view defaultValue);

// Filled by the loader before any worker thread starts.
void ClearLinkTable();
void SetLink(const std::u16string& key, const std::u16string& value);

} // namespace kv
