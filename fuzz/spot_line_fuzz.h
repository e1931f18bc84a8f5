#pragma once
// Invariant checks shared by the fuzz targets of spot processing.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kv::fuzz {

inline void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline bool IsAscii(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// No blank at either end, no two spaces in a row, no tab, CR, LF or BEL, no lower-case letter.
inline bool IsNormalized(const std::string& text)
{
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
    if (text.find("  ") != std::string::npos) return false;
    for (const char c : text)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\a' || (c >= 'a' && c <= 'z')) return false;
    return true;
}

} // namespace kv::fuzz
