#pragma once
// Keeping "DXCLUSTER_NODES.CSV" in the default settings folder current: one download at a time on a worker
// thread that asks the server whether the file changed, fetches it only when it did, checks that it is a
// node list, replaces the file in one step with the server's time stamp, and posts the result to every
// registered window (the view for the whole run, each open cluster chooser while it is open).
#include <cstdint>
#include <string>

#include "win/PostedRecord.h"
#include "win/Win32.h"

#include <wininet.h>

namespace kv {

constexpr UINT WM_APP_NODE_LIST_UPDATED = WM_APP + 0x18; // lParam: NodeListUpdateResult, the receiver's

enum NodeListUpdateStatus : int32_t {
    NodeListUpToDate = 0, // nothing downloaded
    NodeListInstalled = 1,
    NodeListFailed = 2,
};

struct NodeListUpdateResult : CPostedRecord {
    int32_t Status = NodeListFailed;
    std::u16string Error;   // why it failed
    std::u16string Release; // of the new list (installed only)
    int32_t NodeCount = 0;  // of the new list (installed only)
    uint64_t Bytes = 0;     // body bytes of a 200 answer, also when it then failed
};

// The name of the list in the folder, and the address it comes from when [Links] NodeListUrl names none.
constexpr char16_t kNodeListFileName[] = u"DXCLUSTER_NODES.CSV";
constexpr char16_t kDefaultNodeListUrl[] = u"https://kestrivane.example.org/files/DXCLUSTER_NODES.CSV";
constexpr uint64_t kMaxNodeListBytes = 16777216;

void RegisterNodeListWindow(HWND window);
void UnregisterNodeListWindow(HWND window);
bool IsNodeListWindowRegistered(HWND window);

// Starts the download into the folder (with a trailing backslash); false when one is already running
// (its result reaches every registered window anyway) or the thread cannot start.
bool StartNodeListUpdate(const std::u16string& folder);
// The same, telling a running download (whose result will come) from a start that failed (none will).
enum class NodeListStart { Started, AlreadyRunning, Failed };
NodeListStart TryStartNodeListUpdate(const std::u16string& folder);

// The exchange and the file replacement, on the calling thread.
void DownloadNodeList(const std::u16string& folder, NodeListUpdateResult& result);
// The server's Last-Modified time of the list from a HEAD request; false without a 200 answer carrying one.
bool QueryNodeListLastModified(HINTERNET internet, FILETIME& lastModified);
// Equal within 2 seconds either way.
bool IsSameFileTime(const FILETIME& a, const FILETIME& b);

} // namespace kv
