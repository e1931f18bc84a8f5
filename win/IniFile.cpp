#include "win/IniFile.h"

#include "base/Numbers.h"
#include "base/Text.h"
#include "win/Win32.h"

namespace kv {
namespace {

// A default that no user writes: tells a missing key from an empty one.
const char16_t kMissing[] = u"\x01\x02Kestrivane.missing\x03";

// Reads a profile value or list, doubling the buffer until it fits. listMode: a double-null-terminated list.
std::u16string ReadProfile(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                           const std::u16string& path, bool listMode)
{
    std::u16string buffer(1024, u'\0');
    for (;;) {
        const DWORD size = DWORD(buffer.size());
        const DWORD got = ::GetPrivateProfileStringW(section, key, fallback, W(buffer.data()), size, W(path));
        const DWORD truncatedAt = listMode ? size - 2 : size - 1;
        if (got < truncatedAt || buffer.size() >= (1u << 26)) {
            buffer.resize(got);
            return buffer;
        }
        buffer.assign(buffer.size() * 2, u'\0');
    }
}

std::vector<std::u16string> SplitNullList(const std::u16string& list)
{
    std::vector<std::u16string> items;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = list.find(u'\0', start);
        const size_t stop = end == std::u16string::npos ? list.size() : end;
        if (stop > start) items.push_back(list.substr(start, stop - start));
        start = stop + 1;
    }
    return items;
}

} // namespace

std::optional<std::u16string> CIniFile::Read(const std::u16string& section, const std::u16string& key) const
{
    std::u16string value = ReadProfile(W(section), W(key), W(kMissing), path_, false);
    if (value == kMissing) return std::nullopt;
    return value;
}

std::u16string CIniFile::ReadString(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& fallback) const
{
    return Read(section, key).value_or(fallback);
}

std::optional<long long> CIniFile::ReadInteger(const std::u16string& section, const std::u16string& key) const
{
    const auto value = Read(section, key);
    if (!value) return std::nullopt;
    return ParseInteger<long long>(std::u16string_view(Trim(*value)));
}

std::u16string CIniFile::EncodeValue(const std::u16string& value)
{
    std::u16string text = value;
    for (auto& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') text = u"\"" + text + u"\"";
    return text;
}

bool CIniFile::Write(const std::u16string& section, const std::u16string& key, const std::u16string& value)
{
    EnsureExists();
    return ::WritePrivateProfileStringW(W(section), W(key), W(EncodeValue(value)), W(path_)) != FALSE;
}

bool CIniFile::WriteInteger(const std::u16string& section, const std::u16string& key, long long value)
{
    return Write(section, key, AsciiToU16(FormatInteger(value)));
}

bool CIniFile::DeleteKey(const std::u16string& section, const std::u16string& key)
{
    if (!Exists()) return true;
    return ::WritePrivateProfileStringW(W(section), W(key), nullptr, W(path_)) != FALSE;
}

bool CIniFile::DeleteSection(const std::u16string& section)
{
    if (!Exists()) return true;
    return ::WritePrivateProfileStringW(W(section), nullptr, nullptr, W(path_)) != FALSE;
}

std::vector<std::u16string> CIniFile::KeysOf(const std::u16string& section) const
{
    return SplitNullList(ReadProfile(W(section), nullptr, L"", path_, true));
}

std::vector<std::u16string> CIniFile::Sections() const
{
    return SplitNullList(ReadProfile(nullptr, nullptr, L"", path_, true));
}

bool CIniFile::Exists() const
{
    return ::GetFileAttributesW(W(path_)) != INVALID_FILE_ATTRIBUTES;
}

bool CIniFile::EnsureExists() const
{
    if (Exists()) return true;
    HANDLE file = ::CreateFileW(W(path_), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bom, sizeof bom, &written, nullptr) && written == sizeof bom;
    ::CloseHandle(file);
    return ok;
}

} // namespace kv
