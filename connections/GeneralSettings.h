#pragma once
// The settings that belong to no single connection: [General], [GlobalCommands] and [Network]. The record
// is plain data; loading and saving go through the profile functions.
#include <string>
#include <vector>

namespace kv {

class CIniFile;

struct GeneralSettings {
    std::u16string FontFace = u"Consolas";
    int FontSize = 10;
    int ReceiveMaxLines = 5000;
    bool ConnectAllOnStartup = false;
    bool AutoReconnect = true;
    int CommandDelay = 500;        // ms between queued commands
    int LostConnectionDelay = 60;  // s, keep-alive timing of Telnet connections
    std::vector<std::u16string> GlobalCommands;
    std::u16string BroadcastAddress;
    int Port = 9871;
    std::u16string ApplicationID = u"TELNET";
    bool Disabled = false;
    bool SendSpotsOnce = true;
    bool TranslateCommands = true;
    bool GabAlerts = true;
    std::vector<std::u16string> GabStations = {u"STN1"};

    // Numbers outside their range fall back to their default, not to the nearest bound.
    void Load(const CIniFile& ini);
    void Save(CIniFile& ini) const;

    bool operator==(const GeneralSettings&) const = default;
};

} // namespace kv
