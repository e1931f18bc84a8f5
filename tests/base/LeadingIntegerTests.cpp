// Numbers read from the start of a text, as the window keys of the settings file are read.
#include <gtest/gtest.h>

#include <climits>

#include "base/LeadingInteger.h"

using namespace kv;

TEST(LeadingInteger, ReadsSignAndDigitsAndIgnoresTheRest)
{
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"120", 120},       {u"  -35", -35},    {u"+7", 7},         {u"600px", 600},
        {u"12 34", 12},      {u"abc", 0},        {u"-", 0},          {u"", 0},
        {u"99999999999", INT_MAX}, {u"-99999999999", INT_MIN}, {u"2147483647", INT_MAX}, {u"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << int(c.value);
}
