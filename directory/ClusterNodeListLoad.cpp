// Reading a node list file through the Windows file functions.
#include "directory/ClusterNodeList.h"

#include "win/Win32.h"

namespace kv {

bool ClusterNodeList::Load(const std::u16string& path)
{
    // Shared for deletion too, so that a download replacing the file meanwhile does not fail on our handle.
    const HANDLE file = ::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char piece[65536];
    DWORD got = 0;
    bool complete = false;
    while (::ReadFile(file, piece, sizeof piece, &got, nullptr)) {
        if (got == 0) {
            complete = true;
            break;
        }
        text.append(piece, got);
    }
    ::CloseHandle(file);
    // A list cut short by a read error is not the list.
    return complete && Parse(text);
}

} // namespace kv
