#include "connections/GeneralSettings.h"

#include "base/Text.h"
#include "win/IniFile.h"
#include "connections/GetDefaultBroadcastAddress.h"
#include "connections/IniListText.h"
#include "connections/IniNumberedKeys.h"

namespace kv {
namespace {

const char16_t kGeneral[] = u"General";
const char16_t kGlobalCommands[] = u"GlobalCommands";
const char16_t kNetwork[] = u"Network";

int ReadIntInRange(const CIniFile& ini, const char16_t* section, const char16_t* key, int fallback, int low,
                   int high)
{
    const auto value = ini.ReadInteger(section, key);
    return value && *value >= low && *value <= high ? int(*value) : fallback;
}

bool ReadBool(const CIniFile& ini, const char16_t* section, const char16_t* key, bool fallback)
{
    const auto value = ini.ReadInteger(section, key);
    return value ? *value != 0 : fallback;
}

std::u16string ReadTrimmed(const CIniFile& ini, const char16_t* section, const char16_t* key)
{
    return Trim(ini.ReadString(section, key));
}

} // namespace

void GeneralSettings::Load(const CIniFile& ini)
{
    FontFace = ReadTrimmed(ini, kGeneral, u"FontFace");
    if (FontFace.empty()) FontFace = u"Consolas";
    FontSize = ReadIntInRange(ini, kGeneral, u"FontSize", 10, 6, 36);
    ReceiveMaxLines = ReadIntInRange(ini, kGeneral, u"ReceiveMaxLines", 5000, 100, 100000);
    ConnectAllOnStartup = ReadBool(ini, kGeneral, u"ConnectAllOnStartup", false);
    AutoReconnect = ReadBool(ini, kGeneral, u"AutoReconnect", true);
    CommandDelay = ReadIntInRange(ini, kGeneral, u"CommandDelay", 500, 0, 10000);
    LostConnectionDelay = ReadIntInRange(ini, kGeneral, u"LostConnectionDelay", 60, 30, 300);
    GlobalCommands = ReadNumberedKeys(ini, kGlobalCommands, u"Command");

    BroadcastAddress = ReadTrimmed(ini, kNetwork, u"BroadcastAddress");
    if (BroadcastAddress.empty() || BroadcastAddress == u"255.255.255.255")
        BroadcastAddress = GetDefaultBroadcastAddress();
    Port = ReadIntInRange(ini, kNetwork, u"Port", 9871, 1, 65535);
    ApplicationID = ini.ReadString(kNetwork, u"ApplicationID", u"TELNET");
    Disabled = ReadBool(ini, kNetwork, u"Disabled", false);
    SendSpotsOnce = ReadBool(ini, kNetwork, u"SendSpotsOnce", true);
    TranslateCommands = ReadBool(ini, kNetwork, u"TranslateCommands", true);
    GabAlerts = ReadBool(ini, kNetwork, u"GabAlerts", true);
    GabStations = ParseStationList(ini.ReadString(kNetwork, u"GabStations", u"STN1"));
}

void GeneralSettings::Save(CIniFile& ini) const
{
    ini.WriteInteger(kGeneral, u"ConfigVersion", 2);
    ini.Write(kGeneral, u"FontFace", FontFace);
    ini.WriteInteger(kGeneral, u"FontSize", FontSize);
    ini.WriteInteger(kGeneral, u"ReceiveMaxLines", ReceiveMaxLines);
    ini.WriteInteger(kGeneral, u"ConnectAllOnStartup", ConnectAllOnStartup ? 1 : 0);
    ini.WriteInteger(kGeneral, u"AutoReconnect", AutoReconnect ? 1 : 0);
    ini.WriteInteger(kGeneral, u"CommandDelay", CommandDelay);
    ini.WriteInteger(kGeneral, u"LostConnectionDelay", LostConnectionDelay);
    WriteNumberedKeys(ini, kGlobalCommands, u"Command", GlobalCommands);

    ini.Write(kNetwork, u"BroadcastAddress", BroadcastAddress);
    ini.WriteInteger(kNetwork, u"Port", Port);
    ini.Write(kNetwork, u"ApplicationID", ApplicationID);
    ini.WriteInteger(kNetwork, u"Disabled", Disabled ? 1 : 0);
    ini.WriteInteger(kNetwork, u"SendSpotsOnce", SendSpotsOnce ? 1 : 0);
    ini.WriteInteger(kNetwork, u"TranslateCommands", TranslateCommands ? 1 : 0);
    ini.WriteInteger(kNetwork, u"GabAlerts", GabAlerts ? 1 : 0);
    ini.Write(kNetwork, u"GabStations", JoinStationList(GabStations));
}

} // namespace kv
