// The [Connections] list through the profile functions.
#include "connections/ConnectionList.h"

#include <algorithm>
#include <cstdint>

#include "base/Text.h"
#include "win/IniFile.h"

namespace kv {
namespace {

const char16_t kConnections[] = u"Connections";

int ReadInt(const CIniFile& ini, const char16_t* key, int fallback)
{
    const auto value = ini.ReadInteger(kConnections, key);
    return value && *value >= INT32_MIN && *value <= INT32_MAX ? int(*value) : fallback;
}

bool SectionHasKeys(const CIniFile& ini, int id)
{
    return !ini.KeysOf(GetConnectionSection(id)).empty();
}

} // namespace

std::vector<int> ReadIdList(const CIniFile& ini, const std::u16string& key)
{
    return ParseIdList(ini.ReadString(kConnections, key));
}

void WriteIdList(CIniFile& ini, const std::u16string& key, const std::vector<int>& ids)
{
    ini.Write(kConnections, key, FormatIdList(ids));
}

std::vector<int> LoadConnectionList(const CIniFile& ini, int& active, int& nextId)
{
    std::vector<int> order = ReadIdList(ini, u"Order");
    active = ReadInt(ini, u"Active", 0);
    nextId = ResolveNextId(ReadInt(ini, u"NextId", 1), order, ReadIdList(ini, u"Closed"));
    return order;
}

std::vector<int> LoadClosedConnections(const CIniFile& ini)
{
    const std::vector<int> open = ReadIdList(ini, u"Order");
    std::vector<int> closed;
    for (int id : ReadIdList(ini, u"Closed"))
        if (SectionHasKeys(ini, id) && std::find(open.begin(), open.end(), id) == open.end()) closed.push_back(id);
    return closed;
}

void DeleteConnectionSection(CIniFile& ini, int id)
{
    ini.DeleteSection(GetConnectionSection(id));
}

std::u16string GetConnectionDisplayName(const CIniFile& ini, int id)
{
    const std::u16string section = GetConnectionSection(id);
    const std::u16string name = Trim(ini.ReadString(section, u"Name"));
    return name.empty() ? ini.ReadString(section, u"Host") : name;
}

} // namespace kv
