#include "directory/NodeListUpdate.h"

#include <algorithm>
#include <vector>

namespace kv {
namespace {

struct NodeListWindows {
    SRWLOCK lock = SRWLOCK_INIT;
    std::vector<HWND> windows;
};

NodeListWindows& Registry()
{
    static NodeListWindows registry;
    return registry;
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

// The download comes with the cluster directory; until then no list is fetched.
bool StartNodeListUpdate(const std::u16string&) { return false; }

} // namespace kv
