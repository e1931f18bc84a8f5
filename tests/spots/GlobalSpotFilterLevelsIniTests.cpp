#include <gtest/gtest.h>

#include "spots/GlobalSpotFilterLevels.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;

TEST(GlobalLevelsSettings, LevelsSwitchesAndStartupErrors)
{
    test::CTempDir dir;
    const std::u16string path = dir.File(u"k.ini");
    ASSERT_TRUE(test::WriteFileBytes(path, "[SpotFilters]\r\nFilterDxContinents=EU\r\nAllFiltersDisabled=1\r\n"
                                           "[SpotFilters.Telnet]\r\nFilterFrequencies=40m 1-2-3\r\n"
                                           "[SpotFilters.CWSkimmer]\r\nFilterSpotterCalls=//X\r\nFilterDxCalls=//F\r\n"
                                           "[SpotFilters.DXSummit]\r\nFilterWords=QRT\r\nFilterDisabled=1\r\n"));
    GlobalSpotFilterLevels levels;
    levels.startupErrors = {u"stale"};
    LoadGlobalSpotFilterLevels(CIniFile(path), levels);
    EXPECT_EQ(levels.startupErrors,
              (std::vector<std::u16string>{u"Telnet connections: 1-2-3", u"CW Skimmer connections: //F"}));
    EXPECT_EQ(levels.compiled[0].dxContinent.reject, std::vector<std::string>{"EU"});
    EXPECT_FALSE(levels.compiled[1].frequency.HasEntries());
    EXPECT_TRUE(levels.compiled[2].IsEmpty(true));
    EXPECT_TRUE(levels.compiled[3].IsEmpty(true));
    EXPECT_EQ(levels.texts[3].words, u"QRT");
    EXPECT_TRUE(levels.allFiltersDisabled);
    EXPECT_TRUE(levels.rejectOutOfBand);

    CIniFile ini(path);
    ini.Write(u"SpotFilters", u"RejectOutOfBand", u"0");
    ini.DeleteKey(u"SpotFilters", u"AllFiltersDisabled");
    LoadGlobalSpotFilterLevels(ini, levels);
    EXPECT_FALSE(levels.rejectOutOfBand);
    EXPECT_FALSE(levels.allFiltersDisabled);
    EXPECT_EQ(levels.startupErrors.size(), 2u);
}
