#include "win/ResourceTextCatalog.h"

#include "win/Win32.h"

namespace kv {

std::u16string CResourceTextCatalog::Text(unsigned id) const
{
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const int len = ::LoadStringW(module_ ? static_cast<HMODULE>(module_) : ::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return len > 0 && text ? U16(text, size_t(len)) : std::u16string();
}

} // namespace kv
