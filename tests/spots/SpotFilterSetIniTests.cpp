#include <gtest/gtest.h>

#include "spots/SpotFilterSet.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;

namespace {

SpotFilterSet FullSet()
{
    SpotFilterSet set;
    for (const auto& field : SpotFilterSet::kKeys) set.*field.text = std::u16string(field.key) + u" \u00e9\u4e2d";
    set.words = u"\"QRT\", \"CQ TEST\"";
    set.disabled = true;
    return set;
}

} // namespace

TEST(SpotFilterSetSettings, SavedSetReadsBackExactly)
{
    test::CTempDir dir;
    CIniFile ini(dir.File(u"k.ini"));
    const SpotFilterSet saved = FullSet();
    saved.Save(ini, u"SpotFilters.Telnet");
    SpotFilterSet loaded;
    loaded.Load(ini, u"SpotFilters.Telnet");
    EXPECT_EQ(loaded.words, u"\"QRT\", \"CQ TEST\"");
    EXPECT_TRUE(loaded == saved);
}

TEST(SpotFilterSetSettings, EmptyTextsAndEnabledDeleteTheirKeys)
{
    test::CTempDir dir;
    CIniFile ini(dir.File(u"k.ini"));
    FullSet().Save(ini, u"Connection.3");
    SpotFilterSet set;
    set.dxCalls = u"N4*";
    set.Save(ini, u"Connection.3");
    EXPECT_EQ(ini.KeysOf(u"Connection.3"), std::vector<std::u16string>{u"FilterDxCalls"});
}

TEST(SpotFilterSetSettings, LoadTrimsAndReadsTheFlag)
{
    test::CTempDir dir;
    const std::u16string path = dir.File(u"k.ini");
    ASSERT_TRUE(test::WriteFileBytes(path, "[S]\r\nFilterDxCalls=  N4*  \r\nFilterDisabled=2\r\nFilterWords=\r\n"));
    SpotFilterSet set;
    set.words = u"stale";
    set.Load(CIniFile(path), u"S");
    EXPECT_EQ(set.dxCalls, u"N4*");
    EXPECT_EQ(set.words, u"");
    EXPECT_TRUE(set.disabled);
    set.Load(CIniFile(path), u"Missing");
    EXPECT_TRUE(set == SpotFilterSet());
}

// A text pasted with line breaks must not break the settings file.
TEST(SpotFilterSetSettings, LineBreaksNeverReachTheFile)
{
    test::CTempDir dir;
    CIniFile ini(dir.File(u"k.ini"));
    SpotFilterSet set;
    set.dxCalls = u"N4*\r\n[Evil]\r\nFilterWords=x";
    set.Save(ini, u"S");
    SpotFilterSet loaded;
    loaded.Load(ini, u"S");
    EXPECT_EQ(loaded.dxCalls, u"N4*  [Evil]  FilterWords=x");
    EXPECT_TRUE(ini.KeysOf(u"Evil").empty());
    EXPECT_EQ(loaded.words, u"");
}
