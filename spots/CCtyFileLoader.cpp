#include "spots/CCtyFileLoader.h"

#include "base/Text.h"
#include "win/Win32.h"

#include <shlobj.h>

namespace kv {
namespace {

constexpr const char16_t* kCountryFileNames[] = {u"CTY_QL_MOD.DAT", u"CTY_QL.DAT", u"CTY.DAT"};

std::u16string SystemErrorText(DWORD code)
{
    wchar_t buffer[256] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, buffer, DWORD(std::size(buffer)), nullptr);
    const std::u16string text = Trim(U16(buffer, length));
    return text.empty() ? u"error " + AsciiToU16(std::to_string(code)) : text;
}

std::u16string AnsiToWindowString(const std::string& text)
{
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::u16string out(size_t(length > 0 ? length : 0), u'\0');
    if (length > 0) ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), int(text.size()), W(out.data()), length);
    return out;
}

struct FoundFile {
    std::u16string path;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
};

std::optional<FoundFile> FindCountryFile(const std::u16string& folder)
{
    // No folder: never look in the current directory.
    if (folder.empty()) return std::nullopt;
    for (const char16_t* name : kCountryFileNames) {
        FoundFile file{folder + name};
        if (::GetFileAttributesExW(W(file.path), GetFileExInfoStandard, &file.attributes) &&
            !(file.attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return file;
    }
    return std::nullopt;
}

enum class ReadOutcome { Read, TooLarge, Failed };

// The whole file, denying others write access while it is read.
ReadOutcome ReadCountryFile(const std::u16string& path, std::string& content, std::u16string& error)
{
    HANDLE file = ::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemErrorText(::GetLastError());
        return ReadOutcome::Failed;
    }
    LARGE_INTEGER size{};
    ReadOutcome outcome = ReadOutcome::Read;
    if (!::GetFileSizeEx(file, &size)) {
        error = SystemErrorText(::GetLastError());
        outcome = ReadOutcome::Failed;
    } else if (uint64_t(size.QuadPart) > CCtyFileLoader::kMaxFileSize) {
        error = u"file too large";
        outcome = ReadOutcome::TooLarge;
    } else {
        content.resize(size_t(size.QuadPart));
        size_t done = 0;
        DWORD got = 0;
        while (done < content.size() &&
               ::ReadFile(file, content.data() + done, DWORD(content.size() - done), &got, nullptr) && got > 0)
            done += got;
        if (done < content.size()) {
            error = u"read error";
            outcome = ReadOutcome::Failed;
        }
    }
    ::CloseHandle(file);
    return outcome;
}

} // namespace

CCtyFileLoader& ProgramCtyFileLoader()
{
    static CCtyFileLoader loader(CurrentCtyTable());
    return loader;
}

CtyLoadResult CCtyTable::Load(std::u16string& text)
{
    return ProgramCtyFileLoader().Load(GetCountryFilesFolder(), text);
}

std::u16string GetCountryFilesFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    std::u16string folder = U16(buffer);
    if (folder.empty()) return {};
    if (folder.back() != u'\\') folder += u'\\';
    return folder + u"Quarnel\\countryFiles\\";
}

bool CCtyFileLoader::IsRememberedUnchanged(const FileStamp& file) const
{
    const bool samePath = ::CompareStringOrdinal(W(file.path), int(file.path.size()), W(remembered_.path),
                                                 int(remembered_.path.size()), TRUE) == CSTR_EQUAL;
    return samePath &&
           file.lastWrite == remembered_.lastWrite && file.sizeLow == remembered_.sizeLow &&
           file.sizeHigh == remembered_.sizeHigh;
}

CtyLoadResult CCtyFileLoader::Report(CtyLoadResult result, const std::u16string& text)
{
    const bool repeated = lastMessage_ && *lastMessage_ == text;
    lastMessage_ = text;
    return repeated ? CtyLoadResult::Unchanged : result;
}

CtyLoadResult CCtyFileLoader::Load(const std::u16string& folder, std::u16string& text)
{
    const std::optional<FoundFile> found = FindCountryFile(folder);
    if (!found) {
        text = folder;
        return Report(CtyLoadResult::NotFound, text);
    }
    const WIN32_FILE_ATTRIBUTE_DATA& attributes = found->attributes;
    const FileStamp stamp{found->path,
                          (uint64_t(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                              attributes.ftLastWriteTime.dwLowDateTime,
                          attributes.nFileSizeLow, attributes.nFileSizeHigh};
    if (published_ && IsRememberedUnchanged(stamp)) return CtyLoadResult::Unchanged;

    std::string content;
    std::u16string error;
    const ReadOutcome outcome = ReadCountryFile(stamp.path, content, error);
    auto table = std::make_shared<CCtyTable>();
    std::string parseError;
    if (outcome == ReadOutcome::Read && !table->Parse(content, parseError)) error = AnsiToWindowString(parseError);
    // Only a file whose content was looked at is remembered: after an open or read failure the next check
    // must read the file again even when it looks unchanged.
    if (outcome != ReadOutcome::Failed) remembered_ = stamp;
    if (!error.empty()) {
        text = stamp.path + u": " + error;
        return Report(CtyLoadResult::Failed, text);
    }
    published_ = std::move(table);
    lastMessage_.reset();
    text = stamp.path;
    return CtyLoadResult::Loaded;
}

} // namespace kv
