// The id lists of [Connections], as a user may have edited them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Utf.h"
#include "connections/ConnectionList.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string text = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<int> ids = ParseIdList(text);
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] < 1 || ids[i] > kMaxConnectionId) abort();
        if (std::find(ids.begin(), ids.begin() + i, ids[i]) != ids.begin() + i) abort();
    }
    if (ParseIdList(FormatIdList(ids)) != ids) abort();
    const int next = ResolveNextId(ids.empty() ? 0 : ids.front(), ids, {});
    if (next < 1 || next > kMaxConnectionId + 1) abort();
    for (int id : ids)
        if (id >= next) abort();
    return 0;
}
