#pragma once
// Lists stored as numbered keys of one section: Command1, Command2, ... read up to the first missing key.
#include <string>
#include <vector>

namespace kv {

class CIniFile;

// "%s%d": the name followed by the number.
std::u16string NumberedKey(const std::u16string& name, int number);

// A missing key ends the list; an empty value does not, but is not kept. Values are trimmed.
std::vector<std::u16string> ReadNumberedKeys(const CIniFile& ini, const std::u16string& section,
                                             const std::u16string& name);
// Writes the entries from 1 on, unchanged, then deletes the keys that followed them in a longer stored list.
void WriteNumberedKeys(CIniFile& ini, const std::u16string& section, const std::u16string& name,
                       const std::vector<std::u16string>& entries);

// One number in [Window], as "%d".
void WriteWindowInt(CIniFile& ini, const std::u16string& key, int value);

} // namespace kv
