#include <gtest/gtest.h>

#include "base/OpenableLink.h"

using namespace kv;

// Links come from the settings file, a downloaded node list or a cluster: only web pages (and mail
// addresses where a link offers one) may reach the shell.
TEST(OpenableLink, OnlyWebAndWhereOfferedMailAddressesAreOpened)
{
    for (LinkKinds kinds : {LinkKinds::Web, LinkKinds::WebOrMail}) {
        EXPECT_TRUE(IsOpenableLink(u"https://www.example.net/docs", kinds));
        EXPECT_TRUE(IsOpenableLink(u"HTTP://example.net", kinds));
        EXPECT_TRUE(IsOpenableLink(u"http://x.net/a?b=c%20d", kinds));
        EXPECT_FALSE(IsOpenableLink(u"", kinds));
        EXPECT_FALSE(IsOpenableLink(u"https://", kinds));
        EXPECT_FALSE(IsOpenableLink(u"C:\\Windows\\notepad.exe", kinds));
        EXPECT_FALSE(IsOpenableLink(u"file:///C:/Windows/System32/calc.exe", kinds));
        EXPECT_FALSE(IsOpenableLink(u"\\\\server\\share\\x.exe", kinds));
        EXPECT_FALSE(IsOpenableLink(u"ms-settings://x", kinds));
        EXPECT_FALSE(IsOpenableLink(u"cmd.exe /c del x", kinds));
        EXPECT_FALSE(IsOpenableLink(u" https://x.net", kinds));
        // Nothing that the browser's command line would take as more arguments.
        EXPECT_FALSE(IsOpenableLink(u"https://x.net\" --load-extension=C:\\x", kinds));
        EXPECT_FALSE(IsOpenableLink(u"https://x.net extra", kinds));
        EXPECT_FALSE(IsOpenableLink(u"https://x.net\tx", kinds));
    }
    EXPECT_TRUE(IsOpenableLink(u"mailto:a@b.c", LinkKinds::WebOrMail));
    EXPECT_TRUE(IsOpenableLink(u"MAILTO:a@b.c", LinkKinds::WebOrMail));
    EXPECT_FALSE(IsOpenableLink(u"mailto:", LinkKinds::WebOrMail));
    EXPECT_FALSE(IsOpenableLink(u"mailto:a@b.c", LinkKinds::Web));
}

// The shell and the browser may take any Unicode blank or line separator as the end of the address.
TEST(OpenableLink, NoUnicodeBlankOrControlCharacterPasses)
{
    for (char16_t c : {u'\u0080', u'\u0085', u'\u009F', u'\u00A0', u'\u1680', u'\u2000', u'\u200A', u'\u2028',
                       u'\u2029', u'\u202F', u'\u205F', u'\u3000'}) {
        const std::u16string address = u"https://x.net" + std::u16string(1, c) + u"--x";
        EXPECT_FALSE(IsOpenableLink(address, LinkKinds::WebOrMail)) << unsigned(c);
    }
    EXPECT_TRUE(IsOpenableLink(u"https://b\u00FCcher.example/\u65E5\u672C", LinkKinds::Web));
}

// Invisible characters can make an address read as another than the one opened: zero-width characters and
// joiners, direction marks, embeddings, overrides and isolates, invisible operators, the byte-order mark,
// tags, and surrogates that make no character.
TEST(OpenableLink, NoInvisibleFormatCharacterOrLoneSurrogatePasses)
{
    const std::u16string invisible[] = {u"\u061C", u"\u200B", u"\u200F", u"\u202A", u"\u202E", u"\u2060",
                                        u"\u2064", u"\u2065", u"\u2066", u"\u2069", u"\u206F", u"\uFEFF",
                                        u"\U000E0000", u"\U000E007F", {char16_t(0xD800)}, {char16_t(0xDBFF)},
                                        {char16_t(0xDC00)}, {char16_t(0xDFFF)}, {char16_t(0xDC00), char16_t(0xD800)}};
    for (const std::u16string& c : invisible) {
        SCOPED_TRACE(testing::PrintToString(c));
        EXPECT_FALSE(IsOpenableLink(u"https://ex" + c + u"ample.net/", LinkKinds::WebOrMail));
        EXPECT_FALSE(IsOpenableLink(u"mailto:joe@example.net" + c, LinkKinds::WebOrMail));
    }
    // The characters beside those ranges, and pairs of surrogates that make a character, stay.
    EXPECT_TRUE(IsOpenableLink(u"https://x.net/\u0610\u2010\u2027\u205E\u2070\uFEFE\U0001F4E1\U000E1000",
                               LinkKinds::Web));
}

// "mailto:jo<soft hyphen>e@..." reads as joe@: no character that Unicode lets a renderer show as nothing
// (the default-ignorable code points, above U+FFFF too) nor one that draws a blank may stand in an address.
TEST(OpenableLink, NoCharacterThatShowsNothingOrABlankPasses)
{
    const std::u16string invisible[] = {
        u"\u00AD", u"\u034F", u"\u115F", u"\u1160", u"\u17B4", u"\u17B5", u"\u180B", u"\u180E", u"\u180F",
        u"\u2800", u"\u3164", u"\uFE00", u"\uFE0F", u"\uFFA0", u"\uFFF0", u"\uFFF8", u"\uFFF9", u"\uFFFB",
        u"\U00013430", u"\U0001343F", u"\U0001BCA0", u"\U0001BCA3", u"\U0001D159", u"\U0001D173", u"\U0001D17A",
        u"\U000E0080", u"\U000E0100", u"\U000E01EF", u"\U000E0FFF"};
    for (const std::u16string& c : invisible) {
        SCOPED_TRACE(testing::PrintToString(c));
        EXPECT_FALSE(IsOpenableLink(u"mailto:jo" + c + u"e@example.net", LinkKinds::WebOrMail));
        EXPECT_FALSE(IsOpenableLink(u"https://example.net/" + c, LinkKinds::Web));
    }
    // Their neighbours show.
    EXPECT_TRUE(IsOpenableLink(u"https://x.net/\u00AC\u00AE\u034E\u0350\u115E\u1161\u17B3\u17B6\u180A\u1810\u2801"
                               u"\u3163\u3165\uFDFF\uFE10\uFF9F\uFFA1\uFFEE\uFFFC\U0001342F\U0001BC9F\U0001BCA4"
                               u"\U0001D158\U0001D15A\U0001D172\U0001D17B\U000E1000",
                               LinkKinds::Web));
}
