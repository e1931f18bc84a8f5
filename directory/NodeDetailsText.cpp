#include "directory/NodeDetailsText.h"

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/OpenableLink.h"
#include "base/Text.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

// Appends the part, after the separator when something precedes it.
void AppendPart(std::u16string& text, const std::u16string& separator, const std::u16string& part)
{
    if (part.empty()) return;
    if (!text.empty()) text += separator;
    text += part;
}

std::u16string Sanitized(const std::string& utf8) { return SanitizeLinkText(Utf8ToCString(utf8)); }

// A part is left out when the program would not open its address: a link must not read as one address
// and open another, or nothing.
std::u16string MailPart(const std::u16string& email)
{
    if (email.empty() || !IsOpenableLink(u"mailto:" + email, LinkKinds::WebOrMail)) return {};
    return FormatText(u"<a href=\"mailto:%s\">%s</a>", email, email);
}

std::u16string WebsitePart(const std::u16string& url)
{
    const size_t scheme = url.find(u"://");
    const std::u16string target = scheme != std::u16string::npos ? url : u"http://" + url;
    if (url.empty() || !IsOpenableLink(target, LinkKinds::Web)) return {};
    std::u16string shown = scheme != std::u16string::npos ? url.substr(scheme + 3) : url;
    while (!shown.empty() && shown.back() == u'/') shown.pop_back();
    return FormatText(LoadText(451), target, shown);
}

} // namespace

std::u16string SanitizeLinkText(const std::u16string& text)
{
    std::u16string kept;
    for (char16_t c : text)
        if (c != u'<' && c != u'>' && c != u'"') kept.push_back(c);
    return Trim(kept);
}

std::u16string FormatNodeLocation(const ClusterNode& node)
{
    std::u16string text = Utf8ToCString(node.City);
    AppendPart(text, u", ", Utf8ToCString(node.State));
    const std::u16string grid = Utf8ToCString(node.Grid);
    if (!grid.empty()) text += (text.empty() ? u"(" : u" (") + grid + u")";
    return text;
}

std::u16string FormatNodePeople(const ClusterNode& node)
{
    std::u16string text;
    if (node.Publish) {
        text = Sanitized(node.SysopName);
        AppendPart(text, u" ", Sanitized(node.Sysop));
        AppendPart(text, u" ", MailPart(Sanitized(node.Email)));
    }
    AppendPart(text, u"   ", WebsitePart(Sanitized(node.Url)));
    return text;
}

std::u16string FormatNodeSoftware(const ClusterNode& node)
{
    const std::u16string software = Sanitized(node.Software);
    const std::u16string version = Sanitized(node.Version);
    std::u16string text;
    if (!EqualsIgnoreCaseAscii(software, u"OTHER")) {
        text = software;
        AppendPart(text, u" ", version);
        return text;
    }
    if (!version.empty() && IsAsciiAlpha(version.front())) return version;
    text = u"Other";
    AppendPart(text, u" ", version);
    return text;
}

} // namespace kv
