#include "app/CommandLine.h"

#include "base/Ascii.h"
#include "base/Format.h"
#include "base/Text.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

enum class OptionKind { DataFolder, IniFile, Help, Unknown };

OptionKind ClassifyOption(const std::u16string& option)
{
    if (option == u"-a" || EqualsIgnoreCaseAscii(option, u"--alternate-appdata")) return OptionKind::DataFolder;
    if (option == u"-i" || EqualsIgnoreCaseAscii(option, u"--alternate-ini")) return OptionKind::IniFile;
    if (option == u"-h" || option == u"/?" || EqualsIgnoreCaseAscii(option, u"--help")) return OptionKind::Help;
    return OptionKind::Unknown;
}

bool LooksLikePath(const std::u16string& value) { return value.find_first_of(u"\\/:") != std::u16string::npos; }

} // namespace

std::u16string WithBackslash(std::u16string path)
{
    if (path.empty() || path.back() != u'\\') path.push_back(u'\\');
    return path;
}

CommandLineOptions ParseCommandLine(const std::vector<std::u16string>& args)
{
    CommandLineOptions result;
    for (size_t i = 0; i < args.size(); ++i) {
        std::u16string option = args[i];
        std::u16string value;
        bool joined = false;
        const size_t equals = option.find(u'=');
        if (option.rfind(u"--", 0) == 0 && equals != std::u16string::npos && equals > 2) {
            value = option.substr(equals + 1);
            option.resize(equals);
            joined = true;
        }
        const OptionKind kind = ClassifyOption(option);
        if (kind == OptionKind::Help) {
            result.outcome = CommandLineOptions::Outcome::Help;
            return result;
        }
        if (kind == OptionKind::Unknown) {
            result.outcome = CommandLineOptions::Outcome::Error;
            result.errorText = FormatText(LoadText(470), option.substr(0, option.find(u'=')));
            return result;
        }
        if (!joined && option.find(u'=') == std::u16string::npos && i + 1 < args.size()) value = args[++i];
        value = Trim(value);
        if (value.empty()) {
            result.outcome = CommandLineOptions::Outcome::Error;
            result.errorText = FormatText(LoadText(471), option);
            return result;
        }
        (kind == OptionKind::DataFolder ? result.dataFolder : result.iniFile) = value;
    }
    return result;
}

SettingsLocation ChooseSettingsFile(const CommandLineOptions& options, const std::u16string& commonDataFolder,
                                    const std::u16string& defaultCfgFolder,
                                    const std::function<std::u16string(const std::u16string&)>& fullPath)
{
    std::u16string cfgFolder = defaultCfgFolder;
    if (options.dataFolder) {
        const std::u16string& value = *options.dataFolder;
        const std::u16string base = WithBackslash(LooksLikePath(value) ? fullPath(value) : commonDataFolder + value);
        cfgFolder = base + u"cfg\\";
    }
    SettingsLocation location;
    if (!options.iniFile) {
        location.iniPath = cfgFolder + u"Kestrivane.ini";
    } else {
        const std::u16string& value = *options.iniFile;
        location.iniPath = LooksLikePath(value) ? fullPath(value) : cfgFolder + value;
    }
    location.isDefaultIni = EqualsIgnoreCaseAscii(location.iniPath, defaultCfgFolder + u"Kestrivane.ini");
    return location;
}

std::u16string BuildCommandLineHelp(const std::u16string& commonDataFolder, const std::u16string& defaultCfgFolder)
{
    return FormatText(LoadText(468), commonDataFolder, commonDataFolder, defaultCfgFolder);
}

} // namespace kv
