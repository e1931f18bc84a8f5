#include "connections/CTrafficLogFile.h"

#include "win/IniFile.h"
#include "win/Win32.h"

namespace kv {

bool CTrafficLogFile::Append(const std::u16string& path, const std::string& headerUtf8, const std::string& textUtf8)
{
    HANDLE file = ::CreateFileW(W(path), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    const bool empty = ::GetFileSizeEx(file, &size) && size.QuadPart == 0;
    // One write, so that a reader never sees half a block.
    const std::string bytes = empty ? headerUtf8 + textUtf8 : textUtf8;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

// The settings side of the log lives here, with the profile functions.
bool CTrafficLog::Start(const std::u16string& settingsPath)
{
    const auto value = CIniFile(settingsPath).ReadInteger(u"General", u"TrafficLog");
    if (value.value_or(0) == 0) return false;
    Begin(GetTrafficLogPath(settingsPath));
    return true;
}

} // namespace kv
