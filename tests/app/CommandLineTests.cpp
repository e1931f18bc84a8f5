#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/InstanceIdentity.h"

using namespace kv;
using Outcome = CommandLineOptions::Outcome;

namespace {

const std::u16string kCommon = u"C:\\ProgramData\\";
const std::u16string kDefaultCfg = u"C:\\ProgramData\\Quarnel\\cfg\\";

std::u16string FakeFullPath(const std::u16string& p)
{
    return p.find(u':') != std::u16string::npos ? p : u"C:\\work\\" + p;
}

SettingsLocation Choose(const std::vector<std::u16string>& args)
{
    const CommandLineOptions options = ParseCommandLine(args);
    EXPECT_EQ(options.outcome, Outcome::Run);
    return ChooseSettingsFile(options, kCommon, kDefaultCfg, FakeFullPath);
}

} // namespace

TEST(CommandLine, ChoosesTheSettingsFile)
{
    EXPECT_EQ(Choose({}).iniPath, kDefaultCfg + u"Kestrivane.ini");
    EXPECT_TRUE(Choose({}).isDefaultIni);
    EXPECT_EQ(Choose({u"-i", u"other.ini"}).iniPath, kDefaultCfg + u"other.ini");
    EXPECT_FALSE(Choose({u"-i", u"other.ini"}).isDefaultIni);
    EXPECT_EQ(Choose({u"-a", u"D:\\Contest"}).iniPath, u"D:\\Contest\\cfg\\Kestrivane.ini");
    EXPECT_EQ(Choose({u"-a", u"MyQL"}).iniPath, kCommon + u"MyQL\\cfg\\Kestrivane.ini");
    EXPECT_EQ(Choose({u"-a", u"MyQL", u"-i", u"x.ini"}).iniPath, kCommon + u"MyQL\\cfg\\x.ini");
    EXPECT_EQ(Choose({u"--alternate-ini=C:\\x\\y.ini"}).iniPath, u"C:\\x\\y.ini");
    EXPECT_EQ(Choose({u"--ALTERNATE-APPDATA", u"D:\\Q\\"}).iniPath, u"D:\\Q\\cfg\\Kestrivane.ini");
    EXPECT_EQ(Choose({u"-i", u"rel/path.ini"}).iniPath, u"C:\\work\\rel/path.ini");
    // The value after an option is taken whatever it looks like; blanks around a quoted name go.
    EXPECT_EQ(Choose({u"-i", u"-h"}).iniPath, kDefaultCfg + u"-h");
    EXPECT_EQ(Choose({u"-i", u"  spaced.ini  "}).iniPath, kDefaultCfg + u"spaced.ini");
    // A later value replaces an earlier one; the default file in another letter case is still the default.
    EXPECT_EQ(Choose({u"-i", u"a.ini", u"-i", u"b.ini"}).iniPath, kDefaultCfg + u"b.ini");
    EXPECT_TRUE(Choose({u"-i", u"KESTRIVANE.INI"}).isDefaultIni);
}

TEST(CommandLine, ErrorsAndHelpStopTheReading)
{
    auto error = [](const std::vector<std::u16string>& args) {
        const auto o = ParseCommandLine(args);
        EXPECT_EQ(o.outcome, Outcome::Error);
        return o.errorText;
    };
    EXPECT_EQ(error({u"--alternate-ini="}), u"--alternate-ini needs a value");
    EXPECT_EQ(error({u"-i"}), u"-i needs a value");
    EXPECT_EQ(error({u"-a", u"   "}), u"-a needs a value");
    EXPECT_EQ(error({u"-A", u"x"}), u"unknown argument \"-A\"");
    EXPECT_EQ(error({u"--colour=red"}), u"unknown argument \"--colour\"");
    EXPECT_EQ(error({u"-x", u"-h"}), u"unknown argument \"-x\"");
    EXPECT_EQ(ParseCommandLine({u"-h", u"-x"}).outcome, Outcome::Help);
    EXPECT_EQ(ParseCommandLine({u"/?"}).outcome, Outcome::Help);
    EXPECT_EQ(ParseCommandLine({u"--HELP"}).outcome, Outcome::Help);
    EXPECT_EQ(ParseCommandLine({u"-H"}).outcome, Outcome::Error);
}

TEST(CommandLine, HelpTextNamesTheFolders)
{
    const std::u16string help = BuildCommandLineHelp(kCommon, kDefaultCfg);
    EXPECT_EQ(help.rfind(u"Command-line arguments\n\n-a, --alternate-appdata <folder>\n", 0), 0u);
    EXPECT_NE(help.find(u"is taken in C:\\ProgramData\\ (-a MyQL: C:\\ProgramData\\MyQL\\cfg\\)."), std::u16string::npos);
    EXPECT_NE(help.find(u"A name without \"\\\" is taken in the cfg folder"), std::u16string::npos);
    EXPECT_NE(help.find(u"always stay in C:\\ProgramData\\Quarnel\\cfg\\."), std::u16string::npos);
    EXPECT_NE(help.back(), u'\n');
}

TEST(InstanceIdentity, NamesFollowThePathIgnoringAsciiCaseOnly)
{
    // FNV-1a of nothing is its offset basis.
    EXPECT_EQ(MakeInstanceObjectName(u"ini", u""), u"Local\\Kestrivane.ini.CBF29CE484222325");
    // "a" = 0x61: (basis ^ 0x61) * prime, the published test vector of 64-bit FNV-1a.
    EXPECT_EQ(HashSettingsPath(u"a"), 0xAF63DC4C8601EC8Cull);
    EXPECT_EQ(HashSettingsPath(u"A"), HashSettingsPath(u"a"));
    EXPECT_EQ(MakeInstanceObjectName(u"wnd", u"C:\\X\\A.ini"), MakeInstanceObjectName(u"wnd", u"c:\\x\\a.INI"));
    EXPECT_NE(MakeInstanceObjectName(u"ini", u"C:\\x\\A.ini"), MakeInstanceObjectName(u"ini", u"C:\\x\\B.ini"));
    EXPECT_NE(HashSettingsPath(u"\u00c4"), HashSettingsPath(u"\u00e4"));
    EXPECT_NE(MakeInstanceObjectName(u"ini", u"p"), MakeInstanceObjectName(u"wnd", u"p"));
}

TEST(InstanceIdentity, TitleNamesTheSettingsFile)
{
    EXPECT_EQ(MakeFrameTitle(u"Kestrivane", u"C:\\ProgramData\\Quarnel\\cfg\\other.ini"), u"Kestrivane - other");
    EXPECT_EQ(MakeFrameTitle(u"Kestrivane", u"D:\\Contest\\cfg\\Kestrivane.ini"), u"Kestrivane - Contest");
    EXPECT_EQ(SettingsNameForTitle(u"D:\\Contest\\Kestrivane.INI"), u"Contest");
    EXPECT_EQ(SettingsNameForTitle(u"D:\\x\\.hidden"), u".hidden");
    EXPECT_EQ(SettingsNameForTitle(u"D:\\x\\a.b.ini"), u"a.b");
}

TEST(InstanceIdentity, BuildDateFromCompilerText)
{
    EXPECT_EQ(FormatBuildDate("Dec  8 2026", "20:31:05"), u"2026-12-08 20:31");
    EXPECT_EQ(FormatBuildDate("Jan 31 2027", "09:05:59"), u"2027-01-31 09:05");
}
