#pragma once
// The transport of a DX Summit connection: reads the newest spots of the web service over HTTPS at its
// interval and hands them to its page as "DX de" lines; typed spots are posted to the service. The blocking
// HTTPS work runs on the worker thread; results come back to a hidden window.
#include <memory>

#include "connections/DxSummitPoller.h"
#include "connections/DxSummitWorker.h"
#include "win/MessageOnlyWindow.h"

namespace kv {

class CDxSummitConnection : public CDxSummitPoller {
public:
    explicit CDxSummitConnection(ITransportListener* listener);
    // Stops the worker (its thread ends after its current request) and frees results still queued.
    ~CDxSummitConnection() override;

    // The time-outs of connecting, sending and receiving of the next worker's requests (tests shorten them).
    void SetRequestTimeoutMs(DWORD ms) { requestTimeoutMs_ = ms; }

protected:
    bool CreateHiddenWindow() override;
    bool StartWorker(unsigned generation, const std::u16string& host) override;
    bool HasWorker() const override { return worker_ != nullptr; }
    void StopWorker() override;
    void QueueRequest(const DxSummitRequest& request) override;
    void StartReadingTimer(unsigned periodMs) override;
    void StopReadingTimer() override;
    uint64_t UtcMilliseconds() const override;

private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    CMessageOnlyWindow window_;
    std::shared_ptr<CDxSummitWorker> worker_;
    DWORD requestTimeoutMs_ = CDxSummitWorker::kTimeoutMs;
};

} // namespace kv
