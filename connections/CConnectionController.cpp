#include "connections/CConnectionController.h"

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/CTrafficLog.h"
#include "connections/CommandDialect.h"
#include "connections/ILoggerLink.h"
#include "connections/QuarnelCodec.h"
#include "connections/ReceivedLines.h"
#include "connections/SlashCommand.h"
#include "spots/CCtyTable.h"
#include "spots/CSentSpotCache.h"

namespace kv {

namespace {

constexpr unsigned kIdsConnecting = 339;
constexpr unsigned kIdsClosedByServer = 342;
constexpr unsigned kIdsHostNotFound = 343;
constexpr unsigned kIdsReconnectionIn = 358;
constexpr unsigned kIdsReconnectionFailed = 359;
constexpr unsigned kIdsReconnectionCancelled = 360;
constexpr unsigned kIdsReconnectingIn = 361;
constexpr unsigned kIdsNoReconnection = 363;
constexpr unsigned kIdsClusterSoftware = 364;
constexpr unsigned kIdsFromQuarnel = 462;
constexpr unsigned kIdsWrongOwnFilter = 498;

constexpr int kFirstRetryDelayS = 5;
constexpr int kLaterRetryDelayS = 30;
constexpr unsigned kTickMs = 1000;
constexpr size_t kMaxPromptLine = 256;

const std::u16string kSkimmerMarker16 = u"de SKIMMER";
constexpr std::string_view kSkimmerMarker = "de SKIMMER";
const std::u16string kNoPageCommand = u"SET/NOPAGE";

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to)
{
    for (size_t pos = text.find(from); pos != std::u16string::npos; pos = text.find(from, pos)) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

} // namespace

bool IsPasswordPromptLine(const std::u16string& prompt)
{
    std::u16string text = Trim(prompt);
    while (!text.empty() && text.back() == u'\u2022') text.pop_back();
    text = ToLowerAscii(TrimRight(text));
    while (text.find(u" :") != std::u16string::npos || text.find(u"\t:") != std::u16string::npos) {
        ReplaceAll(text, u" :", u":");
        ReplaceAll(text, u"\t:", u":");
    }
    return text.find(u"password:") != std::u16string::npos;
}

std::u16string FlattenTypedLine(const std::u16string& typed)
{
    std::u16string text = typed;
    ReplaceAll(text, u"\r\n", u" ");
    for (char16_t& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    return text;
}

CConnectionController::CConnectionController(IConnectionPageHost& host, const ConnectionPageEnvironment& environment,
                                             CConnectionPage* page)
    : host_(host), environment_(environment), page_(page)
{
}

CConnectionController::~CConnectionController() = default;

const GeneralSettings& CConnectionController::General() const
{
    static const GeneralSettings defaults;
    return environment_.General ? *environment_.General : defaults;
}

uint64_t CConnectionController::Now() const { return environment_.Clock ? environment_.Clock->TickCount() : 0; }

CSpotLineJudge CConnectionController::Judge() const
{
    return CSpotLineJudge(Settings, OwnFilter, environment_.FilterLevels, SoftwareId, CurrentCtyTable().get());
}

bool CConnectionController::FiltersApply() const { return Judge().FiltersApply(); }

bool CConnectionController::IsLoggerOpen() const { return environment_.Logger && environment_.Logger->IsOpen(); }

// With no login set the user logs in by hand, and when that is done cannot be told.
bool CConnectionController::LogsInByItself() const
{
    return Settings.Type != ConnectionDxSummit && !Settings.Login.empty();
}

bool CConnectionController::IsRadioFollowPage() const
{
    return Settings.Type == ConnectionCwSkimmer && Settings.CwSkimmer &&
           (Settings.CwSkimmerRadio == 1 || Settings.CwSkimmerRadio == 2) && !Settings.CwSkimmerStationName.empty();
}

// ---- reports to the view

void CConnectionController::ReportLog(bool isError, const std::u16string& text)
{
    if (Owner) Owner->OnConnectionLogMessage(page_, isError, text);
}

void CConnectionController::ReportStateChanged()
{
    if (Owner) Owner->OnConnectionStateChanged(page_);
}

void CConnectionController::ReportNetworkStatus(const std::u16string& error)
{
    if (Owner) Owner->OnNetworkStatus(error);
}

// ---- settings

void CConnectionController::ApplySettings(const CConnectionSettings& settings)
{
    if (settings.Type == Settings.Type) {
        const bool sameServer = Settings.Host.empty() ||
                                (EqualsIgnoreCaseAscii(settings.Host, Settings.Host) && settings.Port == Settings.Port);
        Transport->ApplySettings(settings);
        Settings = settings;
        CompileOwnFilter();
        if (!sameServer) {
            // The running connection stays; whether to reconnect is the view's question to the user.
            ConnectedSinceSettings = false;
            SoftwareId = Unknown;
        }
    } else {
        if (Transport->IsActive() || State == kStateWaitingToReconnect) Disconnect();
        ReplaceTransport(settings.Type);
        Settings = settings;
        CompileOwnFilter();
        ConnectedSinceSettings = false;
        SoftwareId = Unknown;
    }
    UpdateStatusText();
    if (host_.HasWindow()) StartRadioFollow();
}

void CConnectionController::ReplaceTransport(ConnectionType type)
{
    if (auto fresh = host_.MakeTransport(type, *this)) Transport = std::move(fresh);
}

void CConnectionController::CompileOwnFilter()
{
    std::u16string error;
    Settings.Filters.Compile(OwnFilter, Settings.Type != ConnectionCwSkimmer, error);
    if (!error.empty()) ReportLog(true, FormatText(LoadText(kIdsWrongOwnFilter), error));
}

// ---- connecting, disconnecting, reconnecting

void CConnectionController::Connect()
{
    if (State == int(TransportState::Connecting) || State == int(TransportState::Connected)) return;
    if (State == kStateWaitingToReconnect) {
        StopReconnectCountdown();
    }
    ReconnectAttempt = 0;
    StartupConnectPending = false;
    UserDisconnected = false;
    LastErrorId = 0;
    LastErrorText.clear();
    LastFailureText.clear();
    LostWhileConnected = false;
    StartTransport();
}

void CConnectionController::StartTransport()
{
    const GeneralSettings& general = General();
    if (Transport->Connect(Settings, general.CommandDelay, general.GlobalCommands) || Transport->IsActive()) return;
    if (State == kStateWaitingToReconnect) TakeTransportStateAfterFailedStart();
}

void CConnectionController::TakeTransportStateAfterFailedStart()
{
    // The transport could not even start and reported no change: without this the page would wait for
    // ever. It takes the transport's state, and the decision schedules the next attempt.
    State = int(Transport->State());
    ReportStateChanged();
    host_.PostTransportEnded();
}

void CConnectionController::Disconnect()
{
    StartupConnectPending = false;
    if (State == kStateWaitingToReconnect) {
        CancelReconnection();
        return;
    }
    UserDisconnected = true;
    ReconnectAttempt = 0;
    Transport->Disconnect();
}

void CConnectionController::CancelReconnection()
{
    StopReconnectCountdown();
    ReconnectAttempt = 0;
    UserDisconnected = true; // the stations' story of this connection ends here
    State = int(TransportState::Disconnected);
    ReportStateChanged();
    ReportLog(false, LoadText(kIdsReconnectionCancelled));
}

// No disconnect by the user: a page that never came up since start-up stays in the start-up report.
void CConnectionController::OnGeneralSettingsChanged()
{
    if (!General().AutoReconnect && State == kStateWaitingToReconnect) CancelReconnection();
}

void CConnectionController::StopReconnectCountdown()
{
    host_.StopTimer(kReconnectTimer);
    ReconnectCountdown = 0;
    UpdateStatusText();
}

void CConnectionController::ResetReconnection()
{
    ReconnectAttempt = 0;
    State = int(TransportState::Disconnected);
    StopReconnectCountdown();
}

void CConnectionController::OnStateChanged(int state)
{
    const int old = State;
    State = state;
    if (state == int(TransportState::Connected)) {
        ConnectedSinceSettings = true;
        LostWhileConnected = false;
        LastErrorText.clear();
        Established = false;
        if (!LogsInByItself()) BecomeEstablished(); // else the attempt succeeds with its login
        Greeting.Restart();
        PromptLine.clear();
        LoggedIn = false;
        NoPageSent = false;
        LastQsyFrequency = 0;
        StartRadioFollow();
    } else if (state == int(TransportState::Disconnected) || state == int(TransportState::Error)) {
        Greeting.Stop();
        FlushPendingForward(true);
        FlushPendingDisplay();
        LoggedIn = false;
        host_.StopTimer(kAnnounceTimer);
        // A connection that ends before its login completed is a failed attempt, not a lost connection.
        if (old == int(TransportState::Connected) && Established) LostWhileConnected = true;
        Established = false;
        host_.PostTransportEnded();
    }
    ReportStateChanged();
}

void CConnectionController::BecomeEstablished()
{
    Established = true;
    ReconnectAttempt = 0;
    StartupConnectPending = false; // up since start-up: not for the 120 s report
}

void CConnectionController::OnTransportEnded()
{
    if (State != int(TransportState::Disconnected) && State != int(TransportState::Error)) return;
    const bool lost = LostWhileConnected;
    const bool user = UserDisconnected;
    UserDisconnected = false;
    const bool notify = lost && !user;
    LostWhileConnected = false;

    if (user || !General().AutoReconnect) {
        ReconnectAttempt = 0;
        if (notify && Owner) Owner->OnConnectionLost(page_, LastErrorText, false);
        return;
    }
    if (LastErrorId == kIdsHostNotFound && !ConnectedSinceSettings && host_.IsInternetReachable()) {
        // A wrong host name does not heal by itself.
        ReportLog(false, LoadText(kIdsNoReconnection));
        ReconnectAttempt = 0;
        return;
    }
    ReconnectCountdown = ReconnectAttempt == 0 ? kFirstRetryDelayS : kLaterRetryDelayS;
    if (ReconnectAttempt == 0)
        ReportLog(false, FormatText(LoadText(kIdsReconnectionIn), kFirstRetryDelayS, kLaterRetryDelayS));
    State = kStateWaitingToReconnect;
    host_.StartTimer(kReconnectTimer, kTickMs);
    UpdateStatusText();
    ReportStateChanged();
    if (notify && Owner) Owner->OnConnectionLost(page_, LastErrorText, true);
}

void CConnectionController::OnTimer(unsigned id)
{
    switch (id) {
    case kReconnectTimer: OnReconnectTick(); break;
    case kForwardTimer: FlushPendingForward(false); break;
    case kAnnounceTimer: AnnounceSkimmerClient(); break;
    case kDisplayTimer: FlushPendingDisplay(); break;
    default: break;
    }
}

void CConnectionController::OnReconnectTick()
{
    if (State != kStateWaitingToReconnect) {
        StopReconnectCountdown();
        return;
    }
    if (ReconnectCountdown-- > 1) {
        UpdateStatusText();
        return;
    }
    StopReconnectCountdown();
    ++ReconnectAttempt;
    UserDisconnected = false;
    LastErrorId = 0;
    LastErrorText.clear();
    LostWhileConnected = false;
    StartTransport();
}

void CConnectionController::UpdateStatusText()
{
    std::u16string text = Settings.GetServerText();
    if (State == kStateWaitingToReconnect && ReconnectCountdown > 0)
        text = FormatText(LoadText(kIdsReconnectingIn), text, ReconnectCountdown);
    const std::u16string url = GetSoftwareDocUrl(SoftwareId);
    if (!url.empty())
        text = FormatText(u"<a href=\"%s\">%s</a> \u2013 ", url, GetClusterSoftwareName(SoftwareId)) + text;
    host_.SetStatusText(text);
}

// ---- what the transport tells

void CConnectionController::OnLogMessage(bool isError, unsigned messageId, const std::u16string& text)
{
    if (messageId == kIdsLinesRefused) {
        ReportLog(isError, text); // the connection stays: neither why it failed nor a failed attempt
        return;
    }
    if (isError) {
        LastErrorId = messageId;
        LastErrorText = text;
        LastFailureText = text;
    } else if (messageId == kIdsClosedByServer) {
        LastErrorText = text;
        LastFailureText = text;
    }
    if (ReconnectAttempt > 0) {
        if (messageId == kIdsConnecting) return;
        if (isError) {
            ReportLog(true, FormatText(LoadText(kIdsReconnectionFailed), ReconnectAttempt, text));
            return;
        }
    }
    ReportLog(isError, text);
}

void CConnectionController::OnTraffic(unsigned bytesReceived, unsigned bytesSent)
{
    if (!environment_.Traffic || !IsTrafficLogOn() || (bytesReceived == 0 && bytesSent == 0)) return;
    TrafficCounters& counters = environment_.Traffic->GetCounters(Settings.Name);
    counters.Received += bytesReceived;
    counters.Sent += bytesSent;
}

void CConnectionController::OnLoggedIn()
{
    LoggedIn = true;
    if (!Established && State == int(TransportState::Connected)) {
        BecomeEstablished();
        ReportStateChanged();
    }
    SendSkimmerQsy();
    SendNoPageIfNeeded();
}

void CConnectionController::OnLinesTakenAgain() { SendNoPageIfNeeded(); }

void CConnectionController::OnInvalidLine(const std::u16string& line, const std::u16string& reason)
{
    FlushPendingDisplay();
    host_.AddText(line, reason, LineRejected);
}

void CConnectionController::OnLineSent(const std::u16string& line)
{
    FlushPendingDisplay();
    host_.AppendText(line + u"\n", LineSent);
}

// ---- cluster software

void CConnectionController::SetClusterSoftware(ClusterSoftwareId id)
{
    if (id == SoftwareId) return;
    SoftwareId = id;
    UpdateStatusText();
    if (id != Unknown) ReportLog(false, FormatText(LoadText(kIdsClusterSoftware), GetClusterSoftwareName(id)));
}

void CConnectionController::SendNoPageIfNeeded()
{
    if (SoftwareId != DxNet || !LoggedIn || NoPageSent || !Transport->IsConnected()) return;
    // Refused by a node that does not read, it goes when the node reads again, before the next start-up command.
    if (!Transport->SendLine(kNoPageCommand)) return;
    NoPageSent = true;
    FlushPendingDisplay();
    host_.AppendText(kNoPageCommand + u"\n", LineSent);
}

// ---- radio follow

void CConnectionController::StartRadioFollow()
{
    host_.StopTimer(kAnnounceTimer);
    if (!IsRadioFollowPage()) {
        FlushPendingDisplay(); // text held back while this page followed a radio
        return;
    }
    if (!Transport->IsConnected()) return;
    RadioFrequency = 0;
    LastQsyFrequency = 0;
    AnnounceSkimmerClient();
    host_.StartTimer(kAnnounceTimer, kAnnouncePeriodMs);
}

void CConnectionController::AnnounceSkimmerClient()
{
    if (!IsRadioFollowPage() || !Transport->IsConnected() || !IsLoggerOpen()) return;
    std::u16string error;
    if (!environment_.Logger->SendSkimmerClient(Settings.CwSkimmerStationName, Settings.CwSkimmerRadio - 1, error) &&
        !error.empty())
        ReportNetworkStatus(error);
}

void CConnectionController::SendSkimmerQsy()
{
    if (!IsRadioFollowPage() || !LoggedIn || !Transport->IsConnected()) return;
    if (RadioFrequency == 0 || RadioFrequency == LastQsyFrequency) return;
    const std::u16string line = FormatText(u"SKIMMER/QSY %lu.%lu", static_cast<unsigned long>(RadioFrequency / 10),
                                           static_cast<unsigned long>(RadioFrequency % 10));
    if (Transport->SendLine(line)) LastQsyFrequency = RadioFrequency;
}

// ---- lines typed and lines of the view

SendLineOutcome CConnectionController::OnSendLine(const std::u16string& typed)
{
    SendLineOutcome outcome;
    outcome.text = FlattenTypedLine(typed);
    const bool connected = Transport->IsConnected();
    const bool password = connected && IsPasswordPromptLine(PromptLine);
    if (!password && ParseSlashCommand(outcome.text).Code != SlashNone) {
        if (Owner) Owner->OnCommandLine(page_, outcome.text);
        outcome.clear = true;
        outcome.addToHistory = true;
        return outcome;
    }
    if (!connected) return outcome; // kept in the send line until the connection is back
    // A line refused for a lasting cause (a node that does not read) stays in the send line; the transport tells
    // the first it refuses, one typed after is told too. Other refusals are answered by the transport itself.
    const bool refusing = !Transport->SendRefusal().empty();
    if (!Transport->SendLine(outcome.text) && !Transport->SendRefusal().empty()) {
        if (refusing) ReportLog(true, Transport->SendRefusal());
        return outcome; // kept until the node reads
    }
    PromptLine.clear();
    FlushPendingDisplay();
    const std::u16string echo = password && !outcome.text.empty() ? u"********" : outcome.text;
    host_.AppendText(echo + u"\n", LineSent);
    host_.ScrollPaneToEnd();
    outcome.clear = true;
    outcome.addToHistory = !password && !outcome.text.empty();
    return outcome;
}

bool CConnectionController::ProcessOutgoingLine(const std::u16string& text, bool translate)
{
    if (!Transport->IsConnected()) return false;
    std::u16string line = text;
    bool adapted = false;
    if (translate && General().TranslateCommands) {
        std::string rewritten;
        if (AdaptShowCommand(Utf16ToLatin1(text), GetCommandDialect(SoftwareId), rewritten)) {
            line = Latin1ToUtf16(rewritten);
            adapted = true;
        }
    }
    if (!Transport->SendLine(line)) return false; // refused: not shown as sent, the view answers the station
    FlushPendingDisplay();
    if (adapted) {
        host_.AppendText(line, LineSent);
        host_.AppendText(FormatText(LoadText(kIdsFromQuarnel), text) + u"\n", LineNotice);
    } else {
        host_.AppendText(line + u"\n", LineSent);
    }
    return true;
}

void CConnectionController::AppendLogLine(bool isError, const std::u16string& text)
{
    if (!host_.PaneExists()) return;
    FlushPendingDisplay(); // a waiting prompt stays before the notice
    std::u16string block = host_.PaneEndsInPartialLine() ? u"\n" : u"";
    block += text;
    block += u'\n';
    host_.AppendText(block, isError ? LineError : LineNotice);
}

// ---- forwarding road

void CConnectionController::OnRawDataReceived(const std::string& bytes)
{
    if (Settings.NoSendToQuarnel || !IsLoggerOpen()) return;
    PendingForward += bytes;
    std::string block = TakeCompleteLines(PendingForward);
    if (!block.empty()) ForwardBlock(std::move(block), true);
    if (PendingForward.size() > kPendingLimit)
        FlushPendingForward(false); // a stream without line ends
    else if (!PendingForward.empty())
        host_.StartTimer(kForwardTimer, kForwardDelayMs);
    else
        host_.StopTimer(kForwardTimer);
}

void CConnectionController::FlushPendingForward(bool final)
{
    host_.StopTimer(kForwardTimer);
    if (PendingForward.empty()) return;
    std::string taken = std::move(PendingForward);
    PendingForward.clear();
    if (!final && taken.back() == '\r') {
        // Its line feed may follow in the next chunk.
        taken.pop_back();
        PendingForward.push_back('\r');
    }
    if (!taken.empty()) ForwardBlock(std::move(taken), false);
}

void CConnectionController::ForwardBlock(std::string block, bool checkAlreadySent)
{
    block = RemoveCarriageReturns(block);
    if (IsRadioFollowPage()) block = DropLinesContaining(block, kSkimmerMarker);
    const CSpotLineJudge judge = Judge();
    if (judge.FiltersApply()) {
        std::string kept;
        for (std::string_view line : SplitKeepingLineEnds(std::string_view(block)))
            if (!judge.IsRejected(DecodeLineForFilters(line), nullptr)) kept += line;
        block = std::move(kept);
    }
    if (checkAlreadySent) DropAlreadySentLines(block);
    if (!block.empty()) SendLinesToQuarnel(block);
}

void CConnectionController::DropAlreadySentLines(std::string& block)
{
    if (!General().SendSpotsOnce || !environment_.SentSpots) return;
    const std::string connection = Utf16ToUtf8(Settings.Name);
    std::string kept;
    std::vector<std::string_view> forwarded;
    for (std::string_view line : SplitKeepingLineEnds(std::string_view(block))) {
        std::string by, at;
        if (environment_.SentSpots->CheckAndRecord(std::string(line), connection, &by, &at)) {
            WithheldSpots.Record(DecodeLineForFilters(line), by, at, Now(), forwarded);
        } else {
            kept += line;
            forwarded.push_back(line);
        }
    }
    block = std::move(kept);
}

void CConnectionController::SendLinesToQuarnel(const std::string& block)
{
    for (const std::string& group : GroupLinesForPackets(block)) {
        std::u16string error;
        if (!environment_.Logger->SendReceivedSpot(group, error) && !error.empty()) ReportNetworkStatus(error);
    }
}

// ---- display road

void CConnectionController::OnTextReceived(const std::u16string& text)
{
    if (auto id = Greeting.ScanGreeting(text, SoftwareId)) {
        SetClusterSoftware(*id);
        SendNoPageIfNeeded();
    }
    if (auto id = Greeting.RefineArCluster(text)) SetClusterSoftware(*id);

    const size_t lastLineEnd = text.rfind(u'\n');
    if (lastLineEnd != std::u16string::npos)
        PromptLine = text.substr(lastLineEnd + 1);
    else
        PromptLine += text;
    if (PromptLine.size() > kMaxPromptLine) PromptLine.erase(0, PromptLine.size() - kMaxPromptLine);

    if (!IsRadioFollowPage() && !FiltersApply() && WithheldSpots.Empty() && PendingDisplay.empty()) {
        host_.AppendText(text, LineReceived); // nothing to judge: shown at once, prompt included
        return;
    }
    PendingDisplay += text;
    const std::u16string lines = TakeCompleteLines(PendingDisplay);
    if (!lines.empty()) ShowLines(lines);
    if (PendingDisplay.size() > kPendingLimit)
        FlushPendingDisplay(); // a stream without line ends
    else if (!PendingDisplay.empty())
        host_.StartTimer(kDisplayTimer, kDisplayDelayMs);
    else
        host_.StopTimer(kDisplayTimer);
}

void CConnectionController::ShowLines(const std::u16string& lines)
{
    const bool filtersApply = FiltersApply();
    const bool follow = IsRadioFollowPage();
    std::u16string plain;
    for (std::u16string_view line : SplitKeepingLineEnds(std::u16string_view(lines))) {
        if (follow && line.find(kSkimmerMarker16) != std::u16string_view::npos) continue;
        std::u16string reason;
        const int kind = ClassifyLine(std::u16string(line), filtersApply, reason);
        if (kind == LineReceived) {
            plain += line;
            continue;
        }
        if (!plain.empty()) host_.AppendText(plain, LineReceived);
        plain.clear();
        host_.AddText(std::u16string(line), reason, kind);
    }
    if (!plain.empty()) host_.AppendText(plain, LineReceived);
}

void CConnectionController::FlushPendingDisplay()
{
    host_.StopTimer(kDisplayTimer);
    if (PendingDisplay.empty()) return;
    std::u16string text = std::move(PendingDisplay);
    PendingDisplay.clear();
    if (IsRadioFollowPage() && text.find(kSkimmerMarker16) != std::u16string::npos) return;
    std::u16string reason;
    const int kind = ClassifyLine(text, FiltersApply(), reason);
    if (kind == LineReceived)
        host_.AppendText(text, LineReceived);
    else
        host_.AddText(text, reason, kind);
}

int CConnectionController::ClassifyLine(const std::u16string& line, bool filtersApply, std::u16string& reason)
{
    const std::string utf8 = Utf16ToUtf8(line);
    if (filtersApply && Judge().IsRejected(utf8, &reason)) return LineRejected;
    if (WithheldSpots.TakeReason(utf8, Now(), reason)) return LineDuplicate;
    return LineReceived;
}

} // namespace kv
