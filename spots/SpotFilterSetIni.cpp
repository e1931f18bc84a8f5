#include "spots/SpotFilterSet.h"

#include "base/Text.h"
#include "win/IniFile.h"

namespace kv {
namespace {
const char16_t kDisabledKey[] = u"FilterDisabled";
}

void SpotFilterSet::Load(const CIniFile& ini, const std::u16string& section)
{
    for (const KeyField& field : kKeys) this->*field.text = Trim(ini.ReadString(section, field.key));
    disabled = ini.ReadInteger(section, kDisabledKey).value_or(0) != 0;
}

void SpotFilterSet::Save(CIniFile& ini, const std::u16string& section) const
{
    for (const KeyField& field : kKeys) {
        const std::u16string& text = this->*field.text;
        if (text.empty()) ini.DeleteKey(section, field.key);
        else ini.Write(section, field.key, text);
    }
    if (disabled) ini.Write(section, kDisabledKey, u"1");
    else ini.DeleteKey(section, kDisabledKey);
}

} // namespace kv
