#include <gtest/gtest.h>

#include "spots/CCtyTable.h"
#include "spots/SpotFilterLists.h"

using namespace kv;

namespace {

using Texts = std::vector<std::string>;
using Phrases = std::vector<WordPhrase>;

std::string CallError(const std::string& text)
{
    SpotFilterCriterion c;
    std::string error = "stale";
    EXPECT_FALSE(ParseCallFilterText(text, c, error)) << text;
    EXPECT_TRUE(c.reject.empty() && c.keepOnly.empty());
    return error;
}

std::vector<FrequencyRange> Ranges(const std::string& entry)
{
    std::vector<FrequencyRange> out;
    EXPECT_TRUE(ParseFrequencyEntry(entry, out)) << entry;
    return out;
}

} // namespace

TEST(FilterListGrammar, MarksSeparatorsAndCase)
{
    SpotFilterCriterion c;
    std::string error = "stale";
    ASSERT_TRUE(ParseCallFilterText("dl*, /f6*;K8RQT\r\n\t!w1*", c, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(c.reject, (Texts{"DL*", "K8RQT"}));
    EXPECT_EQ(c.keepOnly, (Texts{"F6*", "W1*"}));
    EXPECT_TRUE(ParseCallFilterText(" ,; ", c, error));
    EXPECT_FALSE(c.HasEntries());
}

TEST(FilterListGrammar, WrongEntriesAreReportedAsTyped)
{
    EXPECT_EQ(CallError("DL1ABC /"), "/");
    EXPECT_EQ(CallError("DL1ABC //f"), "//f");
    EXPECT_EQ(CallError("!/F"), "!/F");
    EXPECT_EQ(CallError("!"), "!");
    EXPECT_EQ(CallError("DL1ABC n4?"), "n4?");
    EXPECT_EQ(CallError("*"), "*");
    EXPECT_EQ(CallError("*/*"), "*/*");
    EXPECT_EQ(CallError("-"), "-");
    EXPECT_EQ(CallError("DL\xC4" "BC"), "DL\xC4" "BC");

    SpotFilterCriterion c;
    std::string error;
    EXPECT_FALSE(ParseContinentFilterText("EU /", c, error));
    EXPECT_EQ(error, "/");
    EXPECT_FALSE(ParseDxccFilterText("F //F", c, error, nullptr));
    EXPECT_EQ(error, "//F");
    FrequencyCriterion f;
    EXPECT_FALSE(ParseFrequencyList("40m !", f, error));
    EXPECT_EQ(error, "!");
    EXPECT_TRUE(f.reject.empty() && f.keepOnly.empty());
}

TEST(FilterListGrammar, ContinentsAndDxccEntities)
{
    SpotFilterCriterion c;
    std::string error;
    ASSERT_TRUE(ParseContinentFilterText("eu /na", c, error));
    EXPECT_EQ(c.reject, (Texts{"EU"}));
    EXPECT_EQ(c.keepOnly, (Texts{"NA"}));
    EXPECT_FALSE(ParseContinentFilterText("EUR", c, error));
    EXPECT_EQ(error, "EUR");

    ASSERT_TRUE(ParseDxccFilterText("dl1 /f", c, error, nullptr));
    EXPECT_EQ(c.reject, (Texts{"DL1"}));

    CCtyTable table;
    std::string parseError;
    ASSERT_TRUE(table.Parse("Fed. Rep. of Germany: 14: 28: EU: 51: -10: -1.0: DL:\n DA,DL;\n"
                            "France: 14: 27: EU: 46: -2: -1.0: F:\n F;\n",
                            parseError));
    EXPECT_FALSE(ParseDxccFilterText("F DL1", c, error, &table));
    EXPECT_EQ(error, "DL1");
    ASSERT_TRUE(ParseDxccFilterText(" dl /f", c, error, &table));
    EXPECT_EQ(c.reject, (Texts{"DL"}));
    EXPECT_EQ(c.keepOnly, (Texts{"F"}));
    const CCtyTable empty;
    EXPECT_TRUE(ParseDxccFilterText("DL1", c, error, &empty));
}

TEST(FrequencyEntries, NumbersRangesAndBands)
{
    EXPECT_EQ(Ranges("14074"), (std::vector<FrequencyRange>{{14073.5, 14074.5}}));
    EXPECT_EQ(Ranges("0.3"), (std::vector<FrequencyRange>{{0, 0.8}}));
    EXPECT_EQ(Ranges("144000-"), (std::vector<FrequencyRange>{{144000, 1e12}}));
    EXPECT_EQ(Ranges("-1800"), (std::vector<FrequencyRange>{{0, 1800}}));
    EXPECT_EQ(Ranges("40M"), (std::vector<FrequencyRange>{{7000, 7300}}));
    EXPECT_EQ(Ranges("WARC").size(), 3u);
    std::vector<FrequencyRange> out;
    for (const char* bad : {"14076-14073", "1-2-3", "-", "kHz", "14,074", ".5", "14074.", "1234567890", "", "1.2.3"})
        EXPECT_FALSE(ParseFrequencyEntry(bad, out)) << bad;
    EXPECT_TRUE(out.empty());

    FrequencyCriterion f;
    std::string error;
    ASSERT_TRUE(ParseFrequencyList("/hf 14074", f, error));
    EXPECT_EQ(f.keepOnly, (std::vector<FrequencyRange>{{1500, 30000}}));
    EXPECT_EQ(f.reject.size(), 1u);
    EXPECT_FALSE(ParseFrequencyList("14074 kHz", f, error));
    EXPECT_EQ(error, "kHz");
    EXPECT_TRUE(f.reject.empty());

    double v = 0;
    EXPECT_TRUE(ParseFrequencyNumber("123456789.123", v));
    EXPECT_DOUBLE_EQ(v, 123456789.123);
}

TEST(WordList, PhrasesQuotesAndSplitting)
{
    EXPECT_EQ(ParseWordList("QRT,\"CQ TEST\" cq-test"),
              (Phrases{{"QRT"}, {"CQ", "TEST"}, {"CQ", "TEST"}}));
    EXPECT_EQ(ParseWordList("\"open quote"), (Phrases{{"OPEN", "QUOTE"}}));
    EXPECT_EQ(ParseWordList("up\"dn 5\"x"), (Phrases{{"UP"}, {"DN", "5"}, {"X"}}));
    EXPECT_EQ(ParseWordList("// \"\" ; !"), Phrases{});
    EXPECT_EQ(ParseWordList("a\r\nb"), (Phrases{{"A", "B"}}));

    EXPECT_EQ(SplitWords("/P"), (Texts{"P"}));
    EXPECT_EQ(SplitWords("//"), Texts{});
    EXPECT_EQ(SplitWords("DL/F"), (Texts{"DL/F"}));
    EXPECT_EQ(SplitWords("\xC3\xA9t\xC3\xA9"), (Texts{"ETE"}));
    EXPECT_EQ(SplitWords("qrv!now"), (Texts{"QRV", "NOW"}));
}
