#include <gtest/gtest.h>

#include "app/NumberField.h"

using namespace kv;

TEST(NumberField, IntegersInRangeWithTheirMessages)
{
    EXPECT_TRUE(ReadIntegerField(u" 7300 ", 1, 65535).ok);
    EXPECT_EQ(ReadIntegerField(u"7300", 1, 65535).value, 7300);
    EXPECT_EQ(ReadIntegerField(u"", 1, 65535).message, u"Enter an integer.");
    EXPECT_EQ(ReadIntegerField(u"12a", 1, 65535).message, u"Enter an integer.");
    EXPECT_EQ(ReadIntegerField(u"99999999999999999999", 1, 65535).message, u"Enter an integer.");
    EXPECT_EQ(ReadIntegerField(u"0", 1, 65535).message, u"Enter an integer between 1 and 65535.");
    EXPECT_EQ(ReadIntegerField(u"-5", 0, 10000).message, u"Enter an integer between 0 and 10000.");
    EXPECT_TRUE(ReadIntegerField(u"0", 0, 10000).ok);
}

TEST(NumberField, UnsignedRefusesSignsAndWords)
{
    EXPECT_EQ(ReadUnsignedField(u"14").value, 14);
    EXPECT_TRUE(ReadUnsignedField(u"0").ok);
    EXPECT_EQ(ReadUnsignedField(u"-1").message, u"Enter a positive integer.");
    EXPECT_FALSE(ReadUnsignedField(u"4294967296").ok);
    EXPECT_FALSE(ReadUnsignedField(u"x").ok);
}
