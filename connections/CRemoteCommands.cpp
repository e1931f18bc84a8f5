#include "connections/CRemoteCommands.h"

#include <algorithm>

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/CConnectionController.h"
#include "connections/GeneralSettings.h"
#include "connections/QuarnelCodec.h"

namespace kv {

namespace {

constexpr unsigned kIdsUnknownConnection = 377;
constexpr unsigned kIdsSeveralMatch = 378;
constexpr unsigned kIdsConnectionClosed = 379;
constexpr unsigned kIdsRefusedBy = 380;
constexpr unsigned kIdsNoCurrentConnection = 395;
constexpr unsigned kIdsByeNotSent = 396;
constexpr unsigned kIdsConnecting = 397;
constexpr unsigned kIdsConnected = 398;
constexpr unsigned kIdsConnectionFailed = 399;
constexpr unsigned kIdsDisconnecting = 400;
constexpr unsigned kIdsDisconnected = 401;
constexpr unsigned kIdsAlreadyConnected = 402;
constexpr unsigned kIdsNotConnected = 403;
constexpr unsigned kIdsConnectingAll = 404;
constexpr unsigned kIdsDisconnectingAll = 405;
constexpr unsigned kIdsByeSent = 406;
constexpr unsigned kIdsClosing = 407;
constexpr unsigned kIdsNoClusterForCommands = 408;
constexpr unsigned kIdsNoClusterForSpots = 409;
constexpr unsigned kIdsNameRequired = 410;
constexpr unsigned kIdsAlreadyOpen = 411;
constexpr unsigned kIdsReopened = 412;
constexpr unsigned kIdsClosed = 413;
constexpr unsigned kIdsSelected = 414;
constexpr unsigned kIdsConnectionCounts = 415;
constexpr unsigned kIdsHelp = 416;
constexpr unsigned kIdsSelectedLine = 417;
constexpr unsigned kIdsLost = 418;
constexpr unsigned kIdsLostReconnecting = 419;
constexpr unsigned kIdsRestored = 420;
constexpr unsigned kIdsNotConnectedSinceStartup = 421;
constexpr unsigned kIdsNoAnswer = 422;
constexpr unsigned kIdsPacketCut = 590;

constexpr size_t kLongestEchoedLine = 30;
constexpr size_t kShortestCut = 4; // a character and "..."

const std::string kSkimmerFrequencyKeyword = "CWSKIMMERFREQ:";
const std::string kSendKeyword = "SENDPKT:";

// Page states: 0 disconnected, 1 connecting, 2 connected, 3 error, 4 waiting to reconnect.
constexpr int kConnecting = 1;
constexpr int kConnected = 2;
constexpr int kError = 3;
constexpr int kWaiting = 4;
bool IsConnectable(int state) { return state == 0 || state == kError || state == kWaiting; }
bool IsActive(int state) { return state == kConnecting || state == kConnected || state == kWaiting; }

char16_t StateLetter(int state)
{
    switch (state) {
    case kConnecting: return u'K';
    case kConnected: return u'C';
    case kError: return u'E';
    case kWaiting: return u'W';
    default: return u'D';
    }
}

bool IsConnectedTransport(const CConnectionController& page) { return page.Transport && page.Transport->IsConnected(); }

const std::u16string& NameOf(const CConnectionController& page) { return page.Settings.Name; }

std::u16string StationField(const std::string& field) { return Trim(Latin1ToWide(field)); }
// The connection's name, then why its transport refuses lines.
std::u16string RefusedBy(const std::u16string& name, const std::u16string& why)
{
    return FormatText(LoadText(kIdsRefusedBy), name, why);
}

// The text whole when it has at most `longest` characters, else its beginning and "..." in that many.
std::u16string Shortened(const std::u16string& text, size_t longest)
{
    if (text.size() <= longest) return text;
    size_t kept = std::max(longest, kShortestCut) - 3;
    if (text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept; // never half a character
    return text.substr(0, kept) + u"...";
}

size_t GabRoomLeft(size_t used) { return kGabMessageLimit > used ? kGabMessageLimit - used : 0; }

// The reply about a line a connection refused, whole within one "GAB:" message: the echoed line is shortened
// first, then the connection's name; the reason keeps its figure.
std::u16string RefusalReply(const std::u16string& line, const std::u16string& name, const std::u16string& why)
{
    const size_t fixed = FormatLineReply(u"", RefusedBy(u"", why)).size();
    const std::u16string echo =
        Shortened(line, std::clamp(GabRoomLeft(fixed + name.size()), kShortestCut, kLongestEchoedLine));
    const std::u16string shownName = Shortened(name, std::max(GabRoomLeft(fixed + echo.size()), kShortestCut));
    return FormatLineReply(echo, RefusedBy(shownName, why));
}

// A name as typed matched against a list of names: a whole name at once, else the one name that is longer
// and begins with it.
struct NameMatch {
    int found = -1;
    std::vector<int> candidates;
};

NameMatch MatchName(const std::vector<std::u16string>& names, const std::u16string& text)
{
    NameMatch match;
    for (int i = 0; i < int(names.size()); ++i) {
        if (EqualsIgnoreCaseAscii(names[i], text)) {
            match.found = i;
            match.candidates.clear();
            return match;
        }
        if (names[i].size() > text.size() && StartsWithIgnoreCaseAscii(names[i], text)) match.candidates.push_back(i);
    }
    if (match.candidates.size() == 1) match.found = match.candidates[0];
    return match;
}

std::u16string JoinCandidates(const std::vector<std::u16string>& names, const std::vector<int>& candidates)
{
    std::u16string joined;
    for (int i : candidates) {
        if (!joined.empty()) joined += u", ";
        joined += names[i];
    }
    return joined;
}

// The text of a "SENDPKT:" packet cut into its lines: CR LF, CR and LF all end a line. Blank lines run
// nothing, so they are left out and do not count toward the packet's bound.
std::vector<std::u16string> SplitStationText(const std::u16string& text)
{
    std::vector<std::u16string> lines;
    std::u16string line;
    const auto endLine = [&] {
        if (!TrimView<char16_t>(line).empty()) lines.push_back(std::move(line));
        line.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            line += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        endLine();
    }
    endLine();
    return lines;
}

bool IsSpotLine(const std::u16string& line)
{
    return line.size() >= 4 && StartsWithIgnoreCaseAscii(std::u16string_view(line), std::u16string_view(u"DX "));
}

} // namespace

std::u16string FormatLineReply(const std::u16string& line, const std::u16string& message)
{
    return Shortened(line, kLongestEchoedLine) + u": " + message;
}

// ---- packets of the logger network

void CRemoteCommands::OnQuarnelPacket(const std::vector<std::string>& fields)
{
    if (fields.empty()) return;
    if (fields[0] == kSkimmerFrequencyKeyword && (fields.size() == 5 || fields.size() == 6))
        OnSkimmerFrequency(fields);
    else if (fields[0] == kSendKeyword && fields.size() == 4)
        OnSendPacket(fields);
}

void CRemoteCommands::OnSkimmerFrequency(const std::vector<std::string>& fields)
{
    if (!EqualsIgnoreCaseAscii(StationField(fields[2]), host_.General().ApplicationID)) return;
    const std::u16string source = StationField(fields[1]);
    // The radio counted from 0. One beyond int names no radio (it must not read as radio 1), and the
    // comparison does its arithmetic on the page's radio, already known to be 1 or 2, never on the index.
    const std::optional<int> radioIndex = ReadSignedPacketNumber(fields[3]);
    const uint32_t frequency = uint32_t(ReadPacketNumber(fields[4]));
    if (!radioIndex || frequency == 0) return;
    for (int i = 0; i < host_.ConnectionCount(); ++i) {
        CConnectionController* page = host_.ConnectionAt(i);
        if (!page || !page->IsRadioFollowPage() || page->Settings.CwSkimmerRadio - 1 != *radioIndex) continue;
        if (!EqualsIgnoreCaseAscii(Trim(page->Settings.CwSkimmerStationName), source)) continue;
        page->RadioFrequency = frequency;
        page->SendSkimmerQsy();
    }
}

void CRemoteCommands::OnSendPacket(const std::vector<std::string>& fields)
{
    const std::u16string destination = StationField(fields[2]);
    if (!destination.empty() && !EqualsIgnoreCaseAscii(destination, host_.General().ApplicationID)) return;
    const std::u16string source = StationField(fields[1]);
    RememberSender(source);
    const std::vector<std::u16string> lines = SplitStationText(Latin1ToWide(fields[3]));
    const size_t run = std::min(lines.size(), kMaxLinesPerPacket);
    packetReplies_ = PacketReplies{kMaxRepliesPerPacket, 0};
    for (size_t i = 0; i < run; ++i) OnTextFromQuarnel(lines[i], source);
    const int refusedReplies = packetReplies_->refused;
    packetReplies_.reset();
    if (run < lines.size() || refusedReplies > 0)
        WriteLine(source, FormatText(LoadText(kIdsPacketCut), int(lines.size() - run), refusedReplies), true);
}

bool CRemoteCommands::IsGabStation(const std::u16string& station) const
{
    for (const std::u16string& known : host_.General().GabStations)
        if (EqualsIgnoreCaseAscii(known, station)) return true;
    return false;
}

void CRemoteCommands::RememberSender(const std::u16string& station)
{
    if (station.empty()) return;
    std::u16string key = ToUpperAscii(station);
    if (senderKeys_.count(key) || IsGabStation(station)) return;
    if (senderStations_.size() >= kMaxSenderStations) {
        senderKeys_.erase(ToUpperAscii(senderStations_.front()));
        senderStations_.erase(senderStations_.begin());
    }
    senderKeys_.insert(std::move(key));
    senderStations_.push_back(station);
}

void CRemoteCommands::OnTextFromQuarnel(const std::u16string& text, const std::u16string& station)
{
    const std::u16string line = Trim(text);
    if (line.empty()) return;
    const ParsedCommand command = ParseSlashCommand(line);
    if (command.Code != SlashNone) {
        CommandContext context;
        context.CurrentPage = ActivePage();
        context.Station = station;
        context.Line = line;
        ExecuteSlashCommand(command, context);
        return;
    }
    SendToClusters(line, station);
}

// A spot goes to the connected connections that take spots from the logger, as it is; anything else is a
// cluster command for every connected connection that takes commands, in its cluster's dialect.
void CRemoteCommands::SendToClusters(const std::u16string& line, const std::u16string& station)
{
    const bool spot = IsSpotLine(line);
    int taken = 0, refused = 0;
    for (int i = 0; i < host_.ConnectionCount(); ++i) {
        CConnectionController* page = host_.ConnectionAt(i);
        if (!page || !IsConnectedTransport(*page)) continue;
        const bool offered = spot ? !page->Settings.NoSpotsFromQuarnel && page->Transport->CanSendLines()
                                  : page->Transport->AcceptsCommands();
        if (!offered) continue;
        if (page->ProcessOutgoingLine(line, !spot)) {
            ++taken;
        } else if (const std::u16string why = page->Transport->SendRefusal(); !why.empty()) {
            ++refused; // the page told the operator in red when it began to refuse; the station hears it here
            WriteLine(station, RefusalReply(line, NameOf(*page), why), false);
        }
    }
    if (taken == 0 && refused == 0)
        WriteLine(station, FormatLineReply(line, LoadText(spot ? kIdsNoClusterForSpots : kIdsNoClusterForCommands)), true);
}

// ---- the interpreter

void CRemoteCommands::OnCommandLine(CConnectionController& page, const std::u16string& line)
{
    CommandContext context;
    context.CurrentPage = &page;
    context.OriginPage = &page;
    context.Line = Trim(line);
    ExecuteSlashCommand(ParseSlashCommand(context.Line), context);
}

void CRemoteCommands::ExecuteSlashCommand(const ParsedCommand& command, const CommandContext& context)
{
    switch (command.Code) {
    case SlashConnect:
    case SlashDisconnect: ConnectOrDisconnect(command.Code == SlashConnect, command.Argument, context); break;
    case SlashBye: Bye(context); break;
    case SlashStatus: ListConnections(context); break;
    case SlashOpen: Open(command.Argument, context); break;
    case SlashClose: Close(command.Argument, context); break;
    case SlashSelect: Select(command.Argument, context); break;
    case SlashHelp: Help(context); break;
    case SlashExit: Exit(context); break;
    default: break;
    }
}

void CRemoteCommands::Bye(const CommandContext& context)
{
    CConnectionController* page = context.CurrentPage;
    if (!page) {
        ErrorReply(context, LoadText(kIdsNoCurrentConnection));
        return;
    }
    const bool takesCommands = IsConnectedTransport(*page) && page->Transport->AcceptsCommands();
    if (!takesCommands || !page->ProcessOutgoingLine(u"bye", false)) {
        const std::u16string why = takesCommands ? page->Transport->SendRefusal() : std::u16string();
        if (why.empty())
            ErrorReply(context, FormatText(LoadText(kIdsByeNotSent), NameOf(*page)));
        else
            WriteErrorReply(context, RefusalReply(context.Line, NameOf(*page), why));
        return;
    }
    if (!context.OriginPage) Reply(context, FormatText(LoadText(kIdsByeSent), NameOf(*page))); // typed: echoed by the page
}

void CRemoteCommands::Open(const std::u16string& argument, const CommandContext& context)
{
    if (argument.empty()) return ErrorReply(context, LoadText(kIdsNameRequired));
    std::u16string error;
    const int id = FindClosedConnection(argument, error);
    if (id == 0) {
        ErrorReply(context, error);
        return;
    }
    const std::u16string name = host_.ClosedDisplayName(id);
    host_.ReopenConnection(id);
    Reply(context, FormatText(LoadText(kIdsReopened), name));
}

void CRemoteCommands::Close(const std::u16string& argument, const CommandContext& context)
{
    if (argument.empty()) return ErrorReply(context, LoadText(kIdsNameRequired));
    CConnectionController* page = FindOpenOrAnswer(argument, context);
    if (!page) return;
    Reply(context, FormatText(LoadText(kIdsClosed), NameOf(*page)));
    host_.PostCloseConnection(page->ConnectionId); // the tab closes after the command has finished
}

void CRemoteCommands::Select(const std::u16string& argument, const CommandContext& context)
{
    if (argument.empty()) {
        const int active = host_.ActiveTab();
        if (active >= 0 && active < host_.ConnectionCount())
            Reply(context, FormatText(LoadText(kIdsSelectedLine), FormatConnectionLine(active)));
        else
            ErrorReply(context, LoadText(kIdsNoCurrentConnection));
        return;
    }
    CConnectionController* page = FindOpenOrAnswer(argument, context);
    if (!page) return;
    host_.ActivateTab(IndexOf(*page));
    Reply(context, FormatText(LoadText(kIdsSelected), NameOf(*page)));
}

void CRemoteCommands::Help(const CommandContext& context)
{
    for (const std::u16string& line : Split(LoadText(kIdsHelp), u'\n'))
        if (!line.empty()) Reply(context, line);
}

void CRemoteCommands::Exit(const CommandContext& context)
{
    if (!context.OriginPage) Reply(context, LoadText(kIdsClosing));
    host_.PostCloseProgram();
}

void CRemoteCommands::ConnectOrDisconnect(bool connect, const std::u16string& argument, const CommandContext& context)
{
    if (EqualsIgnoreCaseAscii(argument, u"all")) {
        std::vector<CConnectionController*> chosen;
        for (int i = 0; i < host_.ConnectionCount(); ++i) {
            CConnectionController* page = host_.ConnectionAt(i);
            if (page && (connect ? IsConnectable(page->State) : IsActive(page->State))) chosen.push_back(page);
        }
        Reply(context, FormatText(LoadText(connect ? kIdsConnectingAll : kIdsDisconnectingAll), int(chosen.size())));
        for (CConnectionController* page : chosen) StartOrStop(connect, *page, context);
        return;
    }
    CConnectionController* page = context.CurrentPage;
    if (!argument.empty()) {
        page = FindOpenOrAnswer(argument, context);
        if (!page) return;
    } else if (!page) {
        ErrorReply(context, LoadText(kIdsNoCurrentConnection));
        return;
    }
    ConnectOrDisconnectOne(connect, *page, context);
}

void CRemoteCommands::ConnectOrDisconnectOne(bool connect, CConnectionController& page, const CommandContext& context)
{
    if (connect && !IsConnectable(page.State)) {
        Reply(context, FormatText(LoadText(kIdsAlreadyConnected), NameOf(page)));
        return;
    }
    if (!connect && !IsActive(page.State)) {
        Reply(context, FormatText(LoadText(kIdsNotConnected), NameOf(page)));
        return;
    }
    if (&page != context.OriginPage) // the page itself shows what happens
        Reply(context, FormatText(LoadText(connect ? kIdsConnecting : kIdsDisconnecting), NameOf(page)));
    StartOrStop(connect, page, context);
}

void CRemoteCommands::StartOrStop(bool connect, CConnectionController& page, const CommandContext& context)
{
    if (!context.OriginPage && !context.Station.empty())
        stationRequests_[page.ConnectionId] = StationRequest{context.Station, connect};
    if (connect)
        page.Connect();
    else
        page.Disconnect();
}

void CRemoteCommands::ListConnections(const CommandContext& context)
{
    const int count = host_.ConnectionCount();
    int connected = 0;
    for (int i = 0; i < count; ++i)
        if (const CConnectionController* page = host_.ConnectionAt(i); page && page->State == kConnected) ++connected;
    const std::vector<int> closed = host_.ClosedIds();
    Reply(context, FormatText(LoadText(kIdsConnectionCounts), count, connected, int(closed.size())));
    for (int i = 0; i < count; ++i) Reply(context, FormatConnectionLine(i));
    for (int id : closed) {
        CConnectionSettings settings;
        if (host_.LoadClosedSettings(id, settings))
            Reply(context, TrimRight(FormatText(u" - %-16s %s", settings.Name, settings.GetServerText())));
    }
}

std::u16string CRemoteCommands::FormatConnectionLine(int index) const
{
    const CConnectionController* page = index >= 0 && index < host_.ConnectionCount() ? host_.ConnectionAt(index) : nullptr;
    if (!page) return {};
    const std::u16string marks{index == host_.ActiveTab() ? u'*' : u' ', StateLetter(page->State)};
    return TrimRight(FormatText(u"%s %-16s %s", marks, NameOf(*page), page->Settings.GetServerText()));
}

CConnectionController* CRemoteCommands::FindOpenConnection(const std::u16string& name, std::u16string& error) const
{
    error.clear();
    std::vector<std::u16string> names;
    for (int i = 0; i < host_.ConnectionCount(); ++i) {
        const CConnectionController* page = host_.ConnectionAt(i);
        names.push_back(page ? NameOf(*page) : std::u16string());
    }
    const NameMatch match = MatchName(names, name);
    if (match.found >= 0) return host_.ConnectionAt(match.found);
    if (!match.candidates.empty()) {
        error = FormatText(LoadText(kIdsSeveralMatch), name, JoinCandidates(names, match.candidates));
        return nullptr;
    }
    for (int id : host_.ClosedIds()) {
        const std::u16string closedName = host_.ClosedDisplayName(id);
        if (StartsWithIgnoreCaseAscii(std::u16string_view(closedName), std::u16string_view(name))) {
            error = FormatText(LoadText(kIdsConnectionClosed), closedName);
            return nullptr;
        }
    }
    error = FormatText(LoadText(kIdsUnknownConnection), name);
    return nullptr;
}

int CRemoteCommands::FindClosedConnection(const std::u16string& name, std::u16string& error) const
{
    error.clear();
    const std::vector<int> ids = host_.ClosedIds();
    std::vector<std::u16string> names;
    for (int id : ids) names.push_back(host_.ClosedDisplayName(id));
    const NameMatch match = MatchName(names, name);
    if (match.found >= 0) return ids[match.found];
    if (!match.candidates.empty()) {
        error = FormatText(LoadText(kIdsSeveralMatch), name, JoinCandidates(names, match.candidates));
        return 0;
    }
    std::u16string openError;
    if (const CConnectionController* open = FindOpenConnection(name, openError))
        error = FormatText(LoadText(kIdsAlreadyOpen), NameOf(*open));
    else
        error = FormatText(LoadText(kIdsUnknownConnection), name);
    return 0;
}

CConnectionController* CRemoteCommands::FindOpenOrAnswer(const std::u16string& name, const CommandContext& context)
{
    std::u16string error;
    CConnectionController* page = FindOpenConnection(name, error);
    if (!page) ErrorReply(context, error);
    return page;
}

// ---- replies and alerts

void CRemoteCommands::Reply(const CommandContext& context, const std::u16string& text)
{
    if (context.OriginPage)
        context.OriginPage->AppendLogLine(false, text);
    else
        WriteLine(context.Station, text, false);
}

void CRemoteCommands::ErrorReply(const CommandContext& context, const std::u16string& message)
{
    WriteErrorReply(context, FormatLineReply(context.Line, message));
}

void CRemoteCommands::WriteErrorReply(const CommandContext& context, const std::u16string& text)
{
    if (!context.OriginPage) {
        WriteLine(context.Station, text, true);
        return;
    }
    host_.Log(true, NameOf(*context.OriginPage), text);
    context.OriginPage->AppendLogLine(true, text);
}

void CRemoteCommands::WriteLine(const std::u16string& station, const std::u16string& text, bool error)
{
    if (packetReplies_) {
        if (packetReplies_->left == 0) {
            ++packetReplies_->refused;
            return;
        }
        --packetReplies_->left;
    }
    if (error || station.empty()) host_.Log(error, {}, text);
    if (!station.empty()) SendGabOrReport(station, text);
}

void CRemoteCommands::SendGabOrReport(const std::u16string& station, const std::u16string& text)
{
    std::u16string error;
    if (!host_.SendGab(station, text, error) && !error.empty()) host_.ReportNetworkStatus(error);
}

void CRemoteCommands::NotifyStations(const std::u16string& text)
{
    const GeneralSettings& general = host_.General();
    if (!general.GabAlerts) return;
    std::vector<std::u16string> recipients = general.GabStations;
    for (const std::u16string& sender : senderStations_)
        if (!IsGabStation(sender)) recipients.push_back(sender);
    for (const std::u16string& station : recipients) {
        std::u16string error;
        if (host_.SendGab(station, text, error)) continue;
        if (!error.empty()) host_.ReportNetworkStatus(error);
        return; // the network fails: the others would fail the same way
    }
}

void CRemoteCommands::OnConnectionStateChanged(const CConnectionController& page)
{
    const int id = page.ConnectionId;
    if (auto announced = announcedFailures_.find(id); announced != announcedFailures_.end()) {
        // Back only once logged in; a node that closes before that leaves the failure as it was.
        if (page.State == kConnected && page.Established) {
            const bool byStartupReport = announced->second;
            announcedFailures_.erase(announced);
            NotifyStations(FormatText(LoadText(byStartupReport ? kIdsConnected : kIdsRestored), NameOf(page)));
        } else if (page.State == 0 && page.UserDisconnected) {
            announcedFailures_.erase(announced);
        }
    }
    AnswerStationRequest(page);
}

void CRemoteCommands::AnswerStationRequest(const CConnectionController& page)
{
    const auto request = stationRequests_.find(page.ConnectionId);
    if (request == stationRequests_.end()) return;
    unsigned answer = 0;
    if (page.State == kConnected && request->second.Connect) answer = kIdsConnected;
    if (page.State == 0 || (page.State == kError && !request->second.Connect)) answer = kIdsDisconnected;
    if (answer == 0) return;
    const std::u16string station = request->second.Station;
    stationRequests_.erase(request);
    WriteLine(station, FormatText(LoadText(answer), NameOf(page)), false);
}

void CRemoteCommands::OnConnectionError(const CConnectionController& page, const std::u16string& text)
{
    if (page.State != kError) return;
    const auto request = stationRequests_.find(page.ConnectionId);
    if (request == stationRequests_.end() || !request->second.Connect) return;
    const std::u16string station = request->second.Station;
    stationRequests_.erase(request);
    SendGabOrReport(station, FormatText(LoadText(kIdsConnectionFailed), NameOf(page), text));
}

void CRemoteCommands::OnConnectionLost(const CConnectionController& page, const std::u16string& reason, bool reconnecting)
{
    const std::u16string why = reason.empty() ? LoadText(kIdsNoAnswer) : reason;
    const std::u16string text = FormatText(LoadText(reconnecting ? kIdsLostReconnecting : kIdsLost), NameOf(page), why);
    announcedFailures_[page.ConnectionId] = false;
    NotifyStations(text);
}

void CRemoteCommands::ReportUnconnectedSinceStartup()
{
    for (int i = 0; i < host_.ConnectionCount(); ++i) {
        const CConnectionController* page = host_.ConnectionAt(i);
        // The flag goes once the page is established (logged in, where it logs in by itself) and with the
        // user's Disconnect: a page that keeps it never came up, whatever its state, disconnected included
        // (closed before its login with no automatic reconnection).
        if (!page || !page->StartupConnectPending) continue;
        const std::u16string why = page->LastFailureText.empty() ? LoadText(kIdsNoAnswer) : page->LastFailureText;
        announcedFailures_[page->ConnectionId] = true;
        NotifyStations(FormatText(LoadText(kIdsNotConnectedSinceStartup), NameOf(*page), why));
    }
}

void CRemoteCommands::ForgetConnection(int id)
{
    stationRequests_.erase(id);
    announcedFailures_.erase(id);
}

// ---- the tabs

CConnectionController* CRemoteCommands::ActivePage() const
{
    const int active = host_.ActiveTab();
    return active >= 0 && active < host_.ConnectionCount() ? host_.ConnectionAt(active) : nullptr;
}

int CRemoteCommands::IndexOf(const CConnectionController& page) const
{
    for (int i = 0; i < host_.ConnectionCount(); ++i)
        if (host_.ConnectionAt(i) == &page) return i;
    return -1;
}

} // namespace kv
