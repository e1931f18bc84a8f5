#include "connections/IniNumberedKeys.h"

#include "base/Format.h"
#include "base/Text.h"
#include "win/IniFile.h"

namespace kv {

std::u16string NumberedKey(const std::u16string& name, int number) { return FormatText(u"%s%d", name, number); }

std::vector<std::u16string> ReadNumberedKeys(const CIniFile& ini, const std::u16string& section,
                                             const std::u16string& name)
{
    std::vector<std::u16string> entries;
    for (int i = 1;; ++i) {
        const auto value = ini.Read(section, NumberedKey(name, i));
        if (!value) return entries;
        std::u16string entry = Trim(*value);
        if (!entry.empty()) entries.push_back(std::move(entry));
    }
}

void WriteNumberedKeys(CIniFile& ini, const std::u16string& section, const std::u16string& name,
                       const std::vector<std::u16string>& entries)
{
    int i = 1;
    for (const auto& entry : entries) ini.Write(section, NumberedKey(name, i++), entry);
    for (;; ++i) {
        const std::u16string key = NumberedKey(name, i);
        if (!ini.Read(section, key)) return;
        ini.DeleteKey(section, key);
    }
}

void WriteWindowInt(CIniFile& ini, const std::u16string& key, int value)
{
    ini.Write(u"Window", key, FormatText(u"%d", value));
}

} // namespace kv
