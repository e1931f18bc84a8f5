#include <gtest/gtest.h>

#include "app/FilterTextValidation.h"
#include "spots/CCtyTable.h"
#include "tests/support/TestPaths.h"

using namespace kv;

namespace {

const CCtyTable& RealTable()
{
    static const CCtyTable table = [] {
        CCtyTable t;
        std::string error;
        EXPECT_TRUE(t.Parse(test::ReadWholeFile(test::SystemCtyDatPath()), error)) << error;
        return t;
    }();
    return table;
}

} // namespace

TEST(FilterTextValidation, FirstWrongEntryInDialogOrderWithItsMessage)
{
    SpotFilterSet set;
    set.words = u"// ! \"";          // never wrong
    set.dxContinents = u"EU EUR";
    set.dxDxcc = u"F DL1";
    set.dxCalls = u"N4* N4?";
    set.frequencies = u"14074 kHz";
    set.spotterContinents = u"/";
    set.spotterDxcc = u"//F";
    set.spotterCalls = u"K8RQT, *";

    auto expect = [&](bool withSpotter, const CCtyTable* table, std::u16string SpotFilterSet::*field,
                      unsigned messageId, const std::u16string& entry) {
        const std::optional<FilterTextError> error = ValidateFilterTexts(set, withSpotter, table);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->field, field);
        EXPECT_EQ(error->messageId, messageId);
        EXPECT_EQ(error->entry, entry);
    };
    expect(true, nullptr, &SpotFilterSet::spotterCalls, 517u, u"*");
    set.spotterCalls.clear();
    expect(true, nullptr, &SpotFilterSet::spotterDxcc, 510u, u"//F");
    // Where the spotter criteria do not apply, their texts are not looked at.
    expect(false, nullptr, &SpotFilterSet::frequencies, 496u, u"kHz");
    set.frequencies = u"14074\r\n40m";
    expect(false, nullptr, &SpotFilterSet::dxCalls, 517u, u"N4?");
    set.dxCalls = u"N4*";
    // Without a country table every DXCC entry passes; with one, DL1 is no entity.
    expect(false, nullptr, &SpotFilterSet::dxContinents, 518u, u"EUR");
    expect(false, &RealTable(), &SpotFilterSet::dxDxcc, 510u, u"DL1");
    set.dxDxcc = u"f, /dl";
    set.dxContinents = u"eu";
    EXPECT_FALSE(ValidateFilterTexts(set, false, &RealTable()).has_value());
}

TEST(FilterTextValidation, WrongEntryIsFoundWhereItStandsAlone)
{
    EXPECT_EQ(FindWholeEntry(u"DL1X, DL1", u"DL1"), 6u);
    EXPECT_EQ(FindWholeEntry(u"//F;/F", u"/F"), 4u);
    EXPECT_EQ(FindWholeEntry(u"14074\r\nkHz", u"kHz"), 7u);
    EXPECT_EQ(FindWholeEntry(u"\tN4?", u"N4?"), 1u);
    EXPECT_EQ(FindWholeEntry(u"N4?X", u"N4?"), std::u16string_view::npos);
    EXPECT_EQ(FindWholeEntry(u"anything", u""), std::u16string_view::npos);
}

TEST(FilterTextValidation, EditTextsLoseTheirLineBreaksAndOuterBlanks)
{
    EXPECT_EQ(CleanFilterText(u"  14074\r\n40m\rWARC\n\r\n"), u"14074 40m WARC");
    EXPECT_EQ(CleanFilterText(u"a\n\nb"), u"a  b");
    EXPECT_EQ(CleanFilterText(u"\r\n"), u"");
}
