#pragma once
// The web links of the program: the values of the [Links] section, read once at start-up (LoadLinks) and only
// read afterwards, from any thread. An empty value stands for the caller's default.
#include <map>
#include <string>
#include <string_view>

namespace kv {

// The value stored under the key (letter case counts), or the caller's default when it is absent or empty.
std::u16string GetLink(std::u16string_view key, std::u16string_view defaultValue);

// The key stands in [Links] with nothing after its equals sign: the user's way to switch a link off where
// its caller allows that (the node-list download).
bool IsLinkEmpty(std::u16string_view key);

// Filled by the loader before any worker thread starts; an empty value is kept as such.
void ClearLinkTable();
void SetLink(const std::u16string& key, const std::u16string& value);

} // namespace kv
