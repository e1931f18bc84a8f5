#pragma once
// Commands to the program itself typed in a send line ("/connect", "/sel name", ...), which may be
// abbreviated. A line this parser does not accept goes to the cluster as typed.
#include <cstdint>
#include <string>

namespace kv {

enum SlashCommandCode : int32_t {
    SlashNone = 0,
    SlashConnect = 1,
    SlashDisconnect = 2,
    SlashBye = 3,
    SlashStatus = 4,
    SlashOpen = 5,
    SlashClose = 6,
    SlashSelect = 7,
    SlashHelp = 8,
    SlashExit = 9,
};

struct ParsedCommand {
    SlashCommandCode Code = SlashNone;
    std::u16string Argument;
};

struct CommandTableEntry {
    const char16_t* Word;
    int32_t MinLength;
    int32_t TakesArgument;
    SlashCommandCode Code;
};

// The order decides between rows.
extern const CommandTableEntry SlashCommandTable[13];

ParsedCommand ParseSlashCommand(const std::u16string& line);

} // namespace kv
