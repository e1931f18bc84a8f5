#include "app/ViewCommandRules.h"

#include <algorithm>

#include "base/Ascii.h"

namespace kv {
namespace {

void AddItem(std::u16string& list, const char16_t* item)
{
    if (!list.empty()) list += u", ";
    list += item;
}

bool LessIgnoringCase(const std::u16string& a, const std::u16string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char16_t x, char16_t y) { return AsciiToLower(x) < AsciiToLower(y); });
}

} // namespace

int StepTabIndex(int count, int active, int step)
{
    if (count <= 0) return -1;
    if (active < 0 || active >= count) active = 0;
    return ((count + active + step) % count + count) % count;
}

std::u16string ListReconnectChanges(const CConnectionSettings& before, const CConnectionSettings& after)
{
    std::u16string items;
    if (before.Type == ConnectionDxSummit || after.Type != before.Type) return items;
    if (!EqualsIgnoreCaseAscii(before.Host, after.Host)) AddItem(items, u"host");
    if (before.Port != after.Port) AddItem(items, u"port");
    if (before.Login != after.Login) AddItem(items, u"login");
    if (before.Password != after.Password) AddItem(items, u"password");
    if (before.Commands != after.Commands) AddItem(items, u"commands");
    return items;
}

GeneralSettingsChanges CompareGeneralSettings(const GeneralSettings& before, const GeneralSettings& after)
{
    GeneralSettingsChanges changes;
    changes.font = before.FontFace != after.FontFace || before.FontSize != after.FontSize;
    changes.network = before.Disabled != after.Disabled || before.BroadcastAddress != after.BroadcastAddress ||
                      before.Port != after.Port || before.ApplicationID != after.ApplicationID;
    if (before.CommandDelay != after.CommandDelay) AddItem(changes.nextConnectionItems, u"delay between commands");
    if (before.GlobalCommands != after.GlobalCommands) AddItem(changes.nextConnectionItems, u"general commands");
    if (before.LostConnectionDelay != after.LostConnectionDelay)
        AddItem(changes.nextConnectionItems, u"lost connection delay");
    return changes;
}

void SortByName(std::vector<ClosedConnectionItem>& items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const ClosedConnectionItem& a, const ClosedConnectionItem& b) { return LessIgnoringCase(a.name, b.name); });
}

std::u16string EscapeMenuText(const std::u16string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        out += c;
        if (c == u'&') out += u'&';
    }
    return out;
}

} // namespace kv
