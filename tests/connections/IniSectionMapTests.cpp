#include <gtest/gtest.h>

#include "connections/IniSectionMap.h"

using namespace kv;

TEST(IniSectionMap, KeysInAnyCaseAndTrimmedValues)
{
    const char16_t text[] = u"Key1 = a \0=skipped\0no equals\0KEY1=b\0Other=x=y\0";
    const std::u16string lines(text, sizeof text / sizeof text[0] - 1);
    const IniSectionMap map = ParseIniSectionLines(lines);
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(GetIniValue(map, u"key", 1), u"b");
    EXPECT_EQ(GetIniValue(map, u"OTHER"), u"x=y");
    EXPECT_EQ(GetIniValue(map, u"Other", 0), u"x=y");
    EXPECT_EQ(GetIniValue(map, u"Other", -3), u"x=y");
    EXPECT_EQ(GetIniValue(map, u"key", 2), u"");
}
