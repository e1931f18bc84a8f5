#include "connections/DxSummitConnection.h"

namespace kv {

CDxSummitConnection::CDxSummitConnection(ITransportListener* listener) : CDxSummitPoller(listener) {}

CDxSummitConnection::~CDxSummitConnection()
{
    Stop();
    window_.Destroy();
}

bool CDxSummitConnection::CreateHiddenWindow()
{
    if (window_.IsWindow()) return true;
    const bool created = window_.Create([this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        return OnMessage(message, wParam, lParam);
    });
    if (!created) return false;
    window_.SetText(u"Kestrivane DX Summit");
    window_.AcceptRecords(WM_APP_DXSUMMIT_RESULT);
    return true;
}

bool CDxSummitConnection::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kReadingTimer) {
        OnTimer();
        return true;
    }
    if (message == WM_APP_DXSUMMIT_RESULT) {
        const auto record = TakeRecord<CDxSummitResultRecord>(lParam);
        OnRequestDone(record->result);
        return true;
    }
    return false;
}

bool CDxSummitConnection::StartWorker(unsigned generation, const std::u16string& host)
{
    auto worker = std::make_shared<CDxSummitWorker>(window_.Handle(), generation, host, requestTimeoutMs_);
    if (!CDxSummitWorker::StartThread(worker)) return false;
    worker_ = std::move(worker);
    return true;
}

void CDxSummitConnection::StopWorker()
{
    worker_->Stop();
    worker_.reset();
}

void CDxSummitConnection::QueueRequest(const DxSummitRequest& request)
{
    if (worker_) worker_->PostRequest(request);
}

void CDxSummitConnection::StartReadingTimer(unsigned periodMs) { window_.SetTimer(kReadingTimer, periodMs); }

void CDxSummitConnection::StopReadingTimer()
{
    if (window_.IsWindow()) window_.KillTimer(kReadingTimer);
}

uint64_t CDxSummitConnection::UtcMilliseconds() const
{
    constexpr uint64_t kUnixEpochIn100ns = 116444736000000000ULL;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kUnixEpochIn100ns) / 10000;
}

} // namespace kv
