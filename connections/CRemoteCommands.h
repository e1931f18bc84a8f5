#pragma once
// The connection view's dealings with the logger's stations and with slash commands: the packets the
// stations send (text for the clusters, commands, the frequency of a radio that CW Skimmer connections
// follow), the interpreter of slash commands typed in a page or sent by a station, the answers to stations
// that asked to connect or disconnect, and the alerts about connections lost, restored or never connected
// since start-up. User-interface thread only; the view's side comes through IRemoteCommandsHost.
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "connections/IRemoteCommandsHost.h"
#include "connections/SlashCommand.h"

namespace kv {

// Where a slash command runs and where its replies go.
struct CommandContext {
    CConnectionController* CurrentPage = nullptr; // the connection a command without a name applies to
    CConnectionController* OriginPage = nullptr;  // the page it was typed in; null for a station's command
    std::u16string Station;                       // the station that sent it; empty when typed
    std::u16string Line;                          // the command line, trimmed
};

// The last connect or disconnect a station asked for on a connection, until its outcome was answered.
struct StationRequest {
    std::u16string Station;
    bool Connect = false;
};

// The line, cut to its first 27 characters and "..." beyond 30, then ": " and the message.
std::u16string FormatLineReply(const std::u16string& line, const std::u16string& message);

class CRemoteCommands {
public:
    // What one station's packet may cause: the lines of its text that run, and the replies and log lines
    // they make. Beyond them nothing more is done, and one last reply says how much was left undone.
    static constexpr size_t kMaxLinesPerPacket = 32;
    static constexpr size_t kMaxRepliesPerPacket = 64;

    explicit CRemoteCommands(IRemoteCommandsHost& host) : host_(host) {}

    // A packet of the logger network, its keyword first.
    void OnQuarnelPacket(const std::vector<std::string>& fields);
    // One line of a station's "SENDPKT:" text.
    void OnTextFromQuarnel(const std::u16string& line, const std::u16string& station);
    // A slash command typed in a page.
    void OnCommandLine(CConnectionController& page, const std::u16string& line);
    // Runs a parsed slash command; codes outside 1..9 do nothing.
    void ExecuteSlashCommand(const ParsedCommand& command, const CommandContext& context);

    // What the pages report, after the view's own handling.
    void OnConnectionStateChanged(const CConnectionController& page);
    void OnConnectionError(const CConnectionController& page, const std::u16string& text);
    void OnConnectionLost(const CConnectionController& page, const std::u16string& reason, bool reconnecting);
    // The alert about connections that Connect All at start-up did not bring up.
    void ReportUnconnectedSinceStartup();
    // The tab of the connection was closed: nothing more is told about it.
    void ForgetConnection(int id);

    // The pieces of the interpreter.
    void ConnectOrDisconnect(bool connect, const std::u16string& argument, const CommandContext& context);
    void ListConnections(const CommandContext& context);
    // "*C Name             host:port" for a connection tab; empty for any other index.
    std::u16string FormatConnectionLine(int index) const;
    // The open connection a typed name means (whole name or unique beginning); null with the error text.
    CConnectionController* FindOpenConnection(const std::u16string& name, std::u16string& error) const;
    // The same over the closed connections; 0 with the error text.
    int FindClosedConnection(const std::u16string& name, std::u16string& error) const;

    // A line for a station ("GAB:") or, without one, for the log pane; an error goes to the log pane too.
    void WriteLine(const std::u16string& station, const std::u16string& text, bool error);
    // An alert to the stations of [Network] GabStations, then to those that sent text.
    void NotifyStations(const std::u16string& text);

    const std::map<int, StationRequest>& StationRequests() const { return stationRequests_; }
    const std::map<int, bool>& AnnouncedFailures() const { return announcedFailures_; }
    const std::vector<std::u16string>& SenderStations() const { return senderStations_; }

private:
    void OnSkimmerFrequency(const std::vector<std::string>& fields);
    void OnSendPacket(const std::vector<std::string>& fields);
    void RememberSender(const std::u16string& station);
    bool IsGabStation(const std::u16string& station) const;
    void SendToClusters(const std::u16string& line, const std::u16string& station);
    void Bye(const CommandContext& context);
    void Open(const std::u16string& argument, const CommandContext& context);
    void Close(const std::u16string& argument, const CommandContext& context);
    void Select(const std::u16string& argument, const CommandContext& context);
    void Help(const CommandContext& context);
    void Exit(const CommandContext& context);
    // The open connection of that name, or null after the error reply.
    CConnectionController* FindOpenOrAnswer(const std::u16string& name, const CommandContext& context);
    void ConnectOrDisconnectOne(bool connect, CConnectionController& page, const CommandContext& context);
    void StartOrStop(bool connect, CConnectionController& page, const CommandContext& context);
    void AnswerStationRequest(const CConnectionController& page);
    void Reply(const CommandContext& context, const std::u16string& text);
    // The command line, ": " and the message.
    void ErrorReply(const CommandContext& context, const std::u16string& message);
    void WriteErrorReply(const CommandContext& context, const std::u16string& text);
    void SendGabOrReport(const std::u16string& station, const std::u16string& text);
    CConnectionController* ActivePage() const;
    int IndexOf(const CConnectionController& page) const;

    IRemoteCommandsHost& host_;
    std::map<int, StationRequest> stationRequests_;
    std::map<int, bool> announcedFailures_; // true: told by the start-up report; false: told as lost
    // The stations that sent text, oldest first; any host on the network can make up names, so only the
    // latest ones are kept. The keys are the same names in ASCII capitals, for the lookup of every packet.
    static constexpr size_t kMaxSenderStations = 64;
    std::vector<std::u16string> senderStations_;
    std::unordered_set<std::u16string> senderKeys_;
    // While a station's packet is handled: the replies it may still make, and those it was refused.
    struct PacketReplies {
        size_t left;
        int refused;
    };
    std::optional<PacketReplies> packetReplies_;
};

} // namespace kv
