#include "app/OpenLink.h"

#include <shellapi.h>

namespace kv {

bool OpenLink(HWND owner, const std::u16string& address, LinkKinds kinds)
{
    if (!IsOpenableLink(address, kinds)) return false;
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", W(address), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace kv
