#include <gtest/gtest.h>

#include "connections/SlashCommand.h"

using namespace kv;

namespace {

void ExpectCommand(const std::u16string& line, SlashCommandCode code, const std::u16string& argument = {})
{
    const ParsedCommand parsed = ParseSlashCommand(line);
    EXPECT_EQ(parsed.Code, code) << std::string(line.begin(), line.end());
    EXPECT_EQ(parsed.Argument, argument) << std::string(line.begin(), line.end());
}

void ExpectNone(const std::u16string& line)
{
    ExpectCommand(line, SlashNone);
}

} // namespace

// Every row at its shortest abbreviation, one character shorter, its full word and one character longer.
TEST(SlashCommand, EveryAbbreviationBoundaryOfTheTable)
{
    for (const auto& row : SlashCommandTable) {
        const std::u16string word = row.Word;
        for (size_t length = 1; length <= word.size(); ++length) {
            const std::u16string line = u"/" + word.substr(0, length);
            if (length < size_t(row.MinLength)) ExpectNone(line); // no other row takes it either
            else ExpectCommand(line, row.Code);
        }
        ExpectNone(u"/" + word + u"x");
    }
    ExpectNone(u"/??");
    ExpectNone(u"/connectx");
    ExpectNone(u"/disconnectx");
}

TEST(SlashCommand, LettersCaseAndTheWordsThatShareCodes)
{
    ExpectCommand(u"/con", SlashConnect);
    ExpectCommand(u"/CONNECT", SlashConnect);
    ExpectCommand(u"/Disc all", SlashDisconnect, u"all");
    ExpectCommand(u"/sta", SlashStatus);
    ExpectCommand(u"/lis", SlashStatus);
    ExpectCommand(u"/cur", SlashSelect);
    ExpectCommand(u"/current", SlashSelect);
    ExpectCommand(u"/?", SlashHelp);
    ExpectCommand(u"/hel", SlashHelp);
    ExpectCommand(u"/EXIT", SlashExit);
    ExpectCommand(u"/quit", SlashExit);
    // "clo" is close, never a prefix of "connect".
    ExpectCommand(u"/clo", SlashClose);
}

TEST(SlashCommand, ArgumentRules)
{
    ExpectCommand(u"/select", SlashSelect);
    ExpectCommand(u"/sel My Node", SlashSelect, u"My Node");
    ExpectCommand(u"/open  Dover  Node  ", SlashOpen, u"Dover  Node");
    ExpectCommand(u"/open\tGB7DJK", SlashOpen, u"GB7DJK");
    ExpectCommand(u"  /close \t x \t", SlashClose, u"x");
    ExpectCommand(u"/con  ", SlashConnect);
    ExpectCommand(u"/bye ", SlashBye); // trailing blanks are no argument
    // A command that takes no argument refuses one: the line goes to the cluster.
    ExpectNone(u"/bye now");
    ExpectNone(u"/status all");
    ExpectNone(u"/list x");
    ExpectNone(u"/cur x");
    ExpectNone(u"/help me");
    ExpectNone(u"/? x");
    ExpectNone(u"/exit now");
    ExpectNone(u"/quit\tnow");
}

TEST(SlashCommand, LinesThatAreNoCommands)
{
    ExpectNone(u"");
    ExpectNone(u"/");
    ExpectNone(u"  /  ");
    ExpectNone(u"/ connect");
    ExpectNone(u"/\tconnect");
    ExpectNone(u"connect");
    ExpectNone(u"sh/dx");
    ExpectNone(u"//connect");
    ExpectNone(u"/c\u00f6n");
    ExpectNone(u"/\u0441onnect"); // a Cyrillic letter that looks like c
    const ParsedCommand none = ParseSlashCommand(u"/bye now");
    EXPECT_TRUE(none.Argument.empty());
}
