#include "connections/MigrateV1Settings.h"

#include <optional>

#include "base/Format.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/CConnectionSettings.h"
#include "connections/ConnectionList.h"
#include "connections/GeneralSettings.h"
#include "connections/IniListText.h"
#include "connections/IniNumberedKeys.h"
#include "win/IniFile.h"
#include "win/Win32.h"

namespace kv {
namespace {

const unsigned kImportNoticeId = 338;
const int kMaxProfiles = 50;
const DWORD kSectionBufferChars = 65536;
// The first version separated the commands of one text with the currency sign.
const char16_t kCommandSeparator = u'\u00A4';
const char16_t* const kOldSections[] = {u"General Settings", u"DxCluster Settings", u"Profiles", u"Network Settings"};

// An empty value, or one that is no number, counts as absent.
std::optional<int> NumberOf(const std::u16string& value)
{
    return ParseInteger<int>(std::u16string_view(value));
}

bool IsSet(const std::u16string& value)
{
    return NumberOf(value).value_or(0) != 0;
}

// "%d %d": two numbers at the start of the text.
std::optional<std::pair<int, int>> NumberPair(const std::u16string& value)
{
    std::vector<std::u16string> words;
    for (const auto& word : Split(std::u16string_view(value), u' '))
        if (!word.empty()) words.push_back(word);
    if (words.size() < 2) return std::nullopt;
    const auto first = NumberOf(words[0]);
    const auto second = NumberOf(words[1]);
    if (!first || !second) return std::nullopt;
    return std::make_pair(*first, *second);
}

struct V1Sections {
    IniSectionMap profiles, general, cluster, network;
};

void MigrateGeneralSettings(CIniFile& ini, const V1Sections& v1)
{
    GeneralSettings settings;
    settings.Load(ini);
    const std::u16string autoConnect = GetIniValue(v1.cluster, u"AutoConnect");
    settings.ConnectAllOnStartup = IsSet(autoConnect);
    const std::u16string autoReconnect = GetIniValue(v1.cluster, u"AutoReconnect");
    settings.AutoReconnect = NumberOf(autoReconnect).value_or(1) != 0;
    settings.GlobalCommands = SplitLines(GetIniValue(v1.cluster, u"ConnectionCommands"), kCommandSeparator);

    if (auto address = GetIniValue(v1.network, u"BroadcastAddress"); !address.empty())
        settings.BroadcastAddress = address;
    if (const auto port = NumberOf(GetIniValue(v1.network, u"Port"))) settings.Port = *port;
    if (auto id = GetIniValue(v1.network, u"ApplicationID"); !id.empty()) settings.ApplicationID = id;
    settings.Disabled = IsSet(GetIniValue(v1.network, u"NetworkDisabled"));
    settings.Save(ini);
}

void MigrateWindowPosition(CIniFile& ini, const V1Sections& v1)
{
    const auto position = NumberPair(GetIniValue(v1.general, u"Position"));
    const auto size = NumberPair(GetIniValue(v1.general, u"Size"));
    if (!position || !size) return;
    WriteWindowInt(ini, u"Left", position->first);
    WriteWindowInt(ini, u"Top", position->second);
    WriteWindowInt(ini, u"Height", size->second);
}

CConnectionSettings ConnectionFromProfile(const IniSectionMap& profiles, int n)
{
    CConnectionSettings s;
    s.Host = GetIniValue(profiles, u"Hostname", n);
    s.Name = GetIniValue(profiles, u"Profile", n);
    if (s.Name.empty()) s.Name = s.Host;
    const int port = NumberOf(GetIniValue(profiles, u"Port", n)).value_or(23);
    s.Port = port >= 1 && port <= 65535 ? port : 23;
    s.Login = GetIniValue(profiles, u"Login", n);
    if (IsSet(GetIniValue(profiles, u"PasswdRequired", n))) s.Password = GetIniValue(profiles, u"Passwd", n);
    s.LineEnding = IsSet(GetIniValue(profiles, u"CRLF", n)) ? LineEndingCrLf : LineEndingLf;
    s.Commands = SplitLines(GetIniValue(profiles, u"Commands", n), kCommandSeparator);
    if (IsSet(GetIniValue(profiles, u"CwSkimmer", n))) {
        s.CwSkimmer = true;
        s.Type = ConnectionCwSkimmer;
        s.NoSpotsFromQuarnel = true;
    }
    s.CwSkimmerRadio = NumberOf(GetIniValue(profiles, u"CwSkimmerRadio", n)).value_or(0);
    if (auto station = GetIniValue(profiles, u"CwSkimmerStationName", n); !station.empty())
        s.CwSkimmerStationName = station;
    return s;
}

// Imported profiles follow the connections already in the file.
int MigrateProfiles(CIniFile& ini, const V1Sections& v1)
{
    int active = 0, nextId = 1;
    std::vector<int> order = LoadConnectionList(ini, active, nextId);
    std::vector<int> closed = LoadClosedConnections(ini);
    const int defaultProfile = NumberOf(GetIniValue(v1.cluster, u"DefaultProfile")).value_or(1);

    int imported = 0;
    for (int n = 1; n <= kMaxProfiles; ++n) {
        if (GetIniValue(v1.profiles, u"Hostname", n).empty()) continue;
        const int id = nextId++;
        ConnectionFromProfile(v1.profiles, n).Save(ini, id);
        if (n == defaultProfile) {
            order.push_back(id);
            active = id;
        } else {
            closed.push_back(id);
        }
        ++imported;
    }
    WriteIdList(ini, u"Order", order);
    WriteIdList(ini, u"Closed", closed);
    ini.WriteInteger(u"Connections", u"Active", active);
    ini.WriteInteger(u"Connections", u"NextId", nextId);
    return imported;
}

void BackUp(const std::u16string& iniPath, std::vector<std::u16string>& messages)
{
    const std::u16string backup = GetV1BackupPath(iniPath);
    if (::CopyFileW(W(iniPath), W(backup), FALSE)) return;
    messages.push_back(FormatText(u"v1 migration: backup to %s failed (error %u)", backup, unsigned(::GetLastError())));
}

} // namespace

IniSectionMap ReadIniSection(const std::u16string& iniPath, const std::u16string& section)
{
    std::u16string buffer(kSectionBufferChars, u'\0');
    const DWORD got = ::GetPrivateProfileSectionW(W(section), W(buffer.data()), kSectionBufferChars, W(iniPath));
    buffer.resize(got);
    return ParseIniSectionLines(buffer);
}

std::u16string GetV1BackupPath(const std::u16string& iniPath)
{
    return iniPath + u".v1.bak";
}

std::u16string FormatV1ImportNotice(int imported, const std::u16string& iniPath)
{
    const std::u16string backup = GetV1BackupPath(iniPath);
    const size_t slash = backup.find_last_of(u"\\/");
    return FormatText(LoadText(kImportNoticeId), imported,
                      slash == std::u16string::npos ? backup : backup.substr(slash + 1));
}

int MigrateV1Settings(const std::u16string& iniPath, std::vector<std::u16string>& messages)
{
    V1Sections v1;
    v1.profiles = ReadIniSection(iniPath, u"Profiles");
    if (v1.profiles.empty()) return -1;
    messages.push_back(FormatText(u"v1 migration: INI file %s, [Profiles] has %u keys", iniPath,
                                  unsigned(v1.profiles.size())));
    v1.general = ReadIniSection(iniPath, u"General Settings");
    v1.cluster = ReadIniSection(iniPath, u"DxCluster Settings");
    v1.network = ReadIniSection(iniPath, u"Network Settings");
    BackUp(iniPath, messages);

    CIniFile ini(iniPath);
    MigrateGeneralSettings(ini, v1);
    MigrateWindowPosition(ini, v1);
    const int imported = MigrateProfiles(ini, v1);

    // Even with no profile to import: the old sections would otherwise reset the settings at every start.
    for (const char16_t* section : kOldSections) ini.DeleteSection(section);
    if (ini.KeysOf(u"Connections").empty())
        messages.push_back(u"v1 migration: the INI file could not be written (access rights?)");
    return imported;
}

} // namespace kv
