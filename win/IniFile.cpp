#include "win/IniFile.h"

#include <algorithm>

#include "base/Numbers.h"
#include "base/Text.h"
#include "win/Win32.h"

namespace kv {
namespace {

// A default that no user writes: tells a missing key from an empty one.
const char16_t kMissing[] = u"\x01\x02Kestrivane.missing\x03";

// Reads a profile value or list, doubling the buffer until it fits. A cut list comes back as size - 2
// characters, a cut value as size - 1, or as size - 2 when Wine dropped the quotes around what it cut.
std::u16string ReadProfile(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                           const std::u16string& path)
{
    std::u16string buffer(1024, u'\0');
    for (;;) {
        const DWORD size = DWORD(buffer.size());
        const DWORD got = ::GetPrivateProfileStringW(section, key, fallback, W(buffer.data()), size, W(path));
        if (got < size - 2 || buffer.size() >= (1u << 26)) {
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

// True when the file holds no byte but NUL: empty, or zero-filled by a crash. False when it cannot be read.
bool HoldsOnlyNulBytes(const std::u16string& path)
{
    HANDLE file = ::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[4096];
    DWORD got = 0;
    bool blank = true;
    while (blank) {
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) blank = false;
        else if (got == 0) break;
        else blank = std::all_of(chunk, chunk + got, [](char c) { return c == 0; });
    }
    ::CloseHandle(file);
    return blank;
}

} // namespace

std::optional<std::u16string> CIniFile::Read(const std::u16string& section, const std::u16string& key) const
{
    std::u16string value = ReadProfile(W(section), W(key), W(kMissing), path_);
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
    // The profile functions drop the blanks around a value (tabs and other control characters too, the
    // Unicode blanks perhaps), then a pair of single or double quotes around what is left: a blank or a quote
    // at either end is kept by one more pair of double quotes.
    const std::u16string_view kept = TrimView(std::u16string_view(text));
    const auto isQuote = [](char16_t c) { return c == u'"' || c == u'\''; };
    const bool blankAtAnEnd = !text.empty() && (IsBlankOrControl(text.front()) || IsBlankOrControl(text.back()));
    if (blankAtAnEnd || (!kept.empty() && (isQuote(kept.front()) || isQuote(kept.back()))))
        text = u"\"" + text + u"\"";
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
    return SplitNullList(ReadProfile(W(section), nullptr, L"", path_));
}

std::vector<std::u16string> CIniFile::Sections() const
{
    return SplitNullList(ReadProfile(nullptr, nullptr, L"", path_));
}

bool CIniFile::Exists() const
{
    return ::GetFileAttributesW(W(path_)) != INVALID_FILE_ATTRIBUTES;
}

bool CIniFile::EnsureExists() const
{
    // A file without a byte but NUL is written as ANSI by the profile functions: it is started anew.
    const bool exists = Exists();
    if (exists && !HoldsOnlyNulBytes(path_)) return true;
    HANDLE file = ::CreateFileW(W(path_), GENERIC_WRITE, 0, nullptr, exists ? TRUNCATE_EXISTING : CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return exists || ::GetLastError() == ERROR_FILE_EXISTS;
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bom, sizeof bom, &written, nullptr) && written == sizeof bom;
    ::CloseHandle(file);
    return ok;
}

} // namespace kv
