#include "connections/DxSummitPoller.h"

#include <algorithm>
#include <atomic>

#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "base/Utf.h"
#include "connections/DxSummitAnswer.h"
#include "connections/FormatInternetError.h"
#include "connections/LinkTable.h"

namespace kv {
namespace {

enum MessageId : unsigned {
    kConnectingTo = 339,
    kConnectedTo = 340,
    kDisconnected = 341,
    kServiceFailed = 386,
    kSpotPosted = 387,
    kSpotNotPosted = 388,
    kOnlySpots = 389,
    kNoLogin = 390,
    kSpotsMissed = 391,
    kNotAListOfSpots = 392,
    kReadingRetried = 394,
    kInvalidWebSpot = 544,
};

constexpr char16_t kSpotsPath[] = u"/api/v1/spots";

// Generations are unique in the process, so that a result can never pass for one of another connection.
unsigned NextGeneration()
{
    static std::atomic<unsigned> counter{0};
    return ++counter;
}

bool IsRetryable(const DxSummitResult& result)
{
    return result.error != 0 || result.status >= 500 || result.status == 408 || result.status == 429;
}

unsigned CutTo32Bits(uint64_t count) { return static_cast<unsigned>(count & 0xFFFFFFFFu); }

} // namespace

CDxSummitPoller::CDxSummitPoller(ITransportListener* listener)
    : IClusterTransport(listener), generation_(NextGeneration())
{
}

bool CDxSummitPoller::Connect(const CConnectionSettings& settings, int, const std::vector<std::u16string>&)
{
    if (IsActive() || !CreateHiddenWindow()) return false;
    Stop();
    settings_ = settings;
    SetState(TransportState::Connecting);
    const std::u16string host = ServiceHost();
    LogMessage(false, kConnectingTo, host);
    if (!StartWorker(generation_, host)) {
        Stop();
        SetState(TransportState::Error);
        LogMessage(true, kServiceFailed, u"unable to start the network thread");
        return false;
    }
    RequestSpots(lastId_ != 0 ? nextLimit_ : kFirstLimit);
    return true;
}

void CDxSummitPoller::Disconnect()
{
    if (!IsActive()) return;
    Stop();
    SetState(TransportState::Disconnected);
    LogMessage(false, kDisconnected);
}

void CDxSummitPoller::ApplySettings(const CConnectionSettings& settings)
{
    const bool intervalChanged = settings.DxSummitInterval != settings_.DxSummitInterval;
    settings_.DxSummitInterval = settings.DxSummitInterval;
    settings_.DxSummitAllSpots = settings.DxSummitAllSpots;
    settings_.Login = settings.Login;
    settings_.Name = settings.Name;
    if (intervalChanged && IsConnected()) {
        StopReadingTimer();
        StartReadingTimer(unsigned(settings_.DxSummitInterval) * 1000);
    }
}

bool CDxSummitPoller::CanSendLines() const { return !LoginCall().empty(); }

std::u16string CDxSummitPoller::ServiceHost() { return GetLink(u"DxSummitHost", kDefaultDxSummitHost); }

std::u16string CDxSummitPoller::LoginCall() const { return ToUpperAscii(Trim(settings_.Login)); }

void CDxSummitPoller::Stop()
{
    StopReadingTimer();
    if (HasWorker()) StopWorker();
    generation_ = NextGeneration();
    readingBusy_ = false;
    gapRetries_ = 0;
    failures_ = 0;
}

void CDxSummitPoller::OnTimer()
{
    if (IsConnected() && !readingBusy_) RequestSpots(nextLimit_);
}

void CDxSummitPoller::RequestSpots(int limit)
{
    if (!HasWorker()) return;
    limit = std::clamp(limit, 1, kMaxLimit);
    DxSummitRequest request;
    request.path = FormatText(u"%s?limit=%d&refresh=%llu", kSpotsPath, limit, UtcMilliseconds());
    lastRequestedLimit_ = limit;
    readingBusy_ = true;
    QueueRequest(request);
}

bool CDxSummitPoller::SendLine(const std::u16string& line)
{
    if (!IsConnected() || !HasWorker()) return false;
    std::string frequency, call, comment;
    if (!ParseSpotCommand(Utf16ToUtf8(line), frequency, call, comment)) {
        LogMessage(true, kOnlySpots);
        return false;
    }
    const std::u16string login = LoginCall();
    if (login.empty()) {
        LogMessage(true, kNoLogin);
        return false;
    }
    const std::u16string host = ServiceHost();
    DxSummitRequest request;
    request.isPost = true;
    request.path = kSpotsPath;
    request.body = BuildDxSummitSpotJson(Utf16ToUtf8(login), call, frequency, comment);
    request.headers = FormatText(u"Content-Type: application/json;charset=utf-8\r\nOrigin: https://%s\r\n"
                                 u"Referer: https://%s/\r\nCookie: callsign=%s\r\n",
                                 host, host, login);
    std::string text = call + " " + frequency;
    if (!comment.empty()) text += " " + comment;
    request.text = Utf8ToUtf16(text);
    QueueRequest(request);
    return true;
}

void CDxSummitPoller::OnRequestDone(const DxSummitResult& result)
{
    if (ITransportListener* listener = Listener())
        listener->OnTraffic(CutTo32Bits(result.bytesReceived), CutTo32Bits(result.bytesSent));
    if (result.generation != generation_ || !HasWorker()) return;

    std::u16string errorText;
    if (result.error != 0)
        errorText = FormatInternetError(result.error);
    else if (result.status < 200 || result.status > 299)
        errorText = FormatText(u"HTTP %lu", result.status);

    if (result.isPost) {
        if (errorText.empty())
            LogMessage(false, kSpotPosted, result.text);
        else
            LogMessage(true, kSpotNotPosted, FormatText(u"%s (%s)", result.text, errorText));
        return;
    }
    readingBusy_ = false;
    if (errorText.empty()) {
        failures_ = 0;
        ProcessSpots(result.body);
    } else if (IsConnected() && IsRetryable(result) && failures_ < kMaxRetriedFailures) {
        // The next tick of the timer reads again; only the first failure in a row is told.
        if (++failures_ == 1) LogMessage(false, kReadingRetried, errorText);
        gapRetries_ = 0;
    } else {
        Fail(errorText);
    }
}

void CDxSummitPoller::Fail(const std::u16string& reason)
{
    Stop();
    SetState(TransportState::Error);
    LogMessage(true, kServiceFailed, reason);
}

void CDxSummitPoller::ProcessSpots(const std::string& body)
{
    std::vector<DxSummitSpot> spots;
    if (!ParseDxSummitSpots(body, spots)) {
        Fail(LoadText(kNotAListOfSpots));
        return;
    }
    if (State() == TransportState::Connecting) {
        SetState(TransportState::Connected);
        LogMessage(false, kConnectedTo, ServiceHost());
        if (!IsConnected()) return; // stopped meanwhile: the answer is dropped
        StartReadingTimer(unsigned(settings_.DxSummitInterval) * 1000);
    }

    const bool first = lastId_ == 0;
    std::vector<DxSummitSpot> fresh;
    uint64_t maxId = lastId_;
    for (auto& spot : spots) {
        maxId = std::max(maxId, spot.id);
        if (first || spot.id > lastId_) fresh.push_back(std::move(spot));
    }
    const uint64_t missing = first ? 0 : maxId - lastId_;
    const bool gap = !first && !spots.empty() && fresh.size() == spots.size() && missing > spots.size();
    if (gap && RereadForGap(missing, spots.size())) return;

    gapRetries_ = 0;
    std::stable_sort(fresh.begin(), fresh.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    lastId_ = maxId;
    nextLimit_ = first ? 2 : int(std::min<size_t>(fresh.size() + 1, kMaxLimit));
    DeliverSpots(fresh);
}

bool CDxSummitPoller::RereadForGap(uint64_t missing, size_t answered)
{
    if (gapRetries_ < kMaxGapRetries && lastRequestedLimit_ < kMaxLimit) {
        ++gapRetries_;
        RequestSpots(missing > uint64_t(kMaxLimit) ? kMaxLimit : int(missing) + 10);
        return true;
    }
    LogMessage(true, kSpotsMissed, FormatText(u"%llu", missing - answered));
    return false;
}

void CDxSummitPoller::DeliverSpots(const std::vector<DxSummitSpot>& spots)
{
    std::string block;
    for (const auto& spot : spots) {
        SpotLineOutcome outcome = TurnSpotIntoLine(spot, settings_.DxSummitAllSpots);
        if (outcome.kind == SpotLineOutcome::Kind::Line) {
            block += outcome.line;
        } else if (outcome.kind == SpotLineOutcome::Kind::InvalidLine) {
            // What came before stays before the struck-out line.
            DeliverBlock(block);
            block.clear();
            ITransportListener* listener = Listener();
            if (listener && IsConnected())
                listener->OnInvalidLine(Utf8ToUtf16(outcome.line), LoadText(kInvalidWebSpot));
        }
    }
    DeliverBlock(block);
}

void CDxSummitPoller::DeliverBlock(const std::string& block)
{
    ITransportListener* listener = Listener();
    if (block.empty() || !IsConnected() || !listener) return;
    listener->OnRawDataReceived(block);
    if (IsConnected()) listener->OnTextReceived(Utf8ToUtf16(block));
}

void CDxSummitPoller::LogMessage(bool isError, unsigned messageId)
{
    if (ITransportListener* listener = Listener()) listener->OnLogMessage(isError, messageId, LoadText(messageId));
}

void CDxSummitPoller::LogMessage(bool isError, unsigned messageId, const std::u16string& argument)
{
    if (ITransportListener* listener = Listener())
        listener->OnLogMessage(isError, messageId, FormatText(LoadText(messageId), argument));
}

} // namespace kv
