#pragma once
// The worker thread of one connected DX Summit connection: it performs the queued HTTPS requests with
// WinINet, one at a time, and posts each result to the connection's window. The connection and the thread
// share the worker; the connection stops it, the thread ends after its current request.
#include "win/Win32.h"

#include <wininet.h>

#include <atomic>
#include <deque>
#include <memory>
#include <string>

#include "connections/DxSummitRequest.h"
#include "win/PostedRecord.h"

namespace kv {

constexpr UINT WM_APP_DXSUMMIT_RESULT = WM_APP + 0x17;

struct CDxSummitResultRecord : CPostedRecord {
    DxSummitResult result;
};

class CDxSummitWorker {
public:
    static constexpr DWORD kTimeoutMs = 20000;
    static constexpr size_t kReadPiece = 8192;
    static constexpr size_t kMaxBody = 4194304;

    CDxSummitWorker(HWND target, unsigned generation, std::u16string host, DWORD timeoutMs = kTimeoutMs);
    ~CDxSummitWorker();
    CDxSummitWorker(const CDxSummitWorker&) = delete;
    CDxSummitWorker& operator=(const CDxSummitWorker&) = delete;

    // Starts the thread with its own reference to the worker; false when it cannot start.
    static bool StartThread(const std::shared_ptr<CDxSummitWorker>& worker);
    // Threads of all workers still running (they end after their current request once stopped).
    static int RunningThreads();

    // Queues a copy; dropped once the worker is stopped.
    void PostRequest(const DxSummitRequest& request);
    // Empties the queue, cancels the request in progress and lets the thread end. Called once, by the owner.
    void Stop();

    void Run();
    DxSummitResult PerformRequest(const DxSummitRequest& request);

private:
    static unsigned __stdcall ThreadMain(void* argument);
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information,
                                        DWORD length);
    HINTERNET OpenInternet();
    // Under the lock: false once stopped, so that no handle is touched after a stop.
    bool OpenRequest(const DxSummitRequest& request, HINTERNET& requestHandle, DWORD& error);
    bool IsStopped();
    void ReadAnswer(HINTERNET requestHandle, DxSummitResult& result);
    void CloseRequest(HINTERNET requestHandle);

    const HWND target_;
    const unsigned generation_;
    const std::u16string host_;
    const DWORD timeoutMs_; // of connecting, sending and receiving

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    // Guarded by lock_.
    std::deque<DxSummitRequest> queue_;
    bool stopped_ = false;
    HINTERNET internet_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr; // the request in progress, closed by Stop to cancel it
    DWORD openError_ = 0;

    // Changed by WinINet's status callback, on its threads.
    std::atomic<uint64_t> bytesReceived_{0};
    std::atomic<uint64_t> bytesSent_{0};
};

} // namespace kv
