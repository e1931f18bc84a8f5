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
