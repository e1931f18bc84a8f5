#include <gtest/gtest.h>

#include <random>

#include "connections/QuarnelCodec.h"
#include "connections/QuarnelReassembly.h"

using namespace kv;
using Fields = std::vector<std::string>;

namespace {
std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values) s += char(v);
    return s;
}
} // namespace

TEST(QuarnelEscape, GoldenBytes)
{
    EXPECT_EQ(EscapeField("\xE9"), R"(\351)");
    EXPECT_EQ(EscapeField("\xE9" "5"), R"(\351\065)");
    EXPECT_EQ(EscapeField("\xE9" "a5"), R"(\351a5)");
    EXPECT_EQ(EscapeField("\xFF" "09"), R"(\377\060\071)");
    // 0x7F written raw would arrive as 0xFF.
    EXPECT_EQ(EscapeField("\x7F"), R"(\177)");
    EXPECT_EQ(EscapeField("\x7F" "0"), R"(\177\060)");
    EXPECT_EQ(EscapeField("a\"b\\c"), Bytes({0x61, 0x5C, 0x22, 0x62, 0x5C, 0x5C, 0x63}));
    // NUL is dropped and leaves the digit rule as it was.
    EXPECT_EQ(EscapeField(std::string("\xE9\0" "7", 3)), R"(\351\067)");
    EXPECT_EQ(EscapeField(std::string("a\0" "7", 3)), "a7");
    EXPECT_EQ(EscapeField("\r\n\t\x01 "), "\r\n\t\x01 ");
    EXPECT_EQ(EscapeField(""), "");
}

TEST(QuarnelFrame, GoldenBytes)
{
    EXPECT_EQ(FramePacket("AB"), Bytes({0x41, 0x42, 0x83}));
    EXPECT_EQ(FramePacket(""), Bytes({0x80}));
    EXPECT_EQ(FramePacket("\x7F"), Bytes({0x7F, 0x7F, 0xFE}));
    EXPECT_EQ(FramePacket("\xE9"), Bytes({0x7F, 0x69, 0xE8}));
    EXPECT_EQ(FramePacket("\xFE"), Bytes({0x7F, 0x7E, 0xFD}));
    EXPECT_EQ(FramePacket("A\xFF" "B"), Bytes({0x41, 0x42, 0x83}));
    EXPECT_EQ(FramePacket("\xFF"), Bytes({0x80}));
    // 3 * 0x7A = 0x16E: the sum wraps to 0x6E.
    EXPECT_EQ(FramePacket("zzz"), Bytes({0x7A, 0x7A, 0x7A, 0xEE}));
}

TEST(QuarnelFrame, UnframingChecksTheSumAndRestoresHighBytes)
{
    std::string text;
    ASSERT_TRUE(UnframePacket(Bytes({0x7F, 0x7F, 0xFE}), text));
    EXPECT_EQ(text, "\xFF");
    ASSERT_TRUE(UnframePacket(Bytes({0x7F, 0x69, 0xE8}), text));
    EXPECT_EQ(text, "\xE9");
    // A 0x7F just before the checksum byte stays itself.
    ASSERT_TRUE(UnframePacket(Bytes({0x41, 0x7F, 0xC0}), text));
    EXPECT_EQ(text, "A\x7F");
    EXPECT_FALSE(UnframePacket(Bytes({0x41, 0x42, 0x84}), text));
    EXPECT_FALSE(UnframePacket("", text));
    EXPECT_TRUE(DecodePacket(Bytes({0x41, 0x42, 0x84})).empty());
}

TEST(QuarnelPackets, BuildersGoldenTexts)
{
    EXPECT_EQ(MakeReceivedSpotPacket("TELNET", "DX de K1ABC:  14025.0  DL1XX\n"),
              "RCVDPKT: \"TELNET\" \"\" \"DX de K1ABC:  14025.0  DL1XX\n\"");
    EXPECT_EQ(MakeSkimmerClientPacket("TELNET", "STN\"2", 1), R"(CWSKIMMERCLIENT: "TELNET" "STN\"2" 1)");
    EXPECT_EQ(MakeGabPacket("TELNET", "STN1", "73"), R"(GAB: "TELNET" "STN1" "73")");
    // Cut to 80 bytes before escaping: the escape of the 80th byte stays whole, what follows is gone.
    const std::string message = std::string(79, 'a') + "\xE9" "5" + std::string(19, 'b');
    EXPECT_EQ(MakeGabPacket("T", "S", message), "GAB: \"T\" \"S\" \"" + std::string(79, 'a') + "\\351\"");
    // "X:" frames to 0x58 0x3A and 0x58 + 0x3A = 0x92.
    EXPECT_EQ(FramePacket("X:"), Bytes({0x58, 0x3A, 0x92}));
}

TEST(QuarnelPackets, LinesAreGatheredUpTo200Bytes)
{
    const std::string line90 = std::string(89, 'x') + "\n";
    const auto three = GroupLinesForPackets(line90 + line90 + line90);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[0], line90 + line90);
    EXPECT_EQ(three[1], line90);
    const std::string line100 = std::string(99, 'y') + "\n";
    EXPECT_EQ(GroupLinesForPackets(line100 + line100), Fields{line100 + line100});
    const std::string line250 = std::string(249, 'z') + "\n";
    EXPECT_EQ(GroupLinesForPackets("a\n" + line250 + "b"), (Fields{"a\n", line250, "b"}));
    EXPECT_TRUE(GroupLinesForPackets("").empty());
}

TEST(QuarnelPackets, TextConversionsAreByteForByte)
{
    EXPECT_EQ(WideToLatin1(u"K1\u00e9\u0100\U0001F4E1"), "K1\xE9???");
    EXPECT_EQ(Latin1ToWide("\xE9\x7F" "A"), u"\u00e9\u007f" u"A");
}

TEST(QuarnelSplit, FieldsQuotesAndEscapes)
{
    EXPECT_EQ(SplitPacketFields(R"(SENDPKT: "" "" "a\"b")"), (Fields{"SENDPKT:", "", "", "a\"b"}));
    EXPECT_EQ(SplitPacketFields("CWSKIMMERFREQ: \"STN1\"\t\"\" 1\v140250 "),
              (Fields{"CWSKIMMERFREQ:", "STN1", "", "1", "140250"}));
    EXPECT_EQ(SplitPacketFields(R"(X: "\101\x41\x\a\q\777\1234")"),
              (Fields{"X:", std::string("AA\0\aq\xFFS4", 8)}));
    EXPECT_EQ(SplitPacketFields(R"(X: "\xfG")"), (Fields{"X:", "\x0F" "G"}));
    // A missing closing quote is accepted; a backslash as the last byte spoils the whole packet.
    EXPECT_EQ(SplitPacketFields(R"(SENDPKT: "abc)"), (Fields{"SENDPKT:", "abc"}));
    EXPECT_TRUE(SplitPacketFields(R"(SENDPKT: "" "abc\)").empty());
    // The byte after a closing quote is skipped; a NUL where a field would begin ends the packet.
    EXPECT_EQ(SplitPacketFields(R"(X: "a"bc)"), (Fields{"X:", "a", "c"}));
    EXPECT_EQ(SplitPacketFields(std::string("X: B\0C \0D", 9)), (Fields{"X:", "B", "C"}));
    EXPECT_TRUE(SplitPacketFields("  ").empty());
}

TEST(QuarnelSplit, APacketOf40FieldsYieldsItsFirst31)
{
    std::string packet = "X:";
    for (int i = 1; i < 40; ++i) packet += " " + std::to_string(i);
    const auto fields = SplitPacketFields(packet);
    ASSERT_EQ(fields.size(), 31u);
    EXPECT_EQ(fields[30], "30");
}

TEST(QuarnelSplit, NumberFieldsNeverOverflowOrWrap)
{
    EXPECT_EQ(ReadPacketNumber(" 12"), 12);
    EXPECT_EQ(ReadPacketNumber("+3"), 3);
    EXPECT_EQ(ReadPacketNumber("140250.5"), 140250);
    EXPECT_EQ(ReadPacketNumber("2147483647"), 2147483647);
    EXPECT_EQ(ReadPacketNumber("-1"), 0);
    EXPECT_EQ(ReadPacketNumber("2147483648"), 0);
    EXPECT_EQ(ReadPacketNumber("99999999999999999999999"), 0);
    EXPECT_EQ(ReadPacketNumber("x1"), 0);
    EXPECT_EQ(ReadPacketNumber(""), 0);
}

class QuarnelReassemblyTest : public testing::Test {
protected:
    std::vector<Fields> Feed(uint64_t sender, std::string_view datagram)
    {
        std::vector<Fields> decoded;
        for (const auto& packet : parts.Add(sender, datagram)) decoded.push_back(DecodePacket(packet));
        return decoded;
    }

    CQuarnelReassembly parts;
    const uint64_t alice = CQuarnelReassembly::SenderKey(0x7F000001, 9871);
    const uint64_t bob = CQuarnelReassembly::SenderKey(0x7F000002, 9871);
};

TEST_F(QuarnelReassemblyTest, ALongPacketIsReassembledBetweenAnotherSendersDatagrams)
{
    const std::string text = "SENDPKT: \"STN1\" \"\" \"" + std::string(578, 'q') + "\"";
    const std::string framed = FramePacket(text);
    ASSERT_EQ(framed.size(), 600u);
    const auto datagrams = CutIntoDatagrams(framed);
    ASSERT_EQ(datagrams.size(), 3u);
    EXPECT_EQ(datagrams[0].size(), 255u);
    EXPECT_EQ(datagrams[1].size(), 255u);
    EXPECT_EQ(datagrams[2].size(), 90u);

    const std::string other = FramePacket("GAB: \"B\" \"STN1\" \"hello\"");
    EXPECT_TRUE(Feed(alice, datagrams[0]).empty());
    EXPECT_TRUE(Feed(bob, other.substr(0, 10)).empty());
    EXPECT_TRUE(Feed(alice, datagrams[1]).empty());
    EXPECT_EQ(Feed(bob, other.substr(10)), (std::vector<Fields>{{"GAB:", "B", "STN1", "hello"}}));
    const auto done = Feed(alice, datagrams[2]);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0][3], std::string(578, 'q'));
    EXPECT_EQ(parts.SenderCount(), 0u);
}

TEST_F(QuarnelReassemblyTest, ANewKeywordDiscardsTheUnfinishedPacketOfTheSameSender)
{
    EXPECT_TRUE(Feed(alice, "SENDPKT: \"STN1\" \"\" \"half").empty());
    EXPECT_EQ(parts.PendingBytes(alice), 24u);
    const auto got = Feed(alice, FramePacket("SENDPKT: \"STN1\" \"\" \"whole\""));
    EXPECT_EQ(got, (std::vector<Fields>{{"SENDPKT:", "STN1", "", "whole"}}));
    // Digits and capitals before ": " count as a keyword; lower case or no blank does not.
    Feed(alice, "ab");
    Feed(alice, "x: more");
    Feed(alice, "X:more");
    EXPECT_EQ(parts.PendingBytes(alice), 15u);
    Feed(alice, "CW2:");
    EXPECT_EQ(parts.PendingBytes(alice), 19u);
    Feed(alice, "CW2: x");
    EXPECT_EQ(parts.PendingBytes(alice), 6u);
}

TEST_F(QuarnelReassemblyTest, OneDatagramMayEndOnePacketAndHoldOthersAndLeadingNulsAreSkipped)
{
    const std::string a = FramePacket("A: 1");
    const std::string b = FramePacket("B: 2");
    const std::string c = FramePacket("C: 3");
    Feed(alice, a.substr(0, 2));
    const auto got = Feed(alice, a.substr(2) + std::string(1, '\0') + b + c.substr(0, 3));
    EXPECT_EQ(got, (std::vector<Fields>{{"A:", "1"}, {"B:", "2"}}));
    EXPECT_EQ(parts.PendingBytes(alice), 3u);
    EXPECT_EQ(Feed(alice, c.substr(3)), (std::vector<Fields>{{"C:", "3"}}));
    // A bad checksum drops that packet alone.
    std::string bad = FramePacket("D: 4");
    bad.back() = char(bad.back() ^ 1);
    EXPECT_EQ(Feed(alice, bad + a), (std::vector<Fields>{{}, {"A:", "1"}}));
}

TEST_F(QuarnelReassemblyTest, MemoryStaysBoundedUnderAFlood)
{
    const std::string chunk(2048, 'a');
    for (int i = 0; i < 9; ++i) Feed(alice, chunk);
    EXPECT_LE(parts.PendingBytes(alice), CQuarnelReassembly::kMaxPendingBytes);
    EXPECT_EQ(parts.PendingBytes(alice), 0u); // 18432 bytes without an end: emptied

    for (uint32_t sender = 0; sender < 1000; ++sender) Feed(CQuarnelReassembly::SenderKey(sender, 1), "xyz");
    EXPECT_EQ(parts.SenderCount(), CQuarnelReassembly::kMaxSenders);
    // The oldest are gone, the newest are kept.
    EXPECT_EQ(parts.PendingBytes(CQuarnelReassembly::SenderKey(0, 1)), 0u);
    EXPECT_EQ(parts.PendingBytes(CQuarnelReassembly::SenderKey(999, 1)), 3u);
    EXPECT_EQ(parts.PendingBytes(CQuarnelReassembly::SenderKey(744, 1)), 3u);
    EXPECT_EQ(parts.PendingBytes(CQuarnelReassembly::SenderKey(743, 1)), 0u);
}

TEST(QuarnelRoundTrip, RandomFieldsComeBackThroughFramingDatagramsAndAnotherSender)
{
    std::mt19937 random(20261208);
    CQuarnelReassembly parts;
    const uint64_t station = CQuarnelReassembly::SenderKey(0xC0A80005, 9871);
    const uint64_t noise = CQuarnelReassembly::SenderKey(0xC0A80006, 9871);
    const std::string noisePacket = FramePacket("GAB: \"N\" \"S\" \"" + std::string(300, '.') + "\"");
    for (int round = 0; round < 300; ++round) {
        Fields fields = {"SENDPKT:"};
        std::string text = fields[0];
        const int count = int(random() % 31);
        for (int i = 0; i < count; ++i) {
            std::string field(random() % 120, '\0');
            for (auto& c : field) c = char(random() % 256);
            text += " \"" + EscapeField(field) + "\"";
            std::erase(field, '\0');
            fields.push_back(field);
        }
        const std::string framed = FramePacket(text);
        const auto mine = CutIntoDatagrams(framed);
        const auto theirs = CutIntoDatagrams(noisePacket);
        std::vector<Fields> got;
        for (size_t i = 0; i < std::max(mine.size(), theirs.size()); ++i) {
            if (i < theirs.size()) parts.Add(noise, theirs[i]);
            if (i < mine.size())
                for (const auto& packet : parts.Add(station, mine[i])) got.push_back(DecodePacket(packet));
        }
        ASSERT_EQ(got.size(), 1u) << "round " << round;
        ASSERT_EQ(got[0], fields) << "round " << round;
    }
}
