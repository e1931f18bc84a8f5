#include "app/HostAddress.h"

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {
namespace {

constexpr int kTelnetPort = 23;

bool IsBlankOrTab(char16_t c) { return c == u' ' || c == u'\t'; }

size_t FindBlankOrTab(std::u16string_view s)
{
    for (size_t i = 0; i < s.size(); ++i)
        if (IsBlankOrTab(s[i])) return i;
    return std::u16string_view::npos;
}

// The flags that a scheme or the "telnet" word in front of the address sets.
struct AddressScheme {
    bool telnet = false;
    bool web = false;
};

// Takes off "telnet://", "http://", "https://" (the rest cut at its first "/") or a leading "telnet" word.
AddressScheme StripScheme(std::u16string& s)
{
    AddressScheme scheme;
    const std::u16string lower = ToLowerAscii(s);
    const size_t p = lower.find(u"://");
    if (p != std::u16string::npos && p >= 1) {
        const std::u16string_view name = std::u16string_view(lower).substr(0, p);
        scheme.telnet = name == u"telnet";
        scheme.web = name == u"http" || name == u"https";
        if (scheme.telnet || scheme.web) {
            std::u16string rest = s.substr(p + 3);
            const size_t slash = rest.find(u'/');
            if (slash != std::u16string::npos) rest.resize(slash);
            s = Trim(rest);
            return scheme;
        }
    }
    if (lower.size() >= 7 && lower.compare(0, 6, u"telnet") == 0 && IsBlankOrTab(lower[6])) {
        scheme.telnet = true;
        s = Trim(std::u16string_view(s).substr(7));
    }
    return scheme;
}

// "host port" or "host:port": both parts must be there and the port valid.
bool TakeHostAndPort(std::u16string_view host, std::u16string_view portText, std::u16string& text, int& port)
{
    // Other white space than blanks and tabs (a line break pasted before the blank) does not stay in the host.
    const std::u16string trimmedHost = Trim(host);
    const int parsed = ParsePortText(portText);
    if (parsed == 0 || trimmedHost.empty()) return false;
    text = trimmedHost;
    port = parsed;
    return true;
}

} // namespace

int ParsePortText(std::u16string_view text)
{
    if (text.empty() || text.size() > 5) return 0;
    int value = 0;
    for (char16_t c : text) {
        if (!IsAsciiDigit(c)) return 0;
        value = value * 10 + (c - u'0');
    }
    return value >= 1 && value <= 65535 ? value : 0;
}

bool ParseHostAddress(std::u16string& text, int& port)
{
    std::u16string s = Trim(text);
    const AddressScheme scheme = StripScheme(s);

    const size_t blank = FindBlankOrTab(s);
    if (blank != std::u16string::npos && blank >= 1) {
        const std::u16string rest = Trim(std::u16string_view(s).substr(blank + 1));
        if (FindBlankOrTab(rest) != std::u16string::npos) return false;
        return TakeHostAndPort(std::u16string_view(s).substr(0, blank), rest, text, port);
    }
    const size_t colon = s.find(u':');
    if (colon != std::u16string::npos) {
        if (colon == 0 || s.find(u':', colon + 1) != std::u16string::npos) return false; // IPv6 or worse
        return TakeHostAndPort(std::u16string_view(s).substr(0, colon), std::u16string_view(s).substr(colon + 1),
                               text, port);
    }
    if (s.empty() || !(scheme.telnet || scheme.web)) return false;
    text = s;
    if (scheme.telnet) port = kTelnetPort;
    return true;
}

} // namespace kv
