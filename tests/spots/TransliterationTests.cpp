#include <gtest/gtest.h>

#include <sstream>

#include "spots/Transliteration.h"
#include "tests/support/TestPaths.h"

using namespace kv;

namespace {

std::string Utf8Of(char32_t cp)
{
    std::string s;
    if (cp < 0x80) {
        s.push_back(char(cp));
    } else if (cp < 0x800) {
        s.push_back(char(0xC0 | (cp >> 6)));
        s.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        s.push_back(char(0xE0 | (cp >> 12)));
        s.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        s.push_back(char(0xF0 | (cp >> 18)));
        s.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        s.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(char(0x80 | (cp & 0x3F)));
    }
    return s;
}

} // namespace

// The expectation is worked out from the Unicode decompositions by tools/gen_transliteration_expectation.py.
TEST(Transliteration, LatinTableMatchesUnicodeDecomposition)
{
    std::istringstream expected(test::ReadWholeFile(test::SourcePath("tests/spots/data/transliteration-expected.txt")));
    std::string line;
    unsigned checked = 0;
    while (std::getline(expected, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const auto cp = char32_t(std::stoul(line.substr(0, tab), nullptr, 16));
        EXPECT_EQ(TransliterateToAscii(Utf8Of(cp)), line.substr(tab + 1)) << line.substr(0, tab);
        ++checked;
    }
    EXPECT_EQ(checked, 192u);
}

TEST(Transliteration, EverythingElseBecomesADot)
{
    EXPECT_EQ(TransliterateToAscii("\xC3\xA9"), "e");
    EXPECT_EQ(TransliterateToAscii("ab\xC3"), "ab.");
    EXPECT_EQ(TransliterateToAscii("\xE2\x82\xAC"), ".");          // euro sign
    EXPECT_EQ(TransliterateToAscii("\xC2\xA0"), " ");
    EXPECT_EQ(TransliterateToAscii("\xC3\x98"), "0");
    EXPECT_EQ(TransliterateToAscii("\xF0\x9F\x98\x80!"), ".!");    // one dot for a whole sequence
    EXPECT_EQ(TransliterateToAscii("\xE2\x82x"), "..x");            // each stray byte of a broken sequence
    EXPECT_EQ(TransliterateToAscii("\x80\xBF\xF8\xFF"), "....");
    EXPECT_EQ(TransliterateToAscii("\xC1\x81"), ".");               // overlong 'A' decodes to no table entry
    EXPECT_EQ(TransliterateToAscii(Utf8Of(0xBF)), ".");
    EXPECT_EQ(TransliterateToAscii(Utf8Of(0x180)), ".");
    EXPECT_EQ(TransliterateToAscii(std::string("a\0b", 3)), std::string("a\0b", 3));
}
