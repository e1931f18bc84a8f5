#include "connections/DxSummitWorker.h"

#include <process.h>

#include <cstring>
#include <utility>

#include "win/InternetHandle.h"

namespace kv {
namespace {

constexpr wchar_t kAgent[] = L"Mozilla/5.0 (compatible; Kestrivane/4.0)";
constexpr DWORD kNoInternetHandle = ERROR_INTERNET_OPERATION_CANCELLED; // 12017
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_PRAGMA_NOCACHE;

std::atomic<int> g_runningThreads{0};

class CExclusiveLock {
public:
    explicit CExclusiveLock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~CExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    CExclusiveLock(const CExclusiveLock&) = delete;
    CExclusiveLock& operator=(const CExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

} // namespace

CDxSummitWorker::CDxSummitWorker(HWND target, unsigned generation, std::u16string host, DWORD timeoutMs)
    : target_(target), generation_(generation), host_(std::move(host)), timeoutMs_(timeoutMs)
{
}

CDxSummitWorker::~CDxSummitWorker()
{
    // Only a worker that was never stopped still holds handles.
    if (connection_) ::InternetCloseHandle(connection_);
    if (internet_) ::InternetCloseHandle(internet_);
}

bool CDxSummitWorker::StartThread(const std::shared_ptr<CDxSummitWorker>& worker)
{
    auto* reference = new std::shared_ptr<CDxSummitWorker>(worker);
    ++g_runningThreads;
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &CDxSummitWorker::ThreadMain, reference, 0, nullptr);
    if (!thread) {
        delete reference;
        --g_runningThreads;
        return false;
    }
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

int CDxSummitWorker::RunningThreads() { return g_runningThreads.load(); }

unsigned __stdcall CDxSummitWorker::ThreadMain(void* argument)
{
    {
        auto* reference = static_cast<std::shared_ptr<CDxSummitWorker>*>(argument);
        const std::shared_ptr<CDxSummitWorker> worker = std::move(*reference);
        delete reference;
        worker->Run();
    }
    --g_runningThreads;
    return 0;
}

void CDxSummitWorker::PostRequest(const DxSummitRequest& request)
{
    {
        CExclusiveLock lock(lock_);
        if (stopped_) return;
        queue_.push_back(request);
    }
    ::WakeConditionVariable(&wake_);
}

void CDxSummitWorker::Stop()
{
    HINTERNET request, connection, internet;
    {
        CExclusiveLock lock(lock_);
        stopped_ = true;
        queue_.clear();
        request = std::exchange(request_, nullptr);
        connection = std::exchange(connection_, nullptr);
        internet = std::exchange(internet_, nullptr);
    }
    ::WakeAllConditionVariable(&wake_);
    // Closing the handles makes a request in progress on the thread fail at once; children first.
    if (request) ::InternetCloseHandle(request);
    if (connection) ::InternetCloseHandle(connection);
    if (internet) ::InternetCloseHandle(internet);
}

bool CDxSummitWorker::IsStopped()
{
    CExclusiveLock lock(lock_);
    return stopped_;
}

HINTERNET CDxSummitWorker::OpenInternet()
{
    HINTERNET internet = ::InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet) return nullptr;
    SetInternetDwordOption(internet, INTERNET_OPTION_HTTP_DECODING, TRUE);
    SetInternetDwordOption(internet, INTERNET_OPTION_CONNECT_TIMEOUT, timeoutMs_);
    SetInternetDwordOption(internet, INTERNET_OPTION_SEND_TIMEOUT, timeoutMs_);
    SetInternetDwordOption(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, timeoutMs_);
    ::InternetSetStatusCallbackW(internet, &CDxSummitWorker::StatusCallback);
    return internet;
}

void CDxSummitWorker::Run()
{
    HINTERNET internet = OpenInternet();
    const DWORD openError = internet ? 0 : ::GetLastError();
    {
        CExclusiveLock lock(lock_);
        if (!stopped_) {
            internet_ = internet;
            openError_ = openError;
            internet = nullptr;
        }
    }
    if (internet) { // stopped before it could be used
        ::InternetCloseHandle(internet);
        return;
    }
    for (;;) {
        DxSummitRequest request;
        ::AcquireSRWLockExclusive(&lock_);
        while (queue_.empty() && !stopped_) ::SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
        const bool stopped = stopped_;
        if (!stopped) {
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        ::ReleaseSRWLockExclusive(&lock_);
        if (stopped) return;
        auto record = std::make_unique<CDxSummitResultRecord>();
        record->result = PerformRequest(request);
        PostRecord(target_, WM_APP_DXSUMMIT_RESULT, 0, std::move(record));
    }
}

bool CDxSummitWorker::OpenRequest(const DxSummitRequest& request, HINTERNET& requestHandle, DWORD& error)
{
    CExclusiveLock lock(lock_);
    if (!internet_) {
        error = openError_ ? openError_ : kNoInternetHandle;
        return false;
    }
    // Neither call waits for the network: they are made under the lock so that Stop cannot close the
    // handles under them.
    if (!connection_) {
        connection_ = ::InternetConnectW(internet_, W(host_), INTERNET_DEFAULT_HTTPS_PORT, nullptr, nullptr,
                                         INTERNET_SERVICE_HTTP, 0, reinterpret_cast<DWORD_PTR>(this));
        if (!connection_) {
            error = ::GetLastError();
            return false;
        }
    }
    LPCWSTR acceptTypes[] = {L"application/json", L"*/*", nullptr};
    request_ = ::HttpOpenRequestW(connection_, request.isPost ? L"POST" : L"GET", W(request.path), nullptr,
                                  nullptr, acceptTypes, kRequestFlags, reinterpret_cast<DWORD_PTR>(this));
    if (!request_) {
        error = ::GetLastError();
        return false;
    }
    // Given to the request as well: not every WinINet passes the session's time-outs on to its requests.
    SetInternetDwordOption(request_, INTERNET_OPTION_SEND_TIMEOUT, timeoutMs_);
    SetInternetDwordOption(request_, INTERNET_OPTION_RECEIVE_TIMEOUT, timeoutMs_);
    requestHandle = request_;
    return true;
}

DxSummitResult CDxSummitWorker::PerformRequest(const DxSummitRequest& request)
{
    DxSummitResult result;
    result.generation = generation_;
    result.isPost = request.isPost;
    result.text = request.text;
    bytesReceived_ = 0;
    bytesSent_ = 0;

    HINTERNET handle = nullptr;
    DWORD error = 0;
    if (OpenRequest(request, handle, error)) {
        const wchar_t* headers = request.headers.empty() ? nullptr : W(request.headers);
        void* body = request.body.empty() ? nullptr : const_cast<char*>(request.body.data());
        if (::HttpSendRequestW(handle, headers, headers ? DWORD(-1) : 0, body, DWORD(request.body.size())))
            ReadAnswer(handle, result);
        else
            result.error = ::GetLastError();
        CloseRequest(handle);
    } else {
        result.error = error;
    }
    result.bytesReceived = bytesReceived_;
    result.bytesSent = bytesSent_;
    return result;
}

void CDxSummitWorker::ReadAnswer(HINTERNET handle, DxSummitResult& result)
{
    {
        CExclusiveLock lock(lock_);
        if (stopped_) {
            result.error = ERROR_INTERNET_OPERATION_CANCELLED;
            return;
        }
        DWORD status = 0, size = sizeof status;
        if (::HttpQueryInfoW(handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            result.status = status;
    }
    char piece[kReadPiece];
    while (!IsStopped()) {
        DWORD got = 0;
        if (!::InternetReadFile(handle, piece, sizeof piece, &got)) {
            result.error = ::GetLastError();
            return;
        }
        if (got == 0) return;
        result.body.append(piece, got);
        if (result.body.size() > kMaxBody) return;
    }
    result.error = ERROR_INTERNET_OPERATION_CANCELLED;
}

void CDxSummitWorker::CloseRequest(HINTERNET handle)
{
    CExclusiveLock lock(lock_);
    if (request_ != handle) return; // Stop took and closed it
    ::InternetCloseHandle(handle);
    request_ = nullptr;
}

void CALLBACK CDxSummitWorker::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information,
                                              DWORD length)
{
    if (!context || !information || length < sizeof(DWORD)) return;
    DWORD count = 0;
    std::memcpy(&count, information, sizeof count);
    auto* worker = reinterpret_cast<CDxSummitWorker*>(context);
    if (status == INTERNET_STATUS_RESPONSE_RECEIVED)
        worker->bytesReceived_ += count;
    else if (status == INTERNET_STATUS_REQUEST_SENT)
        worker->bytesSent_ += count;
}

} // namespace kv
