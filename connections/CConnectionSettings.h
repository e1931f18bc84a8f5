#pragma once
// The settings of one connection: the section "Connection.<id>" of the settings file in memory. Copied
// whole into each page, transport and dialog.
#include <cstdint>
#include <string>
#include <vector>

#include "spots/SpotFilterSet.h"

namespace kv {

class CIniFile;

enum ConnectionType : int32_t {
    ConnectionTelnet = 0,
    ConnectionDxSummit = 1,
    ConnectionCwSkimmer = 2,
};

enum LineEndingKind : int32_t {
    LineEndingCrLf = 0,
    LineEndingCr = 1,
    LineEndingLf = 2,
};

// The host of the DX Summit web service when [Links] DxSummitHost names none.
inline constexpr char16_t kDefaultDxSummitHost[] = u"www.dxsummit.fi";

class CConnectionSettings {
public:
    std::u16string Name;
    ConnectionType Type = ConnectionTelnet;
    bool Disabled = false; // by an earlier version (key Enabled = 0); never written
    bool Migrated = false; // Load turned an old Telnet connection marked as CW Skimmer into that type
    std::u16string Host;
    int Port = 23;
    std::u16string Login;
    std::u16string Password;
    int LineEnding = LineEndingLf;
    std::vector<std::u16string> Commands;
    bool NoSendToQuarnel = false;
    bool NoSpotsFromQuarnel = false;
    bool CwSkimmer = false;
    int CwSkimmerRadio = 0;
    std::u16string CwSkimmerStationName = u"STN1";
    int DxSummitInterval = 15; // seconds, 15 to 600
    bool DxSummitAllSpots = false;
    SpotFilterSet Filters;

    // Windows only. False, with the record untouched, when the section is missing or empty.
    bool Load(const CIniFile& ini, int id);
    // Windows only. Rewrites the whole section, so that old and stale keys disappear.
    void Save(CIniFile& ini, int id) const;

    // "host:port", empty without a host.
    std::u16string GetAddress() const;
    // The web service's host for DX Summit, else the address.
    std::u16string GetServerText() const;

    // The stored forms of the type and the line ending, and their readings (letter case ignored).
    static const char16_t* TypeText(ConnectionType type);
    static ConnectionType ParseType(const std::u16string& text);
    static const char16_t* LineEndingText(int lineEnding);
    static int ParseLineEnding(const std::u16string& text);

    // What Load does after reading the keys: old CW Skimmer marks, the LF of CW Skimmer, the name fallback.
    void ApplyLoadRules();
};

} // namespace kv
