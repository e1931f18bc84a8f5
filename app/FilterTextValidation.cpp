#include "app/FilterTextValidation.h"

#include "base/Text.h"
#include "base/Utf.h"
#include "spots/SpotFilterLists.h"

namespace kv {

namespace {

enum class ListKind { Calls, Dxcc, Continents, Frequencies };

struct CheckedText {
    std::u16string SpotFilterSet::*field;
    ListKind kind;
    bool spotter;
};

// The order in which the dialog checks the texts and reports the first wrong one.
constexpr CheckedText kCheckedTexts[] = {
    {&SpotFilterSet::spotterCalls, ListKind::Calls, true},
    {&SpotFilterSet::spotterDxcc, ListKind::Dxcc, true},
    {&SpotFilterSet::spotterContinents, ListKind::Continents, true},
    {&SpotFilterSet::frequencies, ListKind::Frequencies, false},
    {&SpotFilterSet::dxCalls, ListKind::Calls, false},
    {&SpotFilterSet::dxDxcc, ListKind::Dxcc, false},
    {&SpotFilterSet::dxContinents, ListKind::Continents, false},
};

// Parses one text; false with the wrong entry and the id of its message.
bool ParseList(ListKind kind, const std::string& text, const CCtyTable* table, std::string& entry,
               unsigned& messageId)
{
    SpotFilterCriterion criterion;
    switch (kind) {
    case ListKind::Calls: messageId = 517; return ParseCallFilterText(text, criterion, entry);
    case ListKind::Dxcc: messageId = 510; return ParseDxccFilterText(text, criterion, entry, table);
    case ListKind::Continents: messageId = 518; return ParseContinentFilterText(text, criterion, entry);
    case ListKind::Frequencies: {
        FrequencyCriterion frequencies;
        messageId = 496;
        return ParseFrequencyList(text, frequencies, entry);
    }
    }
    return true;
}

bool IsEntrySeparator(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u',' || c == u';';
}

} // namespace

std::optional<FilterTextError> ValidateFilterTexts(const SpotFilterSet& filters, bool withSpotter,
                                                   const CCtyTable* table)
{
    for (const CheckedText& checked : kCheckedTexts) {
        if (checked.spotter && !withSpotter) continue;
        std::string entry;
        unsigned messageId = 0;
        if (ParseList(checked.kind, Utf16ToUtf8(filters.*checked.field), table, entry, messageId)) continue;
        return FilterTextError{checked.field, messageId, Utf8ToUtf16(entry)};
    }
    return std::nullopt;
}

size_t FindWholeEntry(std::u16string_view text, std::u16string_view entry)
{
    if (entry.empty()) return std::u16string_view::npos;
    for (size_t at = text.find(entry); at != std::u16string_view::npos; at = text.find(entry, at + 1)) {
        const size_t end = at + entry.size();
        const bool startsAlone = at == 0 || IsEntrySeparator(text[at - 1]);
        const bool endsAlone = end == text.size() || IsEntrySeparator(text[end]);
        if (startsAlone && endsAlone) return at;
    }
    return std::u16string_view::npos;
}

std::u16string CleanFilterText(std::u16string_view text)
{
    std::u16string clean;
    clean.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        clean += (text[i] == u'\r' || text[i] == u'\n') ? u' ' : text[i];
    }
    return Trim(clean);
}

} // namespace kv
