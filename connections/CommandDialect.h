#pragma once
// Rewriting SH/DX, SH/WWV and SH/WCY, as logger stations send them, into the syntax of the cluster
// software behind a connection. 8-bit text throughout.
#include <cstdint>
#include <string>
#include <vector>

#include "connections/ClusterSoftware.h"

namespace kv {

enum ShowCommandKind : int32_t {
    ShowNotRecognised = 0,
    ShowCount = 1,
    ShowBand = 2,
    ShowCountBand = 3,
    ShowSpotter = 4,
    ShowFrequencyRange = 5,
    ShowCall = 6,
    ShowWwv = 7,
    ShowWcy = 8,
};

struct ShowCommand {
    ShowCommandKind Kind = ShowNotRecognised;
    std::string Count;
    std::string Band; // metres, without the "M"
    std::string Call; // the spotter (ShowSpotter) or the DX call (ShowCall)
    std::string FrequencyLow;
    std::string FrequencyHigh;

    bool operator==(const ShowCommand&) const = default;
};

enum CommandDialect : int32_t {
    NoDialect = 0,
    DialectDXSpider = 1,
    DialectARCluster = 2,
    DialectARCluster4 = 3,
    DialectARCluster6 = 4,
    DialectCCCluster = 5,
    DialectDxNet = 6,
    DialectCLX = 7,
    DialectGoCluster = 8,
};

extern const char* const BandNames[13];
extern const char* const ReservedShowWords[11];

CommandDialect GetCommandDialect(ClusterSoftwareId software);

// True when the line is a show command that reads differently in the dialect; out is then the line to send.
bool AdaptShowCommand(const std::string& line, CommandDialect dialect, std::string& out);
ShowCommand ParseShowCommand(const std::string& line);
// Empty when the dialect has no form for the command.
std::string FormatShowCommand(const ShowCommand& command, CommandDialect dialect);

std::string NormalizeCommand(const std::string& text);
std::vector<std::string> SplitOnSpaces(const std::string& text);
bool IsCountText(const std::string& text);
bool IsBandName(const std::string& text);
// "20M" gives "20"; anything else gives an empty text.
std::string ParseBandWord(const std::string& word);
bool IsFrequencyText(const std::string& text);
std::string MapBandForClx(const std::string& band);
std::string MapBandForDxNet(const std::string& band);

} // namespace kv
