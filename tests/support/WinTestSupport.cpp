#include "tests/support/WinTestSupport.h"

#include <gdiplus.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "base/Format.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/Utf.h"
#include "tests/support/TestPaths.h"

namespace kv::test {
namespace {

void DeleteTree(const std::u16string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(W(path + u"\\*"), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::u16string name = U16(found.cFileName);
            if (name == u"." || name == u"..") continue;
            const std::u16string child = path + u"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                ::SetFileAttributesW(W(child), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(W(child));
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(W(path));
}

std::u16string Dirname(const std::u16string& path)
{
    const size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

void CreateFolders(const std::u16string& path)
{
    if (path.empty() || ::GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES) return;
    CreateFolders(Dirname(path));
    ::CreateDirectoryW(W(path), nullptr);
}

bool PngEncoder(CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::u16string(U(codecs[i].MimeType)) == u"image/png") {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SaveBitmapAsPng(HBITMAP bitmap, const std::u16string& path)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        CLSID png;
        ok = PngEncoder(png) && image.Save(W(path), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

} // namespace

CTempDir::CTempDir()
{
    static std::atomic<unsigned> counter{0};
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    for (;;) {
        path_ = U16(base) + u"kv-test-" + AsciiToU16(FormatInteger(::GetCurrentProcessId())) + u"-" +
                AsciiToU16(FormatInteger(counter++));
        if (::CreateDirectoryW(W(path_), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

CTempDir::~CTempDir() { DeleteTree(path_); }

bool WriteFileBytes(const std::u16string& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string ReadFileBytes(const std::u16string& path)
{
    HANDLE file = ::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
    }
}

void PumpFor(unsigned ms)
{
    PumpUntil([] { return false; }, ms);
}

void SendKeys(const std::vector<std::pair<WORD, bool>>& keys)
{
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

// One mouse event that moves the cursor to a point of the primary screen, with the buttons' flags.
void MouseAt(DWORD buttons, POINT at)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = ::MulDiv(at.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = ::MulDiv(at.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    ::SendInput(1, &input, sizeof input);
}

} // namespace

void ClickAt(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    PressAndRelease(screen, screen);
}

// Each press and release moves the cursor in the same event: a cursor set by SetCursorPos just before can lose
// the race with Wine's own report of an earlier position.
void PressAndRelease(POINT press, POINT release)
{
    MouseAt(MOUSEEVENTF_LEFTDOWN, press);
    MouseAt(MOUSEEVENTF_LEFTUP, release);
}

void DragWith(POINT from, POINT to, int steps)
{
    MouseAt(MOUSEEVENTF_LEFTDOWN, from);
    PumpFor(50);
    for (int i = 1; i <= steps; ++i) {
        MouseAt(0, POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        PumpFor(20);
    }
    MouseAt(MOUSEEVENTF_LEFTUP, to);
}

size_t HeapBytesInUse()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(std::min<size_t>(heaps.size(), ::GetProcessHeaps(DWORD(heaps.size()), heaps.data())));
    size_t bytes = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        ::HeapUnlock(heap);
    }
    return bytes;
}

std::u16string WineStateDir()
{
    const char* state = std::getenv("KV_WINE_STATE");
    if (!state || !*state) return {};
    std::u16string path = u"Z:" + Utf8ToUtf16(state);
    for (auto& c : path)
        if (c == u'/') c = u'\\';
    return path;
}

std::string DrawnFont(HWND window)
{
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font) font = ::GetStockObject(SYSTEM_FONT);
    LOGFONTW lf{};
    if (::GetObjectW(font, sizeof lf, &lf) != int(sizeof lf)) return "no font";
    return Utf16ToUtf8(U16(lf.lfFaceName)) + " " + std::to_string(lf.lfHeight) + " " + std::to_string(lf.lfWeight);
}

namespace {

// The screen's pixels in a rectangle, as a bitmap of the screen's format; null when the rectangle is empty.
HBITMAP CaptureScreen(const RECT& r)
{
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    if (cx <= 0 || cy <= 0) return nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

RECT ScreenRectOf(HWND window)
{
    RECT r{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window) ::GetWindowRect(window, &r);
    return r;
}

} // namespace

CScreenPixels::CScreenPixels(HWND window) : rect_(ScreenRectOf(window))
{
    HBITMAP bitmap = CaptureScreen(rect_);
    if (!bitmap) return;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width(), -Height(), 1, 32, BI_RGB};
    pixels_.resize(size_t(Width()) * size_t(Height()));
    HDC screen = ::GetDC(nullptr);
    if (!::GetDIBits(screen, bitmap, 0, UINT(Height()), pixels_.data(), &info, DIB_RGB_COLORS)) pixels_.clear();
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
}

COLORREF CScreenPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || pixels_.empty()) return CLR_INVALID;
    const uint32_t bgr = pixels_[size_t(y) * size_t(Width()) + size_t(x)];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

std::u16string SaveScreenshot(HWND window, const std::u16string& name)
{
    HBITMAP bitmap = CaptureScreen(ScreenRectOf(window));
    if (!bitmap) return {};
    std::u16string folder = Utf8ToUtf16(BuildPath("screenshots"));
    for (auto& c : folder)
        if (c == u'/') c = u'\\';
    CreateFolders(folder);
    const std::u16string path = folder + u"\\" + name + u".png";
    const bool ok = SaveBitmapAsPng(bitmap, path);
    ::DeleteObject(bitmap);
    return ok ? path : std::u16string();
}

std::vector<std::string> PeerControl(const std::string& line)
{
    std::vector<std::string> reply;
    const std::string portText = Trim(ReadFileBytes(WineStateDir() + u"\\peerd.port"));
    const auto port = ParseInteger<uint16_t>(std::string_view(portText));
    if (!port) return {"ERR no peer daemon (is the wine fixture running?)"};
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(*port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::closesocket(s);
        ::WSACleanup();
        return {"ERR cannot reach the peer daemon"};
    }
    const std::string request = line + "\n";
    ::send(s, request.data(), int(request.size()), 0);
    ::shutdown(s, SD_SEND);
    std::string text;
    char buf[8192];
    int got;
    while ((got = ::recv(s, buf, sizeof buf, 0)) > 0) text.append(buf, size_t(got));
    ::closesocket(s);
    ::WSACleanup();
    for (auto& piece : Split(text, '\n'))
        if (!piece.empty()) reply.push_back(piece);
    return reply;
}

CTestPeer::CTestPeer(const std::string& kind, const std::string& scenario, const std::string& params)
{
    const auto reply = PeerControl("START " + kind + " " + scenario + (params.empty() ? "" : " " + params));
    if (reply.empty() || reply[0].rfind("OK ", 0) != 0) {
        error_ = reply.empty() ? "no reply" : reply[0];
        return;
    }
    const auto words = Split(std::string_view(reply[0]), ' ');
    if (words.size() >= 3) {
        id_ = ParseInteger<int>(std::string_view(words[1])).value_or(0);
        port_ = ParseInteger<uint16_t>(std::string_view(words[2])).value_or(0);
    }
}

CTestPeer::~CTestPeer()
{
    if (id_) PeerControl("STOP " + std::to_string(id_));
}

std::vector<PeerEvent> CTestPeer::Log() const
{
    std::vector<PeerEvent> events;
    const auto reply = PeerControl("LOG " + std::to_string(id_));
    for (size_t i = 1; i < reply.size(); ++i) {
        const auto fields = Split(std::string_view(reply[i]), '\t');
        if (fields.size() < 3) continue;
        PeerEvent e;
        e.ms = ParseInteger<unsigned>(std::string_view(fields[0])).value_or(0);
        e.event = fields[1];
        for (size_t k = 0; k + 1 < fields[2].size(); k += 2)
            e.data.push_back(char(ParseInteger<unsigned>(std::string_view(fields[2]).substr(k, 2), 16).value_or(0)));
        events.push_back(std::move(e));
    }
    return events;
}

std::string CTestPeer::Info() const
{
    const auto reply = PeerControl("INFO " + std::to_string(id_));
    return !reply.empty() && reply[0].size() >= 3 ? reply[0].substr(3) : std::string();
}

std::string CTestPeer::Tell(const std::string& message) const
{
    std::string hex;
    for (unsigned char c : message) hex += FormatText("%02x", unsigned(c));
    const auto reply = PeerControl("TELL " + std::to_string(id_) + " " + (hex.empty() ? "-" : hex));
    return reply.empty() ? std::string() : reply[0];
}

} // namespace kv::test
