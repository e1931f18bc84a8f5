#include "win/NetworkListManager.h"

#include "win/Win32.h"

#include <netlistmgr.h> // its property reads IsConnectedToInternet here

namespace kv {

namespace {

// CLSID_NetworkListManager, spelt out so that no GUID library is needed.
constexpr CLSID kNetworkListManager = {0xdcb00c01, 0x570f, 0x4a9b, {0x8d, 0x69, 0x19, 0x9f, 0xdb, 0xa5, 0x72, 0x3b}};

} // namespace

bool IsInternetKnownUnreachable()
{
    INetworkListManager* manager = nullptr;
    if (FAILED(::CoCreateInstance(kNetworkListManager, nullptr, CLSCTX_ALL, __uuidof(INetworkListManager),
                                  reinterpret_cast<void**>(&manager))) ||
        !manager)
        return false;
    VARIANT_BOOL connected = VARIANT_TRUE;
    const HRESULT hr = manager->IsConnectedToInternet(&connected);
    manager->Release();
    return SUCCEEDED(hr) && connected == VARIANT_FALSE;
}

} // namespace kv
