#include "connections/CConnectionSettings.h"

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"
#include "connections/LinkTable.h"

namespace kv {

std::u16string CConnectionSettings::GetAddress() const
{
    return Host.empty() ? std::u16string() : FormatText(u"%s:%d", Host, Port);
}

std::u16string CConnectionSettings::GetServerText() const
{
    return Type == ConnectionDxSummit ? GetLink(u"DxSummitHost", kDefaultDxSummitHost) : GetAddress();
}

const char16_t* CConnectionSettings::TypeText(ConnectionType type)
{
    switch (type) {
    case ConnectionDxSummit: return u"DXSummit";
    case ConnectionCwSkimmer: return u"CWSkimmer";
    default: return u"Telnet";
    }
}

ConnectionType CConnectionSettings::ParseType(const std::u16string& text)
{
    if (EqualsIgnoreCaseAscii(text, u"DXSummit")) return ConnectionDxSummit;
    if (EqualsIgnoreCaseAscii(text, u"CWSkimmer")) return ConnectionCwSkimmer;
    return ConnectionTelnet;
}

const char16_t* CConnectionSettings::LineEndingText(int lineEnding)
{
    switch (lineEnding) {
    case LineEndingCr: return u"CR";
    case LineEndingLf: return u"LF";
    default: return u"CRLF";
    }
}

int CConnectionSettings::ParseLineEnding(const std::u16string& text)
{
    if (EqualsIgnoreCaseAscii(text, u"CR")) return LineEndingCr;
    if (EqualsIgnoreCaseAscii(text, u"LF")) return LineEndingLf;
    return LineEndingCrLf;
}

void CConnectionSettings::ApplyLoadRules()
{
    Migrated = false;
    if (Type == ConnectionTelnet && CwSkimmer) {
        Type = ConnectionCwSkimmer;
        NoSpotsFromQuarnel = true;
        Migrated = true;
    }
    if (Type == ConnectionCwSkimmer) LineEnding = LineEndingLf;
    Name = Trim(Name);
    if (Name.empty()) Name = Type == ConnectionDxSummit ? u"DX Summit" : Host;
}

} // namespace kv
