#include "base/TextCatalog.h"

#include <algorithm>

namespace kv {

std::u16string CBuiltInTextCatalog::Text(unsigned id) const
{
    const StringTableEntry* end = kStringTable + kStringTableSize;
    const auto it = std::lower_bound(kStringTable, end, id,
                                     [](const StringTableEntry& e, unsigned v) { return e.id < v; });
    return it != end && it->id == id ? std::u16string(it->text) : std::u16string();
}

namespace {
const CBuiltInTextCatalog g_builtIn;
const ITextCatalog* g_catalog = &g_builtIn;
} // namespace

void SetTextCatalog(const ITextCatalog* catalog) { g_catalog = catalog ? catalog : &g_builtIn; }
const ITextCatalog& TextCatalog() { return *g_catalog; }

} // namespace kv
