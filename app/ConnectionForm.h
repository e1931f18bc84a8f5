#pragma once
// The fields of the connection settings dialog as its OK reads them, apart from the controls: the tidying,
// the checks in their fixed order (one fault at a time) and the storing into the settings.
#include <string>
#include <string_view>
#include <vector>

#include "connections/CConnectionSettings.h"
#include "spots/SpotFilterSet.h"

namespace kv {

struct ConnectionForm {
    std::u16string Name;
    ConnectionType Type = ConnectionTelnet;
    std::u16string Host;
    int Port = 23;
    std::u16string Login;
    std::u16string Password;
    int LineEndingIndex = 0; // the line-ending list's selection: 0 CR LF, 1 CR, 2 LF
    std::u16string CommandsText; // the commands joined by CR LF
    bool NoSendToQuarnel = false;
    bool NoSpotsFromQuarnel = false;
    unsigned DxSummitInterval = 15;
    bool DxSummitAllSpots = false;
    bool FollowRadio = false;
    int RadioIndex = 0; // the radio list's selection: 1 is "Radio 2"
    std::u16string StationName;
    SpotFilterSet Filters;

    static ConnectionForm FromSettings(const CConnectionSettings& settings);
};

enum class ConnectionField { None, Name, Host, Login, Interval, StationName };

struct ConnectionFormFault {
    ConnectionField Field = ConnectionField::None; // None: the form may be stored
    unsigned MessageId = 0;
    std::u16string Message;       // formatted
    bool LoginQuestion = false;   // an empty login is asked about (OK keeps it), not refused
};

// Trims the name, host, login, password and station name; a pasted address form becomes host and port.
void TidyConnectionForm(ConnectionForm& form);
// The first fault in the order of OK.
ConnectionFormFault CheckConnectionForm(const ConnectionForm& form, const std::vector<std::u16string>& otherNames);
// Stores a checked form; an interval out of range and an empty station name keep their old values.
void StoreConnectionForm(const ConnectionForm& form, CConnectionSettings& settings);

// The text itself when no name equals it (letter case aside), else "text 2", "text 3", ... the first free.
// Connection names are told apart without regard to the case of ASCII letters.
bool IsNameTaken(std::u16string_view name, const std::vector<std::u16string>& names);
std::u16string MakeUniqueName(std::u16string_view text, const std::vector<std::u16string>& names);

// What may be typed into the host and the login fields (control characters always pass).
bool IsHostFieldChar(char16_t c);
bool IsLoginFieldChar(char16_t c);

} // namespace kv
