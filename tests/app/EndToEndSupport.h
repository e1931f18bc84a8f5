#pragma once
// What the end-to-end tests read back: the events of the peers, the packets a logger station decoded and the
// texts of the program's windows.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "base/Format.h"
#include "base/Utf.h"
#include "tests/support/WinTestSupport.h"

namespace kv::test {

// The program's windows as another process finds them.
inline constexpr char16_t kFrameClass[] = u"Kestrivane.MainFrame";
inline constexpr int kViewId = 59648;
inline constexpr int kTabStripId = 1000;
inline constexpr int kLogPaneId = 1002;
inline constexpr int kLogEditId = 1003;
inline constexpr int kReceivePaneId = 1007;
inline constexpr int kReceiveEditId = 1008;
inline constexpr int kJumpButtonId = 1009;
inline constexpr int kSendEditId = 1011;
inline constexpr int kPageButtonBarId = 1006;
inline constexpr int kSettingsCommandId = 32776;

template <typename Text>
size_t CountOf(const Text& text, const std::type_identity_t<Text>& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

inline std::vector<const PeerEvent*> EventsOf(const std::vector<PeerEvent>& log, const std::string& event)
{
    std::vector<const PeerEvent*> found;
    for (const PeerEvent& e : log)
        if (e.event == event) found.push_back(&e);
    return found;
}

struct StationPacket {
    unsigned ms = 0;
    std::vector<std::string> fields;
};

// The packets the station decoded, each split into its fields.
inline std::vector<StationPacket> PacketsOf(const CTestPeer& station)
{
    std::vector<StationPacket> packets;
    for (const PeerEvent& e : station.Log()) {
        if (e.event != "packet") continue;
        StationPacket packet{e.ms, {}};
        size_t start = 0;
        for (size_t cut; (cut = e.data.find('\x1f', start)) != std::string::npos; start = cut + 1)
            packet.fields.push_back(e.data.substr(start, cut - start));
        packet.fields.push_back(e.data.substr(start));
        packets.push_back(std::move(packet));
    }
    return packets;
}

inline std::vector<StationPacket> PacketsOfKind(const CTestPeer& station, const std::string& kind)
{
    std::vector<StationPacket> packets = PacketsOf(station);
    std::erase_if(packets, [&](const StationPacket& p) { return p.fields.empty() || p.fields[0] != kind; });
    return packets;
}

// The text of every "RCVDPKT:" packet the station heard, one after the other.
inline std::string ForwardedText(const CTestPeer& station)
{
    std::string text;
    for (const StationPacket& p : PacketsOfKind(station, "RCVDPKT:"))
        if (p.fields.size() == 4) text += p.fields[3];
    return text;
}

inline std::u16string WindowText(HWND window)
{
    const LRESULT length = window ? ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0) : 0;
    std::u16string text(size_t(length > 0 ? length : 0) + 1, u'\0');
    const LRESULT got = window ? ::SendMessageW(window, WM_GETTEXT, text.size(), LPARAM(text.data())) : 0;
    text.resize(size_t(got > 0 ? got : 0));
    return text;
}

inline HWND Child(HWND parent, int id) { return parent ? ::GetDlgItem(parent, id) : nullptr; }

// The connection page shown in the main window, or null.
inline HWND ShownPage(HWND frame)
{
    HWND tabStrip = Child(Child(frame, kViewId), kTabStripId);
    for (HWND page = tabStrip ? ::GetWindow(tabStrip, GW_CHILD) : nullptr; page; page = ::GetWindow(page, GW_HWNDNEXT))
        if (::GetDlgCtrlID(page) >= 1100 && ::IsWindowVisible(page)) return page;
    return nullptr;
}

// Where the accent of the selected tab begins on the screen, relative to the tab strip's window (which holds the
// pages below its row of tabs); x is -1 when none is drawn.
inline POINT SelectedTabAccent(HWND tabStrip)
{
    const CScreenPixels pixels(tabStrip);
    const COLORREF accent = ::GetSysColor(COLOR_HIGHLIGHT);
    for (int y = 0; y < std::min(pixels.Height(), 16); ++y) {
        int run = 0;
        for (int x = 0; x < pixels.Width(); ++x) {
            run = pixels.At(x, y) == accent ? run + 1 : 0;
            if (run == 12) return POINT{x - run + 1, y};
        }
    }
    return POINT{-1, -1};
}

inline std::u16string LogPaneText(HWND frame)
{
    return WindowText(Child(Child(Child(frame, kViewId), kLogPaneId), kLogEditId));
}

// The section of a Telnet connection on a local node, with its own keys after the common ones.
inline std::string TelnetSection(int id, const char* name, uint16_t port, const char* extra)
{
    return FormatText("[Connection.%d]\r\nName=%s\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=%d\r\n"
                      "Login=N0CALL\r\nLineEnding=CRLF\r\n%s",
                      id, name, int(port), extra);
}

// The section of a CW Skimmer connection that follows radio 1 of STN1.
inline std::string SkimmerSection(int id, uint16_t port)
{
    return FormatText("[Connection.%d]\r\nName=Skimmer\r\nType=CWSkimmer\r\nHost=127.0.0.1\r\nPort=%d\r\n"
                      "Login=N0CALL\r\nCwSkimmer=1\r\nCwSkimmerRadio=1\r\nCwSkimmerStationName=STN1\r\n",
                      id, int(port));
}

// The default settings file of the data folder given to the program with -a.
inline bool WriteDataFolderSettings(const std::u16string& folder, const std::string& settings)
{
    return ::CreateDirectoryW(W(folder + u"\\cfg"), nullptr) &&
           WriteFileBytes(folder + u"\\cfg\\Kestrivane.ini", settings);
}

inline std::string Hex(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) out += c >= 0x20 && c < 0x7f ? std::string(1, char(c)) : FormatText("\\x%02x", c);
    return out;
}

inline std::string Describe(const CTestPeer& peer)
{
    std::string text;
    for (const PeerEvent& e : peer.Log()) text += FormatText("%u %s %s\n", e.ms, e.event, Hex(e.data));
    return text;
}

// Wine answers for another process with figures far too small: the Linux process of the program, found by a
// text of its command line, tells the truth. A file of its /proc folder, or empty.
inline std::string LinuxProcFileOf(const std::string& commandLinePart, const std::u16string& file)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string content;
    do {
        const std::u16string pid = U16(found.cFileName);
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            continue;
        std::string commandLine = ReadFileBytes(u"Z:\\proc\\" + pid + u"\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (commandLine.find("kestrivane.exe") == std::string::npos ||
            commandLine.find(commandLinePart) == std::string::npos)
            continue;
        content = ReadFileBytes(u"Z:\\proc\\" + pid + u"\\" + file);
        break;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return content;
}

} // namespace kv::test
