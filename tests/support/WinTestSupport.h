#pragma once
// Helpers of the Wine tests: temporary folders, the message pump, screenshots and the local test peers.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "win/Win32.h"

namespace kv::test {

// A fresh folder under the temporary folder, deleted with everything in it at the end of the test.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::u16string& Path() const { return path_; }
    // The path of a file inside the folder.
    std::u16string File(const std::u16string& name) const { return path_ + u"\\" + name; }

private:
    std::u16string path_;
};

bool WriteFileBytes(const std::u16string& path, const std::string& bytes);
std::string ReadFileBytes(const std::u16string& path);

// Dispatches messages of this thread until the predicate holds or the time is up; returns the predicate.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);
void PumpFor(unsigned ms);
// The bytes allocated and not freed in all of the process's heaps.
size_t HeapBytesInUse();

// Keys through the system's own input road (input queue, TranslateMessage), all in one burst as a keyboard
// macro or a fast typist sends them: each a virtual key and whether it goes down.
void SendKeys(const std::vector<std::pair<WORD, bool>>& keys);
// A click of the left mouse button at a point of the screen, through the system's input road.
void ClickAt(POINT screen);
// The left mouse button pressed at one point of the screen and let go at another (a click where they are the
// same), through the input road.
void PressAndRelease(POINT press, POINT release);
// The left mouse button pressed at one point, moved with it held through the points between in steps, and let go
// at the other: a drag through the input road.
void DragWith(POINT from, POINT to, int steps);

// The state folder of the test run (tools/wine-env), as a Windows path.
std::u16string WineStateDir();
// Saves the screen (or the window's rectangle of it) as a PNG under the build folder's screenshots/.
// Returns the path written, empty on failure.
std::u16string SaveScreenshot(HWND window, const std::u16string& name);

// The pixels that the screen shows of a window's rectangle (of the whole screen for null), taken when made.
class CScreenPixels {
public:
    explicit CScreenPixels(HWND window);
    int Width() const { return int(rect_.right - rect_.left); }
    int Height() const { return int(rect_.bottom - rect_.top); }
    // The colour at a point of the rectangle, CLR_INVALID outside it.
    COLORREF At(int x, int y) const;

private:
    RECT rect_{};
    std::vector<uint32_t> pixels_;
};

// The face, height and weight that a window draws its text in ("Tahoma -11 400"): its font's, or the system
// font's when it was given none.
std::string DrawnFont(HWND window);

struct PeerEvent {
    unsigned ms = 0;
    std::string event;
    std::string data;
};

// One local test peer started through the control port of tests/peers/peerd.py; stopped on destruction.
class CTestPeer {
public:
    // kind: a peer_<kind>.py module; params: "key=value" words.
    CTestPeer(const std::string& kind, const std::string& scenario, const std::string& params = {});
    ~CTestPeer();
    CTestPeer(const CTestPeer&) = delete;
    CTestPeer& operator=(const CTestPeer&) = delete;

    bool Ok() const { return port_ != 0; }
    const std::string& Error() const { return error_; }
    uint16_t Port() const { return port_; }
    std::vector<PeerEvent> Log() const;
    std::string Info() const;
    // Hands the peer a message of its own kind (its tell()); the daemon's reply line ("OK ..." or "ERR ...").
    std::string Tell(const std::string& message) const;

private:
    int id_ = 0;
    uint16_t port_ = 0;
    std::string error_;
};

// One request to the peer daemon; returns the reply lines.
std::vector<std::string> PeerControl(const std::string& line);

} // namespace kv::test
