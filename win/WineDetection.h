#pragma once
// Whether the program runs under Wine, for the few places where Wine's controls differ from Windows' own:
// Wine's ntdll exports wine_get_version, Windows' does not.
#include "win/Win32.h"

namespace kv {

inline bool RunningUnderWine()
{
    static const bool underWine = [] {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return underWine;
}

} // namespace kv
