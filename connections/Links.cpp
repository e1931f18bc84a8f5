#include "connections/Links.h"

#include "base/Text.h"
#include "win/IniFile.h"
#include "win/Win32.h"

namespace kv {
namespace {

const char16_t kLinksSection[] = u"Links";
const char16_t kClusterDocsSection[] = u"ClusterDocs";

bool SamePath(const std::u16string& a, const std::u16string& b)
{
    return ::CompareStringOrdinal(W(a), int(a.size()), W(b), int(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::vector<std::u16string> GetLinkKeys(const SoftwareDocKeys& docKeys)
{
    std::vector<std::u16string> keys = {u"NodeListUrl", u"UserGuideUrl", u"DxSummitHost"};
    for (const auto& [docKey, softwareKey] : docKeys) keys.push_back(docKey);
    return keys;
}

std::u16string ReadProfileStringEx(const std::u16string& iniPath, const std::u16string& section,
                                   const std::u16string& key, bool& exists)
{
    const auto value = CIniFile(iniPath).Read(section, key);
    exists = value.has_value();
    return exists ? Trim(*value) : std::u16string();
}

void MigrateClusterDocs(const std::u16string& sourceIni, const std::u16string& targetIni,
                        const SoftwareDocKeys& docKeys)
{
    CIniFile source(sourceIni);
    CIniFile target(targetIni);
    if (source.KeysOf(kClusterDocsSection).empty()) return;
    bool allMoved = true;
    for (const auto& [docKey, softwareKey] : docKeys) {
        bool exists = false;
        const std::u16string value = ReadProfileStringEx(sourceIni, kClusterDocsSection, softwareKey, exists);
        if (value.empty()) continue;
        if (!ReadProfileStringEx(targetIni, kLinksSection, docKey, exists).empty()) continue;
        allMoved = target.Write(kLinksSection, docKey, value) && allMoved;
    }
    // A link that could not be written stays where it was rather than being lost.
    if (allMoved) source.DeleteSection(kClusterDocsSection);
}

void LoadLinks(const std::u16string& defaultIni, const std::u16string& currentIni, const SoftwareDocKeys& docKeys)
{
    ClearLinkTable();
    MigrateClusterDocs(defaultIni, defaultIni, docKeys);
    if (!SamePath(currentIni, defaultIni)) MigrateClusterDocs(currentIni, defaultIni, docKeys);
    CIniFile ini(defaultIni);
    for (const auto& key : GetLinkKeys(docKeys)) {
        bool exists = false;
        const std::u16string value = ReadProfileStringEx(defaultIni, kLinksSection, key, exists);
        // A key written empty here stands in the file as one the user emptied.
        if (exists || ini.Write(kLinksSection, key, u"")) SetLink(key, value);
    }
}

} // namespace kv
