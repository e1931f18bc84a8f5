#pragma once
// The settings file through the Win32 profile functions. Tells a missing key from an empty one, reads
// values of any length, keeps a value with a blank or a quote at either end intact (the profile functions
// strip the blanks and one enclosing pair of single or double quotes on read), never writes CR or LF, and
// creates a new file as UTF-16LE with a byte-order mark so that texts outside the ANSI code page survive.
#include <optional>
#include <string>
#include <vector>

namespace kv {

class CIniFile {
public:
    explicit CIniFile(std::u16string path) : path_(std::move(path)) {}
    const std::u16string& Path() const { return path_; }

    // nullopt when the key (or the section, or the file) is missing.
    std::optional<std::u16string> Read(const std::u16string& section, const std::u16string& key) const;
    std::u16string ReadString(const std::u16string& section, const std::u16string& key,
                              const std::u16string& fallback = {}) const;
    // A whole decimal number (blanks around it allowed); nullopt when missing or not a number.
    std::optional<long long> ReadInteger(const std::u16string& section, const std::u16string& key) const;

    bool Write(const std::u16string& section, const std::u16string& key, const std::u16string& value);
    bool WriteInteger(const std::u16string& section, const std::u16string& key, long long value);
    bool DeleteKey(const std::u16string& section, const std::u16string& key);
    bool DeleteSection(const std::u16string& section);

    std::vector<std::u16string> KeysOf(const std::u16string& section) const;
    std::vector<std::u16string> Sections() const;

    // Creates the file, empty and with a UTF-16LE byte-order mark, when it does not exist or holds nothing
    // but NUL bytes.
    bool EnsureExists() const;
    bool Exists() const;

    // The text written for a value: CR and LF become blanks; a value with a blank or a control character at
    // either end, or a single or double quote (blanks aside), gets one more pair of double quotes.
    static std::u16string EncodeValue(const std::u16string& value);

private:
    std::u16string path_;
};

} // namespace kv
