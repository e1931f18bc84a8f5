#include "connections/ConnectionList.h"

#include <algorithm>

#include "base/Format.h"
#include "base/Numbers.h"
#include "connections/IniListText.h"

namespace kv {

std::u16string GetConnectionSection(int id)
{
    return FormatText(u"Connection.%d", id);
}

std::vector<int> ParseIdList(std::u16string_view text)
{
    std::vector<int> ids;
    for (const auto& piece : SplitLines(text, u',')) {
        const auto id = ParseInteger<int>(std::u16string_view(piece));
        if (!id || *id < 1 || *id > kMaxConnectionId) continue;
        // Two tabs must never share one section.
        if (std::find(ids.begin(), ids.end(), *id) == ids.end()) ids.push_back(*id);
    }
    return ids;
}

std::u16string FormatIdList(const std::vector<int>& ids)
{
    std::u16string text;
    for (int id : ids) {
        if (!text.empty()) text += u',';
        text += FormatText(u"%d", id);
    }
    return text;
}

int ResolveNextId(int storedNextId, const std::vector<int>& open, const std::vector<int>& closed)
{
    int next = storedNextId >= 1 && storedNextId <= kMaxConnectionId ? storedNextId : 1;
    for (const auto* list : {&open, &closed})
        for (int id : *list)
            if (id >= next) next = id + 1;
    return next;
}

} // namespace kv
