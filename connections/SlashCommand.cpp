#include "connections/SlashCommand.h"

#include <string_view>

#include "base/Ascii.h"
#include "base/Text.h"

namespace kv {

const CommandTableEntry SlashCommandTable[13] = {
    {u"connect", 3, 1, SlashConnect}, {u"disconnect", 4, 1, SlashDisconnect}, {u"bye", 3, 0, SlashBye},
    {u"status", 3, 0, SlashStatus},   {u"list", 3, 0, SlashStatus},           {u"open", 3, 1, SlashOpen},
    {u"close", 3, 1, SlashClose},     {u"select", 3, 1, SlashSelect},         {u"current", 3, 0, SlashSelect},
    {u"help", 3, 0, SlashHelp},       {u"?", 1, 0, SlashHelp},                {u"exit", 4, 0, SlashExit},
    {u"quit", 4, 0, SlashExit},
};

namespace {

bool IsAbbreviationOf(std::u16string_view word, const CommandTableEntry& row)
{
    const std::u16string_view full = row.Word;
    return word.size() >= size_t(row.MinLength) && word.size() <= full.size() && full.substr(0, word.size()) == word;
}

} // namespace

ParsedCommand ParseSlashCommand(const std::u16string& line)
{
    const std::u16string text = Trim(line);
    if (text.size() < 2 || text[0] != u'/') return {};

    const std::u16string_view rest = std::u16string_view(text).substr(1);
    const size_t cut = rest.find_first_of(u" \t");
    const std::u16string word = ToLowerAscii(rest.substr(0, cut));
    const std::u16string argument = cut == std::u16string_view::npos ? std::u16string() : Trim(rest.substr(cut + 1));

    for (const auto& row : SlashCommandTable) {
        if (!IsAbbreviationOf(word, row)) continue;
        if (!row.TakesArgument && !argument.empty()) return {};
        return {row.Code, argument};
    }
    return {};
}

} // namespace kv
