#include <gtest/gtest.h>

#include "app/LogLine.h"

using namespace kv;

TEST(LogLine, TimeThenNameInBracketsThenText)
{
    const UtcTime t{2026, 12, 7, 23, 2, 13, 0};
    EXPECT_EQ(FormatLogLine(t, u"", u"Started"), u"2026-12-07 23:02:13Z Started");
    EXPECT_EQ(FormatLogLine(t, u"Cluster 1", u"Started"), u"2026-12-07 23:02:13Z [Cluster 1] Started");
    EXPECT_EQ(FormatLogLine(t, u"", u""), u"2026-12-07 23:02:13Z ");
    EXPECT_EQ(FormatLogLine(UtcTime{2027, 1, 2, 3, 4, 5, 999}, u"N", u"x"), u"2027-01-02 03:04:05Z [N] x");
}

TEST(LogLine, LineBreaksInsideATextBecomeBlanks)
{
    const UtcTime t{2026, 12, 7, 23, 2, 13, 0};
    EXPECT_EQ(FormatLogLine(t, u"", u"first\r\nsecond\nthird\r"), u"2026-12-07 23:02:13Z first  second third ");
    EXPECT_EQ(FormatLogLine(t, u"A\nB", u"x"), u"2026-12-07 23:02:13Z [A B] x");
    const std::u16string withNul(u"a\0b", 3);
    EXPECT_EQ(FormatLogLine(t, u"", withNul), u"2026-12-07 23:02:13Z a b");
}
