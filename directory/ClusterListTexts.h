#pragma once
// The status lines of the cluster chooser: the search line, the counts line and the outcome of an update.
#include <cstdint>
#include <string>

namespace kv {

// countryText: the text of the chosen country, empty when none is chosen.
std::u16string FormatSearchStatus(const std::u16string& search, size_t shownCount, bool rbnOnly,
                                  const std::u16string& countryText);
// release: empty when the list states none.
std::u16string FormatListCounts(const std::u16string& fileName, const std::u16string& release, size_t nodeCount,
                                size_t shownCount);
// status: 0 up to date, 1 new list, anything else failed with the error text.
std::u16string FormatUpdateOutcome(int32_t status, const std::u16string& error);

} // namespace kv
