#pragma once
// The check of a level's filter texts before the user may leave it: the first wrong entry, the message
// that names it, and where that entry stands in the text of its edit.
#include <optional>
#include <string>
#include <string_view>

#include "spots/SpotFilterSet.h"

namespace kv {

class CCtyTable;

struct FilterTextError {
    std::u16string SpotFilterSet::*field = nullptr; // the text that holds the wrong entry
    unsigned messageId = 0;                          // its message, "%s" the entry
    std::u16string entry;                            // as typed, with its mark
};

// The texts are parsed in the order of the dialog (spotter calls, DXCC and continents when withSpotter is
// set, frequencies, DX calls, DXCC and continents); DXCC entries are checked against the table when it holds
// entities. The words are not checked: they have no wrong entry.
std::optional<FilterTextError> ValidateFilterTexts(const SpotFilterSet& filters, bool withSpotter,
                                                   const CCtyTable* table);

// The first occurrence of entry that stands as a whole entry of text (between separators: blank, tab, CR,
// LF, "," or ";", or an end of the text); npos when there is none.
size_t FindWholeEntry(std::u16string_view text, std::u16string_view entry);

// A filter edit's text as it is stored: CR LF, CR and LF become blanks, then blanks at both ends go.
std::u16string CleanFilterText(std::u16string_view text);

} // namespace kv
