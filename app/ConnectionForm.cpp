#include "app/ConnectionForm.h"

#include <algorithm>

#include "app/HostAddress.h"
#include "base/Ascii.h"
#include "base/DecimalDottedQuad.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/IniListText.h"
#include "directory/NodeListText.h"

namespace kv {
namespace {

constexpr unsigned kMinInterval = 15;
constexpr unsigned kMaxInterval = 600;

bool IsValidLogin(std::u16string_view login)
{
    return std::all_of(login.begin(), login.end(), IsLoginFieldChar);
}

ConnectionFormFault Fault(ConnectionField field, unsigned id, std::u16string message = {})
{
    return {field, id, message.empty() ? LoadText(id) : std::move(message), false};
}

bool IsIntervalInRange(unsigned seconds) { return seconds >= kMinInterval && seconds <= kMaxInterval; }

} // namespace

ConnectionForm ConnectionForm::FromSettings(const CConnectionSettings& s)
{
    ConnectionForm form;
    form.Name = s.Name;
    form.Type = s.Type;
    form.Host = s.Host;
    form.Port = s.Port;
    form.Login = s.Login;
    form.Password = s.Password;
    form.LineEndingIndex = s.LineEnding;
    form.CommandsText = JoinLines(s.Commands);
    form.NoSendToQuarnel = s.NoSendToQuarnel;
    form.NoSpotsFromQuarnel = s.NoSpotsFromQuarnel;
    form.DxSummitInterval = unsigned(std::max(s.DxSummitInterval, 0));
    form.DxSummitAllSpots = s.DxSummitAllSpots;
    form.FollowRadio = s.CwSkimmer;
    form.RadioIndex = s.CwSkimmerRadio == 2 ? 1 : 0;
    form.StationName = s.CwSkimmerStationName;
    form.Filters = s.Filters;
    return form;
}

void TidyConnectionForm(ConnectionForm& form)
{
    form.Name = Trim(form.Name);
    form.Host = Trim(form.Host);
    form.Login = Trim(form.Login);
    form.Password = Trim(form.Password);
    form.StationName = Trim(form.StationName);
    ParseHostAddress(form.Host, form.Port); // a recognised form has replaced host and port
}

ConnectionFormFault CheckConnectionForm(const ConnectionForm& form, const std::vector<std::u16string>& otherNames)
{
    if (form.Name.empty()) return Fault(ConnectionField::Name, 334);
    if (IsNameTaken(form.Name, otherNames))
        return Fault(ConnectionField::Name, 335, FormatText(LoadText(335), form.Name));
    if (form.Type != ConnectionDxSummit) {
        if (form.Host.empty()) return Fault(ConnectionField::Host, 336);
        if (!IsValidHost(Utf16ToUtf8(form.Host)))
            return Fault(ConnectionField::Host, 444, FormatText(LoadText(444), form.Host));
    }
    if (form.Type == ConnectionDxSummit && !IsIntervalInRange(form.DxSummitInterval))
        return Fault(ConnectionField::Interval, 393);
    if (form.Type == ConnectionCwSkimmer && form.FollowRadio && form.StationName.empty())
        return Fault(ConnectionField::StationName, 383);
    if (form.Login.empty()) {
        ConnectionFormFault question = Fault(ConnectionField::Login, form.Type == ConnectionDxSummit ? 443 : 442);
        question.LoginQuestion = true;
        return question;
    }
    if (!IsValidLogin(form.Login)) return Fault(ConnectionField::Login, 441);
    return {};
}

void StoreConnectionForm(const ConnectionForm& form, CConnectionSettings& s)
{
    s.Name = form.Name;
    s.Type = form.Type;
    if (IsIntervalInRange(form.DxSummitInterval)) s.DxSummitInterval = int(form.DxSummitInterval);
    s.DxSummitAllSpots = form.DxSummitAllSpots;
    s.Filters = form.Filters;
    s.NoSendToQuarnel = form.NoSendToQuarnel;
    s.NoSpotsFromQuarnel = form.NoSpotsFromQuarnel;
    s.Host = DecimalDottedQuad(form.Host); // as the user reads it, not as a resolver would (octal)
    s.Port = form.Port;
    s.Login = form.Login;
    s.Password = form.Password;
    std::u16string commands = form.CommandsText;
    std::erase(commands, u'\r');
    s.Commands = SplitLines(commands, u'\n');
    s.CwSkimmer = form.Type == ConnectionCwSkimmer && form.FollowRadio;
    s.CwSkimmerRadio = form.RadioIndex == 1 ? 2 : 1;
    if (!form.StationName.empty()) s.CwSkimmerStationName = form.StationName;
    const bool knownEnding = form.LineEndingIndex >= LineEndingCrLf && form.LineEndingIndex <= LineEndingLf;
    s.LineEnding = knownEnding ? form.LineEndingIndex : LineEndingCrLf;
    if (form.Type == ConnectionCwSkimmer) s.LineEnding = LineEndingLf;
}

bool IsNameTaken(std::u16string_view name, const std::vector<std::u16string>& names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const std::u16string& other) { return EqualsIgnoreCaseAscii(other, name); });
}

std::u16string MakeUniqueName(std::u16string_view text, const std::vector<std::u16string>& names)
{
    if (!IsNameTaken(text, names)) return std::u16string(text);
    for (int n = 2;; ++n) {
        std::u16string candidate = FormatText(u"%s %d", std::u16string(text), n);
        if (!IsNameTaken(candidate, names)) return candidate;
    }
}

bool IsHostFieldChar(char16_t c) { return IsAsciiAlnum(c) || c == u'-' || c == u'.' || c == u':'; }
bool IsLoginFieldChar(char16_t c) { return IsAsciiAlnum(c) || c == u'-' || c == u'/'; }

} // namespace kv
