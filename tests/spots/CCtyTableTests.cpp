#include <gtest/gtest.h>

#include <limits>

#include "spots/CCtyTable.h"
#include "tests/support/SystemCtyTable.h"
#include "tests/support/TestPaths.h"

using namespace kv;

namespace {

// Debian's real country file, parsed once for the whole suite.
const CCtyTable& RealTable() { return test::SystemCtyTable(); }

struct Found {
    std::string mainPrefix;
    std::string continent;
    int cq = 0;
    int itu = 0;
};

Found LookUp(const CCtyTable& table, const std::string& call)
{
    CtyLookupResult r;
    if (!table.Lookup(call, r)) return {"-", "", 0, 0};
    return {r.entity->mainPrefix, r.continent, r.cqZone, r.ituZone};
}

std::string MainPrefixOf(const CCtyTable& table, const std::string& call) { return LookUp(table, call).mainPrefix; }

std::string ParseError(const std::string& content)
{
    CCtyTable table;
    std::string error;
    EXPECT_FALSE(table.Parse(content, error));
    EXPECT_TRUE(table.Entities.empty() && table.Prefixes.empty() && table.ExactCalls.empty());
    EXPECT_EQ(table.MaxPrefixLength, 0u);
    return error;
}

CCtyTable Parsed(const std::string& content)
{
    CCtyTable table;
    std::string error;
    EXPECT_TRUE(table.Parse(content, error)) << error;
    return table;
}

const std::string kFixture =
    "# ADIF 291\n"
    "United States: 05: 08: na: 37.60: 91.87: 5.0: K:\n"
    "  K,W,\n"
    "  # comment inside the prefixes\n"
    "  N,=W1AW{EU}<50.5/-8.25>~-2.5~(14)[27],3D2(32)[56],=VER20240101,=;\n"
    "Hawaii: 31: 61: OC: 21.12: 157.48: 10.0: KH6:\n"
    "  KH6,=W1AW(99),K;\n"
    "Skipped: 1: 1: EU: 0: 0: 0: *TA1:\n"
    "  TA1,TB1;\n"
    "# ADIF 7\n"
    "Old: 1: 1: EU: 0: 0: 0: 0VER:\n"
    "  OV;\n"
    "Guantanamo Bay: 08: 11: NA: 20.00: 75.00: 5.0: KG4:\n"
    "  KG4,=KG4AB(4),=KG4BKW;\n";

} // namespace

TEST(RealCountryFile, CountsAndLongestPrefix)
{
    const CCtyTable& table = RealTable();
    EXPECT_EQ(table.Entities.size(), 340u);
    EXPECT_EQ(table.Prefixes.size(), 7719u);
    EXPECT_EQ(table.ExactCalls.size(), 19476u);
    EXPECT_EQ(table.MaxPrefixLength, 5u);
    EXPECT_EQ(table.Entities.front().name, "Sov Mil Order of Malta");
    EXPECT_EQ(table.FindEntity(" kh6 ")->name, "Hawaii");
    EXPECT_EQ(table.FindEntity("TA1"), nullptr); // a "*" entity is left out
}

TEST(RealCountryFile, EntitiesAndContinentsOfCalls)
{
    const CCtyTable& table = RealTable();
    // Exact KG4 calls of other entities win over the KG4 rule.
    EXPECT_EQ(MainPrefixOf(table, "KG4BKW"), "KH2");
    EXPECT_EQ(LookUp(table, "KG4CAN").continent, "OC");
    EXPECT_EQ(MainPrefixOf(table, "KG4CAN"), "KH6");
    EXPECT_EQ(MainPrefixOf(table, "KG4BBX"), "KL");
    EXPECT_EQ(MainPrefixOf(table, "KG4DLA"), "KP4");
    EXPECT_EQ(MainPrefixOf(table, "KG4CZD"), "KP2");
    EXPECT_EQ(MainPrefixOf(table, "KG4AC"), "KG4");
    EXPECT_EQ(MainPrefixOf(table, "KG4ABC"), "K");  // 6 characters, not listed: the KG4 rule
    EXPECT_EQ(MainPrefixOf(table, "KG4A"), "K");
    EXPECT_EQ(MainPrefixOf(table, "KG4ZZ"), "KG4"); // 5 characters: Guantanamo Bay

    EXPECT_EQ(MainPrefixOf(table, "W1ABC/MM"), "-");
    EXPECT_EQ(MainPrefixOf(table, "W1ABC/AM"), "-");
    EXPECT_EQ(MainPrefixOf(table, "W1ABC/P"), "K");
    EXPECT_EQ(MainPrefixOf(table, "DL/W1ABC"), "DL");
    EXPECT_EQ(MainPrefixOf(table, "W1ABC/KH6"), "KH6");
    EXPECT_EQ(LookUp(table, "W1ABC/KH6").continent, "OC");
    EXPECT_EQ(LookUp(table, "dl1 abc").continent, "EU");
    EXPECT_EQ(MainPrefixOf(table, "QQ1ABC"), "-");
}

TEST(RealCountryFile, CallWithoutSlashIsItsOnlyPart)
{
    const CCtyTable& table = RealTable();
    EXPECT_EQ(MainPrefixOf(table, "KT"), "-"); // a portable designator alone names no entity
    EXPECT_EQ(MainPrefixOf(table, "k t"), "-");
    EXPECT_EQ(MainPrefixOf(table, "AA"), "K"); // itself a prefix: matched whole before the parts
    EXPECT_EQ(MainPrefixOf(table, "KT1ABC"), "K");
    const std::string longest = "W1" + std::string(97, 'A'); // 99 characters: still below the best length
    EXPECT_EQ(MainPrefixOf(table, longest), "K");
    EXPECT_EQ(MainPrefixOf(table, longest + "A"), "-");
    EXPECT_EQ(MainPrefixOf(table, longest + "AAAAAAAAAAAA"), "-");
}

TEST(RealCountryFile, ZoneOverrides)
{
    const CCtyTable& table = RealTable();
    const Found w4 = LookUp(table, "W1ABC/4"); // looked up as W4ABC
    EXPECT_EQ(w4.mainPrefix, "K");
    EXPECT_EQ(w4.cq, 5);
    EXPECT_EQ(w4.itu, 8);
    const Found w6 = LookUp(table, "W1ABC/6");
    EXPECT_EQ(w6.cq, 3);
    EXPECT_EQ(w6.itu, 6);
    EXPECT_EQ(LookUp(table, "KG4DFX").cq, 5);
    EXPECT_EQ(LookUp(table, "K0ABC").cq, 4);
}

TEST(RealCountryFile, CrLfCopyReadsTheSame)
{
    std::string crlf;
    for (const char c : test::ReadWholeFile(test::SystemCtyDatPath())) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const CCtyTable table = Parsed(crlf);
    EXPECT_EQ(table.Entities.size(), RealTable().Entities.size());
    EXPECT_EQ(table.Prefixes.size(), RealTable().Prefixes.size());
    EXPECT_EQ(table.ExactCalls.size(), RealTable().ExactCalls.size());
    EXPECT_EQ(MainPrefixOf(table, "KG4BKW"), "KH2");
}

TEST(CountryFileParse, AdifLinesSkippedEntitiesAndPrefixItems)
{
    const CCtyTable table = Parsed(kFixture);
    ASSERT_EQ(table.Entities.size(), 3u);
    EXPECT_EQ(table.Entities[0].adifNumber, 291);
    EXPECT_EQ(table.Entities[0].continent, "NA");
    EXPECT_EQ(table.Entities[1].adifNumber, 0);
    EXPECT_EQ(table.Entities[2].adifNumber, 0); // the ADIF line before a skipped entity goes with it
    EXPECT_EQ(table.Prefixes.count("TA1"), 0u);
    EXPECT_EQ(table.Prefixes.count("OV"), 0u);
    EXPECT_EQ(table.ExactCalls.count("VER20240101"), 0u);
    EXPECT_EQ(table.ExactCalls.count(""), 0u);
    EXPECT_EQ(table.ExactCalls.at("W1AW").entity, 0u);  // the first definition of a call wins
    EXPECT_EQ(table.Prefixes.at("K").entity, 1u);       // a later prefix replaces the earlier one
    EXPECT_EQ(table.MaxPrefixLength, 3u);
    EXPECT_EQ(table.FindEntity("k")->name, "United States");
}

TEST(CountryFileParse, PrefixListOverSeveralLines)
{
    const std::string head = "A: 1: 2: EU: 0: 0: 0: A:\n";
    EXPECT_EQ(Parsed(head + "K,W,\nN;\n").Prefixes.size(), 3u);
    const CCtyTable joined = Parsed(head + "K\nW;\n");
    EXPECT_EQ(joined.Prefixes.size(), 1u);
    EXPECT_EQ(joined.Prefixes.count("KW"), 1u);
    EXPECT_EQ(Parsed(head + "K;").Prefixes.size(), 1u); // last line without a line end
}

TEST(CountryFileParse, ErrorsNameTheirLine)
{
    EXPECT_EQ(ParseError(""), "line 1: no entity");
    EXPECT_EQ(ParseError("# only\n# comments\n"), "line 1: no entity");
    EXPECT_EQ(ParseError("\n\n  # ADIF 291\n"), "line 3: country line expected (8 fields separated by ':')");
    EXPECT_EQ(ParseError("A: 1: 2: EU: 0: 0: 0:  :\n A;\n"), "line 1: country line expected (8 fields separated by ':')");
    EXPECT_EQ(ParseError("A: 1: 2: EU: 0: 0: 0: A\n A;\n"), "line 1: country line expected (8 fields separated by ':')");
    EXPECT_EQ(ParseError("\r\n\r\nA: 1: 2: EU: 0: 0: 0: A:\n A,\n B\n"), "line 3: ';' missing at the end of the prefixes");
    EXPECT_EQ(ParseError("A: 1: 2: EU: 0: 0: 0: *A:\n A;\n"), "line 1: no entity");
}

TEST(CountryFileParse, NumbersNeverOverflow)
{
    const CCtyTable table = Parsed("# ADIF 99999999999999999999\n"
                                   "A: 1e9: -99999999999: EU: 1.5.5: -: +7: A:\n A(123456789012345),B[-1e30];\n");
    const CtyEntity& a = table.Entities.at(0);
    EXPECT_EQ(a.adifNumber, std::numeric_limits<int>::max());
    EXPECT_EQ(a.cqZone, 1);
    EXPECT_EQ(a.ituZone, std::numeric_limits<int>::min());
    EXPECT_EQ(a.latitude, 1.5);
    EXPECT_EQ(a.longitude, 0);
    EXPECT_EQ(a.utcOffset, 7);
    CtyLookupResult r;
    ASSERT_TRUE(table.Lookup("A1", r));
    EXPECT_EQ(r.cqZone, std::numeric_limits<int>::max());
    ASSERT_TRUE(table.Lookup("B1", r));
    EXPECT_EQ(r.ituZone, -1);
    EXPECT_EQ(CtyNumberToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(CtyNumberToInt(-2.9), -2);
    EXPECT_EQ(ParseCtyNumber("  -12.25x"), -12.25);
    EXPECT_EQ(ParseCtyNumber("abc"), 0);
}

TEST(CountryLookup, OverridesOfPrefixesAndExactCalls)
{
    const CCtyTable table = Parsed(kFixture);
    CtyLookupResult r;
    ASSERT_TRUE(table.Lookup("W1AW", r));
    EXPECT_EQ(r.continent, "EU");
    EXPECT_EQ(r.latitude, 50.5);
    EXPECT_EQ(r.longitude, -8.25);
    EXPECT_EQ(r.utcOffset, -2.5);
    EXPECT_EQ(r.cqZone, 14);
    EXPECT_EQ(r.ituZone, 27);
    EXPECT_EQ(r.entity->continent, "NA");

    ASSERT_TRUE(table.Lookup("3D2AB", r));
    EXPECT_EQ(r.cqZone, 32);
    EXPECT_EQ(r.ituZone, 56);
    EXPECT_EQ(r.entity->cqZone, 5);

    ApplyCtyOverrides("(7x[9", r);
    EXPECT_EQ(r.cqZone, 7); // an opener without its closer runs to the end
    ApplyCtyOverrides("<12>", r);
    EXPECT_EQ(r.latitude, 12);
}

TEST(CountryLookup, KG4RuleAfterExactCalls)
{
    const CCtyTable table = Parsed(kFixture);
    const CtyPrefixEntry* entry = nullptr;
    std::string matched;
    EXPECT_EQ(table.ResolveCall("KG4BKW", entry, matched), 6u);
    EXPECT_EQ(matched, "KG4BKW");
    EXPECT_EQ(table.ResolveCall("KG4XYZ", entry, matched), 1u);
    EXPECT_EQ(matched, "K");
    EXPECT_EQ(table.ResolveCall("KG44AB", entry, matched), 3u);
    EXPECT_EQ(table.ResolveCall("", entry, matched), 0u);
    EXPECT_EQ(entry, nullptr);
    EXPECT_EQ(MainPrefixOf(table, "KG4AB"), "KG4");
    EXPECT_EQ(LookUp(table, "KG4AB").cq, 4);
}

TEST(CountryLookup, CallAreaSuffixAndParts)
{
    const CCtyTable table = Parsed("A: 1: 1: EU: 0: 0: 0: DL:\n DL;\nB: 2: 2: NA: 0: 0: 0: K:\n K,W,K14(9);\n"
                                   "C: 3: 3: OC: 0: 0: 0: KH6:\n KH6;\n");
    EXPECT_EQ(LookUp(table, "W1ABC/4").mainPrefix, "K");
    EXPECT_EQ(LookUp(table, "K12ABC/4").cq, 9); // two digits: the last one becomes the area, K14ABC
    EXPECT_EQ(LookUp(table, "W1ABC/QRP").mainPrefix, "K");
    EXPECT_EQ(LookUp(table, "DL/KH6AB").mainPrefix, "DL");
    EXPECT_EQ(LookUp(table, "KH6/W1ABC").mainPrefix, "KH6");
    EXPECT_EQ(LookUp(table, "W1ABC/DL").mainPrefix, "DL");
    EXPECT_EQ(LookUp(table, "/").mainPrefix, "-");
    EXPECT_EQ(LookUp(table, " \t").mainPrefix, "-");
    EXPECT_EQ(LookUp(CCtyTable(), "DL1ABC").mainPrefix, "-");
}
