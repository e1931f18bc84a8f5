// CConnectionSettings through the profile functions.
#include "connections/CConnectionSettings.h"

#include <algorithm>

#include "connections/ConnectionList.h"
#include "connections/IniNumberedKeys.h"
#include "win/IniFile.h"

namespace kv {
namespace {

struct SectionReader {
    const CIniFile& ini;
    std::u16string section;

    std::u16string Text(const char16_t* key, const char16_t* fallback = u"") const
    {
        return ini.ReadString(section, key, fallback);
    }
    long long Number(const char16_t* key, long long fallback) const
    {
        return ini.ReadInteger(section, key).value_or(fallback);
    }
    bool Flag(const char16_t* key, bool fallback) const { return Number(key, fallback ? 1 : 0) != 0; }
    // An older key fills a filter text that is still empty, as stored.
    void FillIfEmpty(std::u16string& text, const char16_t* oldKey) const
    {
        if (text.empty()) text = Text(oldKey);
    }
};

int IntOr(long long value, int fallback)
{
    return value >= INT32_MIN && value <= INT32_MAX ? int(value) : fallback;
}

} // namespace

bool CConnectionSettings::Load(const CIniFile& ini, int id)
{
    const SectionReader read{ini, GetConnectionSection(id)};
    if (ini.KeysOf(read.section).empty()) return false;

    Name = read.Text(u"Name");
    Type = ParseType(read.Text(u"Type", u"Telnet"));
    DxSummitInterval = int(std::clamp(read.Number(u"DxSummitInterval", 15), 15LL, 600LL));
    DxSummitAllSpots = read.Flag(u"DxSummitAllSpots", false);

    Filters.Load(ini, read.section);
    read.FillIfEmpty(Filters.frequencies, u"DxSummitRejectFrequencies");
    read.FillIfEmpty(Filters.dxDxcc, u"FilterDxcc");
    read.FillIfEmpty(Filters.words, u"DxSummitRejectWords");

    Disabled = read.Number(u"Enabled", 1) == 0;
    Host = read.Text(u"Host");
    const long long port = read.Number(u"Port", 23);
    Port = port >= 1 && port <= 65535 ? int(port) : 23;
    Login = read.Text(u"Login");
    Password = read.Text(u"Password");
    LineEnding = ParseLineEnding(read.Text(u"LineEnding", u"LF"));
    Commands = ReadNumberedKeys(ini, read.section, u"Command");
    NoSendToQuarnel = read.Flag(u"NoSendToQuarnel", false);
    NoSpotsFromQuarnel = read.Flag(u"NoSpotsFromQuarnel", false);
    CwSkimmer = read.Flag(u"CwSkimmer", false);
    CwSkimmerRadio = IntOr(read.Number(u"CwSkimmerRadio", 0), 0);
    CwSkimmerStationName = read.Text(u"CwSkimmerStationName", u"STN1");
    ApplyLoadRules();
    return true;
}

void CConnectionSettings::Save(CIniFile& ini, int id) const
{
    const std::u16string section = GetConnectionSection(id);
    ini.DeleteSection(section);
    ini.Write(section, u"Name", Name);
    ini.Write(section, u"Type", TypeText(Type));
    ini.WriteInteger(section, u"DxSummitInterval", DxSummitInterval);
    ini.WriteInteger(section, u"DxSummitAllSpots", DxSummitAllSpots ? 1 : 0);
    Filters.Save(ini, section);
    ini.DeleteKey(section, u"Enabled");
    ini.Write(section, u"Host", Host);
    ini.WriteInteger(section, u"Port", Port);
    ini.Write(section, u"Login", Login);
    ini.Write(section, u"Password", Password);
    ini.Write(section, u"LineEnding", LineEndingText(LineEnding));
    WriteNumberedKeys(ini, section, u"Command", Commands);
    ini.WriteInteger(section, u"NoSendToQuarnel", NoSendToQuarnel ? 1 : 0);
    ini.WriteInteger(section, u"NoSpotsFromQuarnel", NoSpotsFromQuarnel ? 1 : 0);
    ini.WriteInteger(section, u"CwSkimmer", CwSkimmer ? 1 : 0);
    ini.WriteInteger(section, u"CwSkimmerRadio", CwSkimmerRadio);
    ini.Write(section, u"CwSkimmerStationName", CwSkimmerStationName);
}

} // namespace kv
