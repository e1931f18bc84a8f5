#include <gtest/gtest.h>

#include "app/ShownTextConverter.h"

using namespace kv;

namespace {

size_t LongestLine(const std::u16string& text)
{
    size_t longest = 0, length = 0;
    for (char16_t c : text) {
        length = c == u'\n' ? 0 : length + 1;
        longest = std::max(longest, length);
    }
    return longest;
}

} // namespace

// A line of any length is shown as display lines of at most 2048 characters, a mark stays with its letter
// and a surrogate pair is never cut; what no source sends (a combining mark of a shaped script without its
// letter, which made Wine's text shaping read outside the text, control characters, lone surrogates,
// noncharacters) is shown as U+FFFD; ordinary text in any script is left as it is.
TEST(ShownTextConverter, LinesAreBoundedAndWhatNoSourceSendsIsReplaced)
{
    CShownTextConverter converter;
    const std::u16string megabyte(1 << 20, u'x');
    size_t longest = 0, total = 0;
    int lines = 0;
    for (size_t at = 0; at < megabyte.size(); at += 8192) {
        const auto block = converter.Convert(std::u16string_view(megabyte).substr(at, 8192), 0);
        longest = std::max(longest, LongestLine(block.text));
        total += block.text.size();
        lines += block.newLines;
    }
    EXPECT_EQ(longest, CShownTextConverter::kMaxLineLength);
    EXPECT_EQ(lines, 511);
    EXPECT_EQ(total, megabyte.size() + 511);
    EXPECT_EQ(converter.LineLength(), CShownTextConverter::kMaxLineLength);
    EXPECT_EQ(converter.Convert(u"DX de K1ABC\r\n", 0).text, u"\nDX de K1ABC\n");

    // At the break, a letter and its marks go on together; a pair of surrogates is not cut.
    CShownTextConverter marks;
    const std::u16string arabic = std::u16string(2046, u'x') + u"\u0628\u064E\u0651 \U0001F600";
    EXPECT_EQ(marks.Convert(arabic, 0).text, std::u16string(2046, u'x') + u"\n\u0628\u064E\u0651 \U0001F600");
    CShownTextConverter pair;
    EXPECT_EQ(pair.Convert(std::u16string(2047, u'x') + u"\U0001F600", 0).text,
              std::u16string(2047, u'x') + u"\n\U0001F600");

    CShownTextConverter odd;
    EXPECT_EQ(odd.Convert(u"N\u0655 \u064E 1\u064E \u05D0\u064E\n\u064E\n", 0).text,
              u"N\uFFFD \uFFFD 1\uFFFD \u05D0\uFFFD\n\uFFFD\n");
    EXPECT_EQ(odd.Convert(std::u16string(u"a\x01\x0B\x1B\u0085\u2028\uFDD0\uFFFE\U0010FFFF\tb\0c\n", 16), 0).text,
              u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\tbc\n");
    EXPECT_EQ(odd.Convert(std::u16string(u"\xD800x\xDC00\n", 4), 0).text, u"\uFFFDx\uFFFD\n");
    // A new style starts a run of the control: a mark there has no letter before it.
    odd.Convert(u"\u0628", 0);
    EXPECT_EQ(odd.Convert(u"\u064E\n", 4).text, u"\uFFFD\n");

    const std::u16string ordinary = u"\u0628\u0650\u0633\u0652\u0645\u0650 \u0627\u0644\u0644\u0651\u0670\u0647\u0650 "
                                    u"\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD \u0928\u092E\u0938\u094D\u0924\u0947 "
                                    u"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35 e\u0301t\u00E9 \u4F60\u597D \U0001F4E1 73\n";
    EXPECT_EQ(CShownTextConverter().Convert(ordinary, 0).text, ordinary);
}
