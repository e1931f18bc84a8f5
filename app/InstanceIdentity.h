#pragma once
// What tells one running instance from another: the names of its named objects, derived from the settings
// file's path, and the title that names a settings file other than the default one.
#include <cstdint>
#include <string>

namespace kv {

// 64-bit FNV-1a over the UTF-16 units of the path, lower-cased in A..Z only.
uint64_t HashSettingsPath(const std::u16string& path);
// "Local\Kestrivane.<kind>.<hash>" with kind "ini" (the mutex) or "wnd" (the window mapping).
std::u16string MakeInstanceObjectName(const std::u16string& kind, const std::u16string& path);
// The name shown after the application's name in the title when the settings file is not the default one.
std::u16string SettingsNameForTitle(const std::u16string& iniPath);
// "Kestrivane - <name>".
std::u16string MakeFrameTitle(const std::u16string& appName, const std::u16string& iniPath);
// "YYYY-MM-DD HH:MM" from the compiler's __DATE__ ("Dec  8 2026") and __TIME__ ("20:31:05").
std::u16string FormatBuildDate(const char* compileDate, const char* compileTime);

} // namespace kv
