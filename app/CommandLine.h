#pragma once
// The program's command line: which data folder and settings file to use, or help, or an error.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct CommandLineOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    std::u16string errorText;               // for Error: "unknown argument ..." or "... needs a value"
    std::optional<std::u16string> dataFolder; // -a / --alternate-appdata
    std::optional<std::u16string> iniFile;    // -i / --alternate-ini
};

// Reads the arguments after the program's name, left to right, until the first help or error.
CommandLineOptions ParseCommandLine(const std::vector<std::u16string>& args);

struct SettingsLocation {
    std::u16string iniPath;
    bool isDefaultIni = true;
};

// The settings file that the options choose. fullPath turns a path into its absolute form.
SettingsLocation ChooseSettingsFile(const CommandLineOptions& options, const std::u16string& commonDataFolder,
                                    const std::u16string& defaultCfgFolder,
                                    const std::function<std::u16string(const std::u16string&)>& fullPath);

// The folder path with one backslash at its end.
std::u16string WithBackslash(std::u16string path);

// The help text listing the options.
std::u16string BuildCommandLineHelp(const std::u16string& commonDataFolder, const std::u16string& defaultCfgFolder);

} // namespace kv
