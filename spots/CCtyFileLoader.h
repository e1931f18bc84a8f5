#pragma once
// Finds the country file in its folder, reads it when it is new or changed, and publishes the parsed table.
// A missing, unreadable or wrong file never replaces the table already published; each failure is reported
// once. User-interface thread only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "spots/CCtyTable.h"

namespace kv {

class CCtyFileLoader {
public:
    static constexpr uint64_t kMaxFileSize = 16u * 1024 * 1024;

    explicit CCtyFileLoader(std::shared_ptr<const CCtyTable>& published) : published_(published) {}

    // Tries CTY_QL_MOD.DAT, CTY_QL.DAT and CTY.DAT in the folder (with its trailing backslash). text receives
    // the path (Loaded), the folder (NotFound) or "path: error" (Failed). Windows only.
    CtyLoadResult Load(const std::u16string& folder, std::u16string& text);

    // The file last read, whether it parsed or not; empty before.
    const std::u16string& RememberedPath() const { return remembered_.path; }

private:
    struct FileStamp {
        std::u16string path;
        uint64_t lastWrite = 0;
        uint32_t sizeLow = 0;
        uint32_t sizeHigh = 0;
    };

    bool IsRememberedUnchanged(const FileStamp& file) const;
    CtyLoadResult Report(CtyLoadResult result, const std::u16string& text);

    std::shared_ptr<const CCtyTable>& published_;
    FileStamp remembered_;
    // The text last reported for a missing or failed file; nothing after a successful load.
    std::optional<std::u16string> lastMessage_;
};

// The loader of the program, publishing into CurrentCtyTable.
CCtyFileLoader& ProgramCtyFileLoader();
// "<common application data>\Quarnel\countryFiles\", or empty when the shell cannot tell that folder. Windows only.
std::u16string GetCountryFilesFolder();

} // namespace kv
