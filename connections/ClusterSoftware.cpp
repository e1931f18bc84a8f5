#include "connections/ClusterSoftware.h"

#include <string_view>

#include "base/Ascii.h"
#include "connections/LinkTable.h"

namespace kv {

const ClusterSoftwareInfo ClusterSoftwareTable[] = {
    {PyCluster, u"pyCluster", u"pyCluster", u"https://github.com/pycluster/pycluster", {u"pycluster"}},
    {DXSpider, u"DXSpider", u"DXSpider", u"https://www.dxcluster.org/main/usermanual_en.html",
     {u"dxspider", u"dx spider"}},
    {ARCluster, u"AR-Cluster", u"ARCluster", u"https://www.ab5k.net/ArcDocsVer6/Default.htm", {u"ar-cluster"}},
    {ARCluster6, u"AR-Cluster 6", u"ARCluster", u"https://www.ab5k.net/ArcDocsVer6/Default.htm", {}},
    {ARCluster4, u"AR-Cluster 4", u"ARCluster4", u"https://www.ab5k.net/ArcDocsVer4/Default.htm", {}},
    {CCCluster, u"CC Cluster", u"CCCluster", u"https://bcdxc.org/ve7cc/ccc/CCC_Commands.htm",
     {u"cc cluster", u"cc-cluster"}},
    {DxNet, u"DxNet", u"DxNet", u"http://www.dxcluster.info/dxnet/", {u"dxnet"}},
    {GoCluster, u"GoCluster", u"GoCluster", u"https://github.com/gocluster/gocluster", {u"gocluster"}},
    {CLX, u"CLX", u"CLX", u"http://www.clx.muc.de/", {u"clx gateway", u"running clx", u"clx >"}},
    {CwSkimmer, u"CW Skimmer", u"CwSkimmer", u"https://www.dxatlas.com/CwSkimmer/", {u"cw skimmer", u"cwskimmer"}},
};
const unsigned ClusterSoftwareTableSize = sizeof ClusterSoftwareTable / sizeof ClusterSoftwareTable[0];

namespace {

bool EndsWith(std::u16string_view text, std::u16string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Spots, announcements and WWV/WCY reports quote arbitrary text and never name the node's software.
bool IsQuotingLine(std::u16string_view lower)
{
    size_t start = 0;
    while (start < lower.size() && IsAsciiSpace(lower[start])) ++start;
    const std::u16string_view rest = lower.substr(start);
    for (std::u16string_view prefix : {u"dx de ", u"to all ", u"wwv de ", u"wcy de "})
        if (rest.substr(0, prefix.size()) == prefix) return true;
    return false;
}

// The page decodes a BEL that the node sends after its prompt as a bullet.
bool IsPromptTrailer(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\a' || c == u'\u2022';
}

} // namespace

ClusterSoftwareId IdentifyClusterSoftware(const std::u16string& line)
{
    const std::u16string lower = ToLowerAscii(line);
    if (IsQuotingLine(lower)) return Unknown;
    for (const auto& row : ClusterSoftwareTable)
        for (const char16_t* signature : row.Signatures)
            if (signature && lower.find(signature) != std::u16string::npos) return row.Id;
    return Unknown;
}

ClusterSoftwareId RefineArClusterVersion(ClusterSoftwareId current, const std::u16string& text)
{
    if (current != ARCluster && current != ARCluster4 && current != ARCluster6) return current;
    size_t end = text.size();
    while (end > 0 && IsPromptTrailer(text[end - 1])) --end;
    const std::u16string prompt = ToLowerAscii(std::u16string_view(text).substr(0, end));
    if (EndsWith(prompt, u"arc6>")) return ARCluster6;
    if (EndsWith(prompt, u"arc >") || EndsWith(prompt, u" arc>")) return ARCluster4;
    return current;
}

std::u16string GetClusterSoftwareName(ClusterSoftwareId id)
{
    for (const auto& row : ClusterSoftwareTable)
        if (row.Id == id) return row.Name;
    return {};
}

std::u16string GetSoftwareDocKey(const std::u16string& key)
{
    std::u16string result = u"Doc" + key;
    if (!key.empty()) result[3] = AsciiToUpper(result[3]);
    return result;
}

std::vector<std::pair<std::u16string, std::u16string>> GetSoftwareDocKeys()
{
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    for (const auto& row : ClusterSoftwareTable) {
        std::u16string docKey = GetSoftwareDocKey(row.Key);
        bool seen = false;
        for (const auto& pair : keys) seen = seen || pair.first == docKey;
        if (!seen) keys.emplace_back(std::move(docKey), row.Key);
    }
    return keys;
}

std::u16string GetSoftwareDocUrl(ClusterSoftwareId id)
{
    for (const auto& row : ClusterSoftwareTable)
        if (row.Id == id) return GetLink(GetSoftwareDocKey(row.Key), row.DocUrl);
    return {};
}

} // namespace kv
