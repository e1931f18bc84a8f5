#include "directory/NodeListUpdate.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "base/Format.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/FormatInternetError.h"
#include "connections/LinkTable.h"
#include "directory/ClusterNodeList.h"
#include "win/InternetHandle.h"

namespace kv {
namespace {

enum : unsigned {
    IDS_NODE_LIST_HTTP_STATUS = 4120,
    IDS_NODE_LIST_TOO_LARGE = 4121,
    IDS_NODE_LIST_NOT_A_LIST = 4122,
    IDS_NODE_LIST_CANNOT_WRITE = 4123,
    IDS_NODE_LIST_WRONG_LENGTH = 4125,
    IDS_NODE_LIST_ENDS_INSIDE_LINE = 4126,
};

constexpr wchar_t kAgent[] = L"Mozilla/5.0 (compatible; Kestrivane/4.0)";
constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kReadPiece = 16384;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                                INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr int64_t kSameTimeUnits = 20000000; // 2 s in units of 100 ns
// The list as it is, with its length: WinINet reads a connection that closed early as the end of a chunked
// or gzip-encoded body, so only a plain body's length shows that it came whole.
constexpr char16_t kAcceptPlainBody[] = u"Accept-Encoding: identity\r\n";

struct NodeListWindows {
    SRWLOCK lock = SRWLOCK_INIT;
    std::vector<HWND> windows;
};

NodeListWindows& Registry()
{
    static NodeListWindows registry;
    return registry;
}

std::atomic<bool> g_updateRunning{false};

constexpr char16_t kNodeListUrlKey[] = u"NodeListUrl";

std::u16string NodeListUrl() { return GetLink(kNodeListUrlKey, kDefaultNodeListUrl); }

// The path of the address with its query, as the GET asks for it: a download address often has one, and
// the HEAD of the bare path would ask about another resource. The fragment stays in the browser.
std::u16string RequestPath(const wchar_t* path, const wchar_t* extra)
{
    std::u16string requestPath = U16(path);
    const std::u16string query = U16(extra);
    requestPath += query.substr(0, query.find(u'#'));
    return requestPath;
}

DWORD StatusCode(HINTERNET request)
{
    DWORD status = 0, size = sizeof status;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

bool LastModified(HINTERNET request, SYSTEMTIME& time)
{
    DWORD size = sizeof time;
    return ::HttpQueryInfoW(request, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &time, &size,
                            nullptr) != FALSE;
}

bool LocalFileTime(const std::u16string& path, FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(W(path), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    time = data.ftLastWriteTime;
    return true;
}

// "If-Modified-Since: <RFC 1123 time>\r\n", or empty when the time cannot be written.
std::u16string IfModifiedSinceHeader(const FILETIME& time)
{
    SYSTEMTIME system;
    wchar_t text[INTERNET_RFC1123_BUFSIZE + 1];
    if (!::FileTimeToSystemTime(&time, &system) ||
        !::InternetTimeFromSystemTimeW(&system, INTERNET_RFC1123_FORMAT, text, sizeof text))
        return {};
    return u"If-Modified-Since: " + std::u16string(U16(text)) + u"\r\n";
}

bool ReadAllPieces(HINTERNET request, std::string& body, NodeListUpdateResult& result)
{
    std::unique_ptr<char[]> piece(new char[kReadPiece]);
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(request, piece.get(), kReadPiece, &got)) {
            result.Error = FormatInternetError(::GetLastError());
            return false;
        }
        if (got == 0) return true;
        body.append(piece.get(), got);
        if (body.size() > kMaxNodeListBytes) {
            result.Error = LoadText(IDS_NODE_LIST_TOO_LARGE);
            return false;
        }
    }
}

bool HasHeader(HINTERNET request, DWORD header)
{
    DWORD size = 0;
    return ::HttpQueryInfoW(request, header, nullptr, &size, nullptr) ||
           ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Whether WinINet may have decoded the body, which changes its length: its Content-Encoding names a coding
// other than "identity", the body as sent. One too long to read names more than that.
bool MayBeDecoded(HINTERNET request)
{
    wchar_t text[256];
    DWORD size = sizeof text;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_ENCODING, text, &size, nullptr))
        return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    for (const std::u16string& coding : Split(U16(text), u',')) {
        const std::u16string name = Trim(coding);
        if (!name.empty() && !EqualsIgnoreCaseAscii(name, u"identity")) return true;
    }
    return false;
}

// The Content-Length of a body that arrives as sent; none for a chunked or a decoded one (decoding changes
// its length), or when the server announced no number.
std::optional<uint64_t> AnnouncedLength(HINTERNET request)
{
    if (HasHeader(request, HTTP_QUERY_TRANSFER_ENCODING) || MayBeDecoded(request)) return std::nullopt;
    wchar_t text[32];
    DWORD size = sizeof text;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    return ParseInteger<uint64_t>(std::u16string_view(U16(text)));
}

// The body of a 200 answer; false (with the error) when a read failed, it is too large, or it cannot be
// whole: not as long as the server announced, or, with no length to check it by (chunked, encoded although
// asked plain, or just closed), ending inside a line. A connection that ended early reads as the end.
bool ReadBody(HINTERNET request, std::string& body, NodeListUpdateResult& result)
{
    if (!ReadAllPieces(request, body, result)) return false;
    if (const std::optional<uint64_t> announced = AnnouncedLength(request)) {
        if (*announced == body.size()) return true;
        result.Error = FormatText(LoadText(IDS_NODE_LIST_WRONG_LENGTH), *announced, uint64_t(body.size()));
        return false;
    }
    if (body.empty() || body.back() == '\n') return true; // an empty body is no list: the parse says so
    result.Error = LoadText(IDS_NODE_LIST_ENDS_INSIDE_LINE);
    return false;
}

bool WriteWholeFile(const std::u16string& path, const std::string& bytes, const FILETIME* lastWrite)
{
    const HANDLE file = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    if (ok && lastWrite) ::SetFileTime(file, nullptr, nullptr, lastWrite); // a failure leaves today's time
    // On the disk before it takes the list's place: a crash must not leave an empty list behind.
    ok = ok && ::FlushFileBuffers(file);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    ::SetLastError(error);
    return ok;
}

// Writes the body beside the list and moves it over the list in one step; the old list stays on failure.
bool ReplaceNodeListFile(const std::u16string& path, const std::string& body, const FILETIME* lastWrite,
                         NodeListUpdateResult& result)
{
    const std::u16string temporary = FormatText(u"%s.%lu.tmp", path, ::GetCurrentProcessId());
    if (WriteWholeFile(temporary, body, lastWrite) &&
        ::MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(W(temporary));
    result.Error = FormatText(LoadText(IDS_NODE_LIST_CANNOT_WRITE), path, error);
    return false;
}

void InstallNodeList(const std::u16string& path, HINTERNET request, NodeListUpdateResult& result)
{
    SYSTEMTIME serverTime;
    FILETIME lastWrite;
    const bool timeKnown = LastModified(request, serverTime) && ::SystemTimeToFileTime(&serverTime, &lastWrite);
    std::string body;
    const bool complete = ReadBody(request, body, result);
    result.Bytes = body.size();
    if (!complete) return;
    ClusterNodeList list;
    if (!list.Parse(body) || !list.IsCsv || list.Nodes.empty()) {
        result.Error = LoadText(IDS_NODE_LIST_NOT_A_LIST);
        return;
    }
    if (!ReplaceNodeListFile(path, body, timeKnown ? &lastWrite : nullptr, result)) return;
    result.Status = NodeListInstalled;
    result.Release = Utf8ToCString(list.Release);
    result.NodeCount = int32_t(list.Nodes.size());
}

void PostToRegisteredWindows(const NodeListUpdateResult& result)
{
    NodeListWindows& r = Registry();
    ::AcquireSRWLockShared(&r.lock);
    for (HWND window : r.windows)
        PostRecord(window, WM_APP_NODE_LIST_UPDATED, 0, std::make_unique<NodeListUpdateResult>(result));
    ::ReleaseSRWLockShared(&r.lock);
}

unsigned __stdcall NodeListUpdateThread(void* argument)
{
    const std::unique_ptr<std::u16string> folder(static_cast<std::u16string*>(argument));
    NodeListUpdateResult result;
    DownloadNodeList(*folder, result);
    g_updateRunning.exchange(false); // before the posts, so that a receiver may start the next one
    PostToRegisteredWindows(result);
    return 0;
}

} // namespace

void RegisterNodeListWindow(HWND window)
{
    NodeListWindows& r = Registry();
    ::AcquireSRWLockExclusive(&r.lock);
    if (std::find(r.windows.begin(), r.windows.end(), window) == r.windows.end()) r.windows.push_back(window);
    ::ReleaseSRWLockExclusive(&r.lock);
}

void UnregisterNodeListWindow(HWND window)
{
    NodeListWindows& r = Registry();
    ::AcquireSRWLockExclusive(&r.lock);
    r.windows.erase(std::remove(r.windows.begin(), r.windows.end(), window), r.windows.end());
    ::ReleaseSRWLockExclusive(&r.lock);
}

bool IsNodeListWindowRegistered(HWND window)
{
    NodeListWindows& r = Registry();
    ::AcquireSRWLockShared(&r.lock);
    const bool found = std::find(r.windows.begin(), r.windows.end(), window) != r.windows.end();
    ::ReleaseSRWLockShared(&r.lock);
    return found;
}

NodeListStart TryStartNodeListUpdate(const std::u16string& folder)
{
    bool idle = false;
    if (!g_updateRunning.compare_exchange_strong(idle, true)) return NodeListStart::AlreadyRunning;
    auto copy = std::make_unique<std::u16string>(folder);
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &NodeListUpdateThread, copy.get(), 0, nullptr);
    if (!thread) {
        g_updateRunning.store(false);
        return NodeListStart::Failed;
    }
    copy.release(); // the thread's now
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return NodeListStart::Started;
}

bool StartNodeListUpdate(const std::u16string& folder)
{
    return TryStartNodeListUpdate(folder) == NodeListStart::Started;
}

bool IsSameFileTime(const FILETIME& a, const FILETIME& b)
{
    const auto value = [](const FILETIME& t) {
        return int64_t((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    const int64_t difference = value(a) - value(b);
    return difference <= kSameTimeUnits && difference >= -kSameTimeUnits;
}

bool QueryNodeListLastModified(HINTERNET internet, FILETIME& lastModified)
{
    const std::u16string url = NodeListUrl();
    wchar_t host[257] = {};
    wchar_t path[1025] = {};
    wchar_t extra[1025] = {};
    URL_COMPONENTSW parts{sizeof parts};
    parts.lpszHostName = host;
    parts.dwHostNameLength = DWORD(std::size(host));
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = DWORD(std::size(path));
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = DWORD(std::size(extra));
    if (!::InternetCrackUrlW(W(url), 0, 0, &parts)) return false;
    const CInternetHandle connection(::InternetConnectW(internet, host, parts.nPort, nullptr, nullptr,
                                                        INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    const DWORD flags = kRequestFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    const CInternetHandle request(::HttpOpenRequestW(connection.Get(), L"HEAD", W(RequestPath(path, extra)),
                                                     nullptr, nullptr, nullptr, flags, 0));
    if (!request || !::HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) return false;
    SYSTEMTIME time;
    return StatusCode(request.Get()) == HTTP_STATUS_OK && LastModified(request.Get(), time) &&
           ::SystemTimeToFileTime(&time, &lastModified);
}

void DownloadNodeList(const std::u16string& folder, NodeListUpdateResult& result)
{
    if (IsLinkEmpty(kNodeListUrlKey)) { // switched off by the user: nothing to fetch, nothing failed
        result.Status = NodeListUpToDate;
        return;
    }
    const std::u16string path = folder + kNodeListFileName;
    const CInternetHandle internet(::InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        result.Error = FormatInternetError(::GetLastError());
        return;
    }
    SetInternetDwordOption(internet.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, kTimeoutMs);
    SetInternetDwordOption(internet.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kTimeoutMs);
    SetInternetDwordOption(internet.Get(), INTERNET_OPTION_HTTP_DECODING, TRUE);

    std::u16string headers = kAcceptPlainBody;
    FILETIME localTime;
    if (LocalFileTime(path, localTime)) {
        FILETIME serverTime;
        if (QueryNodeListLastModified(internet.Get(), serverTime)) {
            if (IsSameFileTime(localTime, serverTime)) {
                result.Status = NodeListUpToDate;
                return;
            }
        } else {
            headers += IfModifiedSinceHeader(localTime);
        }
    }
    const CInternetHandle request(::InternetOpenUrlW(internet.Get(), W(NodeListUrl()), W(headers), DWORD(-1),
                                                     kRequestFlags, 0));
    if (!request) {
        result.Error = FormatInternetError(::GetLastError());
        return;
    }
    const DWORD status = StatusCode(request.Get());
    if (status == HTTP_STATUS_NOT_MODIFIED)
        result.Status = NodeListUpToDate;
    else if (status == HTTP_STATUS_OK)
        InstallNodeList(path, request.Get(), result);
    else
        result.Error = FormatText(LoadText(IDS_NODE_LIST_HTTP_STATUS), status);
}

} // namespace kv
