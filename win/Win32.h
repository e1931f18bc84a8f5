#pragma once
// The one way into the Windows headers, in the order they need, and the casts between the portable
// UTF-16 strings (char16_t) and the wide API (wchar_t, also 16-bit on Windows).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API is UTF-16");

namespace kv {

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline std::u16string U16(const wchar_t* s) { return s ? std::u16string(U(s)) : std::u16string(); }
inline std::u16string U16(const wchar_t* s, size_t n) { return std::u16string(U(s), n); }

} // namespace kv
