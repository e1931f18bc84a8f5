#pragma once
// The node-list download's window registry and its start. The registry is complete; the download itself is
// not there yet: StartNodeListUpdate starts nothing until the cluster directory brings it.
#include <cstdint>
#include <string>

#include "win/PostedRecord.h"
#include "win/Win32.h"

namespace kv {

constexpr UINT WM_APP_NODE_LIST_UPDATED = WM_APP + 0x18;

struct NodeListUpdateResult : CPostedRecord {
    int32_t Status = 2; // 0 up to date, 1 new list installed, 2 failed
    std::u16string Error;
    std::u16string Release;
    int32_t NodeCount = 0;
    uint64_t Bytes = 0;
};

void RegisterNodeListWindow(HWND window);
void UnregisterNodeListWindow(HWND window);
bool IsNodeListWindowRegistered(HWND window);
// False when a download is already running or none could be started.
bool StartNodeListUpdate(const std::u16string& folder);

} // namespace kv
