#pragma once
// The decisions of the DX Summit transport, apart from its window, thread and WinINet: when to read and how
// many spots, which spots are new, when a gap is re-read, which failures are retried, and which results
// still count (the generation). The platform side derives from it and supplies the hooks below.
#include <cstdint>
#include <string>
#include <vector>

#include "connections/CConnectionSettings.h"
#include "connections/DxSummitRequest.h"
#include "connections/DxSummitSpots.h"
#include "connections/IClusterTransport.h"

namespace kv {

class CDxSummitPoller : public IClusterTransport {
public:
    static constexpr unsigned kReadingTimer = 1;
    static constexpr int kFirstLimit = 100;
    static constexpr int kMaxLimit = 200;
    static constexpr int kMaxGapRetries = 3;
    static constexpr int kMaxRetriedFailures = 2;

    explicit CDxSummitPoller(ITransportListener* listener);

    bool Connect(const CConnectionSettings& settings, int commandDelayMs,
                 const std::vector<std::u16string>& globalCommands) override;
    void Disconnect() override;
    void ApplySettings(const CConnectionSettings& settings) override;
    bool SendLine(const std::u16string& line) override;
    bool AcceptsCommands() const override { return false; }
    bool CanSendLines() const override;

    // Timer 1 of the window.
    void OnTimer();
    // A result of the worker thread.
    void OnRequestDone(const DxSummitResult& result);

    uint64_t LastId() const { return lastId_; }
    int NextLimit() const { return nextLimit_; }

protected:
    // The platform. A window that does not exist yet is created; true when it exists.
    virtual bool CreateHiddenWindow() = 0;
    // Starts the worker and its thread for the service host; results carry the generation.
    virtual bool StartWorker(unsigned generation, const std::u16string& host) = 0;
    virtual bool HasWorker() const = 0;
    // Tells the worker to end: its queue emptied, its request in progress cancelled, no result counting.
    virtual void StopWorker() = 0;
    virtual void QueueRequest(const DxSummitRequest& request) = 0;
    virtual void StartReadingTimer(unsigned periodMs) = 0;
    virtual void StopReadingTimer() = 0;
    // Milliseconds since 1970-01-01 UTC.
    virtual uint64_t UtcMilliseconds() const = 0;

    // Stops the worker and the timer; later results are ignored. lastId and nextLimit stay.
    void Stop();

private:
    void RequestSpots(int limit);
    void ProcessSpots(const std::string& body);
    // True when the answer is dropped because a re-reading fills a gap.
    bool RereadForGap(uint64_t missing, size_t answered);
    void DeliverSpots(const std::vector<DxSummitSpot>& spots);
    void DeliverBlock(const std::string& block);
    void Fail(const std::u16string& reason);
    void LogMessage(bool isError, unsigned messageId);
    void LogMessage(bool isError, unsigned messageId, const std::u16string& argument);
    std::u16string LoginCall() const;
    // [Links] DxSummitHost, or the service's own host.
    static std::u16string ServiceHost();

    CConnectionSettings settings_;
    unsigned generation_;
    bool readingBusy_ = false;
    int gapRetries_ = 0;
    int lastRequestedLimit_ = 0;
    int failures_ = 0;
    uint64_t lastId_ = 0;
    int nextLimit_ = kFirstLimit;
};

} // namespace kv
