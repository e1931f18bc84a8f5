#include <gtest/gtest.h>

#include "connections/CConnectionSettings.h"
#include "connections/CReceiveBuffer.h"
#include "connections/CTelnetProtocol.h"
#include "base/Utf.h"
#include "connections/TelnetText.h"

using namespace kv;

namespace {

std::string Feed(CTelnetProtocol& telnet, std::string_view bytes, std::string* replies = nullptr)
{
    std::string data, answers;
    telnet.Feed(bytes, data, answers);
    if (replies) *replies += answers;
    return data;
}

} // namespace

TEST(TelnetProtocol, RefusesEveryOptionAndKeepsTheData)
{
    CTelnetProtocol telnet;
    std::string replies;
    const std::string in = "a\xFF\xFB\x01" "b\xFF\xFD\x18" "c\xFF\xFC\x05\xFF\xFE\x07" "d\xFF\xF1" "e\xFF\xFF" "f";
    EXPECT_EQ(Feed(telnet, in, &replies), "abcde\xFF" "f");
    EXPECT_EQ(replies, "\xFF\xFE\x01\xFF\xFC\x18"); // WILL 1 -> DONT 1, DO 24 -> WONT 24, WONT/DONT unanswered
}

// A server writing the Latin-1 text "\xFF\xFA" (IAC SB) must not silence the connection for good.
TEST(TelnetProtocol, AnUnendedSubnegotiationIsGivenUp)
{
    CTelnetProtocol telnet;
    EXPECT_EQ(Feed(telnet, "\xFF\xFA" + std::string(CTelnetProtocol::kMaxSubnegotiation - 1, 'z')), "");
    EXPECT_EQ(Feed(telnet, "z"), "");
    EXPECT_EQ(Feed(telnet, "DX de N0CALL\r\n"), "DX de N0CALL\r\n");
}

TEST(TelnetProtocol, ASubnegotiationGivenUpAtAnIacTakesTheByteAfterIt)
{
    const std::string overlong = "\xFF\xFA" + std::string(CTelnetProtocol::kMaxSubnegotiation - 1, 'z') + "\xFF";
    CTelnetProtocol telnet;
    EXPECT_EQ(Feed(telnet, overlong + "\xF0" "DX\r\n"), "DX\r\n");
    CTelnetProtocol split; // the same, the SE in the next chunk
    EXPECT_EQ(Feed(split, overlong), "");
    EXPECT_EQ(Feed(split, "\xF0" "DX\r\n"), "DX\r\n");
    CTelnetProtocol escaped; // IAC IAC: its second byte belongs to the subnegotiation too
    EXPECT_EQ(Feed(escaped, overlong + "\xFF" "DX\r\n"), "DX\r\n");
}

TEST(DecodeReceivedBytes, PicksUtf8OrLatin1AndFiltersControls)
{
    EXPECT_EQ(DecodeReceivedBytes("caf\xC3\xA9"), u"caf\u00E9");        // valid UTF-8
    EXPECT_EQ(DecodeReceivedBytes("caf\xE9 \xFF"), u"caf\u00E9 \u00FF"); // not UTF-8: Latin-1
    EXPECT_EQ(DecodeReceivedBytes("\xF0\x9F\x93\xA1"), u"\U0001F4E1");
    EXPECT_EQ(DecodeReceivedBytes("1928Z\x07\x07\r\n"), u"1928Z\u2022\u2022\n");
    EXPECT_EQ(DecodeReceivedBytes("a\tb\x01\x1B\x7F" "c"), u"a\tbc");
    EXPECT_EQ(DecodeReceivedBytes("x\x85\x9Fy\xA0"), u"xy\u00A0");      // C1 controls dropped (Latin-1)
    EXPECT_EQ(DecodeReceivedBytes("x\xC2\x85y"), u"xy");                 // and as UTF-8
    EXPECT_EQ(DecodeReceivedBytes(""), u"");
}

TEST(IncompleteUtf8Tail, HoldsBackOnlyAnUnfinishedCharacter)
{
    EXPECT_EQ(IncompleteUtf8TailLength("ab\xC3"), 1u);
    EXPECT_EQ(IncompleteUtf8TailLength("ab\xC3\xA9"), 0u);
    EXPECT_EQ(IncompleteUtf8TailLength("\xE2\x82"), 2u);
    EXPECT_EQ(IncompleteUtf8TailLength("\xF0\x9F\x93"), 3u);
    EXPECT_EQ(IncompleteUtf8TailLength("\xF0\x9F\x93\xA1"), 0u);
    EXPECT_EQ(IncompleteUtf8TailLength("a\x80\x80\x80"), 0u); // three continuation bytes hold nothing back
    EXPECT_EQ(IncompleteUtf8TailLength("abc"), 0u);
    EXPECT_EQ(IncompleteUtf8TailLength(""), 0u);
}

TEST(EncodeTelnetLine, EightBitUnitsWithDoubledIacAndTheLineEnding)
{
    EXPECT_EQ(EncodeTelnetLine(u"sh/dx", LineEndingCrLf), "sh/dx\r\n");
    EXPECT_EQ(EncodeTelnetLine(u"sh/dx", LineEndingCr), "sh/dx\r");
    EXPECT_EQ(EncodeTelnetLine(u"sh/dx", LineEndingLf), "sh/dx\n");
    EXPECT_EQ(EncodeTelnetLine(u"sh/dx", 7), "sh/dx\r\n");
    EXPECT_EQ(EncodeTelnetLine(u"\u00FF\u00E9", LineEndingLf), "\xFF\xFF\xE9\n");
    EXPECT_EQ(EncodeTelnetLine(u"\u20AC\U0001F4E1!", LineEndingLf), std::string(3, '?') + "!\n"); // a surrogate pair is two units
    EXPECT_EQ(EncodeTelnetLine(u"", LineEndingCrLf), "\r\n");
}

// Whatever the split of the bytes, the text is the same, and a split character is never shown in pieces.
TEST(ReceiveBuffer, HoldsBackASplitUtf8CharacterAtEveryPosition)
{
    const std::string line = "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA1 ok\r\nnext \xF0\x9F\x93\xA1";
    const std::u16string whole = u"\u00E9 \u20AC \U0001F4E1 ok\nnext \U0001F4E1";
    for (size_t cut = 0; cut <= line.size(); ++cut) {
        CReceiveBuffer buffer;
        buffer.Append(line.substr(0, cut));
        const std::u16string first = buffer.TakeText(false);
        EXPECT_EQ(first.find(kv::kReplacementChar), std::u16string::npos);
        EXPECT_EQ(whole.compare(0, first.size(), first), 0) << "cut at " << cut;
        buffer.Append(line.substr(cut));
        EXPECT_EQ(first + buffer.TakeText(false), whole) << "cut at " << cut;
        EXPECT_TRUE(buffer.Empty());
    }
}

TEST(ReceiveBuffer, DecodesEachLineByItselfAndTheTailWhenFinal)
{
    CReceiveBuffer buffer;
    buffer.Append("Gr\xFC\xDF" "e\r\nGr\xC3\xBC\xC3\x9F" "e\r\n\xE2\x82");
    EXPECT_EQ(buffer.TakeText(false), u"Gr\u00FC\u00DFe\nGr\u00FC\u00DFe\n");
    EXPECT_FALSE(buffer.Empty());
    EXPECT_EQ(buffer.TakeText(true), u"\u00E2"); // the connection ended: the stray bytes show as Latin-1
    EXPECT_TRUE(buffer.Empty());
}
