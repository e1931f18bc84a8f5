#pragma once
// UTF-8 text to plain ASCII for comments and filter words: Latin letters lose their diacritics, everything
// that cannot be read becomes ".".
#include <string>
#include <string_view>

namespace kv {

std::string TransliterateToAscii(std::string_view utf8);

// The replacement of one code point of U+00C0..U+017F; nullptr outside that range.
const char* LatinTransliteration(char32_t codePoint);

} // namespace kv
