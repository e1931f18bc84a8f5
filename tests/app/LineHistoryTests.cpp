#include <gtest/gtest.h>

#include "app/CLineHistory.h"

using namespace kv;

namespace {

std::u16string Line(int n) { return u"line " + std::u16string(1, char16_t(u'A' + n % 26)) + std::u16string(size_t(n / 26), u'!'); }

} // namespace

TEST(LineHistory, KeepsEachSentLineOnceInARowAndNeverAnEmptyOne)
{
    CLineHistory history;
    history.Add(u"sh/dx");
    history.Add(u"sh/dx");
    history.Add(u"");
    EXPECT_EQ(history.Entries().size(), 1u);
    history.Add(u"a");
    history.Add(u"b");
    history.Add(u"a");
    EXPECT_EQ(history.Entries(), (std::deque<std::u16string>{u"sh/dx", u"a", u"b", u"a"}));
    history.Add(u"A"); // compared exactly
    EXPECT_EQ(history.Entries().back(), u"A");
}

TEST(LineHistory, DropsTheOldestBeyondOneHundredLines)
{
    CLineHistory history;
    for (int i = 0; i < 101; ++i) history.Add(Line(i));
    ASSERT_EQ(history.Entries().size(), CLineHistory::kMaxEntries);
    EXPECT_EQ(history.Entries().front(), Line(1));
    EXPECT_EQ(history.Entries().back(), Line(100));
}

TEST(LineHistory, SendingEndsBrowsingAndForgetsTheTypedText)
{
    CLineHistory history;
    history.Add(u"one");
    EXPECT_EQ(history.Older(u"draft"), u"one");
    history.Add(u"two");
    EXPECT_FALSE(history.IsBrowsing());
    EXPECT_EQ(history.Older(u""), u"two");
    EXPECT_EQ(history.Newer(), u""); // not "draft"
}
