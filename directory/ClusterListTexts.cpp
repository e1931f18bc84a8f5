#include "directory/ClusterListTexts.h"

#include "base/Format.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

// " (RBN nodes only, K - United States)", or empty when neither narrows the list.
std::u16string NoMatchHint(bool rbnOnly, const std::u16string& countryText)
{
    std::u16string hint = rbnOnly ? LoadText(453) : std::u16string();
    if (!countryText.empty()) {
        if (!hint.empty()) hint += u", ";
        hint += countryText;
    }
    return hint.empty() ? hint : u" (" + hint + u")";
}

} // namespace

std::u16string FormatSearchStatus(const std::u16string& search, size_t shownCount, bool rbnOnly,
                                  const std::u16string& countryText)
{
    if (search.empty()) return LoadText(433);
    if (shownCount > 0) return FormatText(LoadText(432), search);
    return FormatText(LoadText(452), search, NoMatchHint(rbnOnly, countryText));
}

std::u16string FormatListCounts(const std::u16string& fileName, const std::u16string& release, size_t nodeCount,
                                size_t shownCount)
{
    const int nodes = int(nodeCount);
    const int shown = int(shownCount);
    if (release.empty()) return FormatText(LoadText(434), fileName, nodes, shown);
    return FormatText(LoadText(435), fileName, release, nodes, shown);
}

std::u16string FormatUpdateOutcome(int32_t status, const std::u16string& error)
{
    if (status == 0) return LoadText(456);
    if (status == 1) return LoadText(455);
    return FormatText(LoadText(457), error);
}

} // namespace kv
