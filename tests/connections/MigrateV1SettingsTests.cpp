#include <gtest/gtest.h>

#include "base/Utf.h"
#include "connections/CConnectionSettings.h"
#include "connections/ConnectionList.h"
#include "connections/GeneralSettings.h"
#include "connections/MigrateV1Settings.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using kv::test::CTempDir;

namespace {

// A settings file of the first version, as it wrote them: UTF-16LE with its byte-order mark.
std::string Utf16File(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
    }
    return bytes;
}

const std::u16string kTwoProfiles =
    u"[General Settings]\r\nPosition=120 80\r\nSize=700 560\r\n"
    u"[DxCluster Settings]\r\ndefaultprofile=3\r\nAUTOCONNECT=1\r\nAutoReconnect=0\r\n"
    u"ConnectionCommands=SET/NOBEEP \u00A4 \u00A4SH/DX/20\u00A4\r\n"
    u"[Network Settings]\r\nBroadcastAddress=192.168.1.255\r\nPort=12060\r\nApplicationID=SPOTS\r\n"
    u"NetworkDisabled=1\r\n"
    u"[Profiles]\r\nHOSTNAME1=gb7djk.example\r\nProfile1=\r\nPort1=\r\nLogin1=G4ABC\r\nPasswdRequired1=0\r\n"
    u"Passwd1=unused\r\nCRLF1=0\r\nCommands1=SH/DX\u00A4SH/WWV\r\n"
    u"hostname2=\r\nProfile2=no host\r\n"
    u"Hostname3=skimmer.local\r\nprofile3=  My Skimmer \r\nPORT3=7300\r\nPasswdRequired3=1\r\nPasswd3=pw\r\n"
    u"Crlf3=1\r\nCwSkimmer3=1\r\nCwSkimmerRadio3=2\r\nCwSkimmerStationName3=RUN\r\n";

class MigrateV1Test : public testing::Test {
protected:
    CTempDir dir;
    std::u16string path = dir.File(u"Kestrivane.ini");
    CIniFile ini{path};
    std::vector<std::u16string> messages;

    void WriteSettings(const std::u16string& text) { ASSERT_TRUE(test::WriteFileBytes(path, Utf16File(text))); }
    bool HasMessageStartingWith(const std::u16string& start) const
    {
        for (const auto& m : messages)
            if (m.starts_with(start)) return true;
        return false;
    }
    void ExpectOldSectionsGone()
    {
        for (const char16_t* s : {u"General Settings", u"DxCluster Settings", u"Profiles", u"Network Settings"})
            EXPECT_TRUE(ini.KeysOf(s).empty()) << Utf16ToUtf8(s);
    }
};

} // namespace

TEST_F(MigrateV1Test, ProfilesBecomeConnectionsWithTheDefaultOneOpenAndActive)
{
    WriteSettings(kTwoProfiles);
    const std::string original = test::ReadFileBytes(path);
    ASSERT_EQ(MigrateV1Settings(path, messages), 2);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0], u"v1 migration: INI file " + path + u", [Profiles] has 19 keys");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(GetV1BackupPath(path)), original);

    int active = 0, nextId = 0;
    EXPECT_EQ(LoadConnectionList(ini, active, nextId), std::vector<int>{2});
    EXPECT_EQ(active, 2);
    EXPECT_EQ(nextId, 3);
    EXPECT_EQ(LoadClosedConnections(ini), std::vector<int>{1});

    CConnectionSettings first, skimmer;
    ASSERT_TRUE(first.Load(ini, 1));
    EXPECT_EQ(first.Name, u"gb7djk.example");
    EXPECT_EQ(first.Host, u"gb7djk.example");
    EXPECT_EQ(first.Port, 23);
    EXPECT_EQ(first.Login, u"G4ABC");
    EXPECT_EQ(first.Password, u"");
    EXPECT_EQ(first.LineEnding, LineEndingLf);
    EXPECT_EQ(first.Commands, (std::vector<std::u16string>{u"SH/DX", u"SH/WWV"}));
    EXPECT_EQ(first.Type, ConnectionTelnet);

    ASSERT_TRUE(skimmer.Load(ini, 2));
    EXPECT_EQ(skimmer.Name, u"My Skimmer");
    EXPECT_EQ(skimmer.Port, 7300);
    EXPECT_EQ(skimmer.Password, u"pw");
    EXPECT_EQ(skimmer.Type, ConnectionCwSkimmer);
    EXPECT_TRUE(skimmer.CwSkimmer);
    EXPECT_TRUE(skimmer.NoSpotsFromQuarnel);
    EXPECT_EQ(skimmer.CwSkimmerRadio, 2);
    EXPECT_EQ(skimmer.CwSkimmerStationName, u"RUN");
    EXPECT_EQ(ini.Read(u"Connection.2", u"LineEnding"), u"CRLF"); // stored as mapped; CW Skimmer reads it as LF
    EXPECT_EQ(skimmer.LineEnding, LineEndingLf);

    GeneralSettings general;
    general.Load(ini);
    EXPECT_TRUE(general.ConnectAllOnStartup);
    EXPECT_FALSE(general.AutoReconnect);
    EXPECT_EQ(general.GlobalCommands, (std::vector<std::u16string>{u"SET/NOBEEP", u"SH/DX/20"}));
    EXPECT_EQ(general.BroadcastAddress, u"192.168.1.255");
    EXPECT_EQ(general.Port, 12060);
    EXPECT_EQ(general.ApplicationID, u"SPOTS");
    EXPECT_TRUE(general.Disabled);
    EXPECT_EQ(ini.Read(u"Window", u"Left"), u"120");
    EXPECT_EQ(ini.Read(u"Window", u"Top"), u"80");
    EXPECT_EQ(ini.Read(u"Window", u"Height"), u"560");
    EXPECT_FALSE(ini.Read(u"Window", u"Width").has_value());
    ExpectOldSectionsGone();

    // The next start finds nothing to do.
    messages.clear();
    EXPECT_EQ(MigrateV1Settings(path, messages), -1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MigrateV1Test, ImportedIdsFollowTheConnectionsAlreadyThere)
{
    WriteSettings(u"[Connections]\r\nOrder=4\r\nActive=4\r\nNextId=2\r\nClosed=6\r\n[Connection.4]\r\nName=four\r\n"
                  u"[Connection.6]\r\nName=six\r\n[Profiles]\r\nHostname1=a.example\r\nHostname2=b.example\r\n"
                  u"[General Settings]\r\nPosition=1 2\r\nSize=3\r\n");
    ASSERT_EQ(MigrateV1Settings(path, messages), 2);
    int active = 0, nextId = 0;
    // No DefaultProfile: profile 1 opens.
    EXPECT_EQ(LoadConnectionList(ini, active, nextId), (std::vector<int>{4, 7}));
    EXPECT_EQ(active, 7);
    EXPECT_EQ(nextId, 9);
    EXPECT_EQ(LoadClosedConnections(ini), (std::vector<int>{6, 8}));
    EXPECT_EQ(GetConnectionDisplayName(ini, 8), u"b.example");
    GeneralSettings general;
    general.Load(ini);
    EXPECT_FALSE(general.ConnectAllOnStartup);
    EXPECT_TRUE(general.AutoReconnect);
    EXPECT_EQ(general.ApplicationID, u"TELNET");
    EXPECT_FALSE(ini.Read(u"Window", u"Left").has_value()); // the size has one number only
}

TEST_F(MigrateV1Test, ProfilesWithoutAHostStillEndTheMigration)
{
    WriteSettings(u"[Profiles]\r\nProfile1=empty\r\nHostname1=\r\n[General Settings]\r\nPosition=1 2\r\nSize=3 4\r\n"
                  u"[DxCluster Settings]\r\nAutoConnect=1\r\n");
    EXPECT_EQ(MigrateV1Settings(path, messages), 0);
    ExpectOldSectionsGone();
    EXPECT_FALSE(HasMessageStartingWith(u"v1 migration: the INI file"));
    // The user's later changes of the general settings are not reset at the next start.
    ini.Write(u"General", u"ConnectAllOnStartup", u"0");
    messages.clear();
    EXPECT_EQ(MigrateV1Settings(path, messages), -1);
    EXPECT_EQ(ini.Read(u"General", u"ConnectAllOnStartup"), u"0");
}

TEST_F(MigrateV1Test, AFailedBackupIsReportedAndTheMigrationGoesOn)
{
    WriteSettings(u"[Profiles]\r\nHostname1=a.example\r\n");
    ASSERT_TRUE(::CreateDirectoryW(W(GetV1BackupPath(path)), nullptr));
    EXPECT_EQ(MigrateV1Settings(path, messages), 1);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].starts_with(u"v1 migration: backup to " + GetV1BackupPath(path) + u" failed (error "))
        << Utf16ToUtf8(messages[1]);
    EXPECT_TRUE(messages[1].ends_with(u")"));
    ExpectOldSectionsGone();
}

TEST_F(MigrateV1Test, AnUnwritableFileIsReported)
{
    WriteSettings(u"[Profiles]\r\nHostname1=a.example\r\nHostname2=b.example\r\n");
    // Another program holds the file open for reading only.
    HANDLE holder = ::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(MigrateV1Settings(path, messages), 2);
    ::CloseHandle(holder);
    EXPECT_TRUE(HasMessageStartingWith(u"v1 migration: the INI file could not be written (access rights?)"));
    EXPECT_FALSE(ini.KeysOf(u"Profiles").empty());
}

TEST_F(MigrateV1Test, AnAnsiFileWithTheCurrencySignAsSeparator)
{
    char sign[4] = {};
    BOOL defaultUsed = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, L"\u00A4", 1, sign, sizeof sign, nullptr, &defaultUsed);
    if (n != 1 || defaultUsed) GTEST_SKIP() << "the ANSI code page has no currency sign";
    ASSERT_TRUE(test::WriteFileBytes(path, std::string("[Profiles]\r\nHostname1=a.example\r\nCommands1=ONE") + sign +
                                               "TWO\r\n"));
    ASSERT_EQ(MigrateV1Settings(path, messages), 1);
    CConnectionSettings s;
    ASSERT_TRUE(s.Load(ini, 1));
    EXPECT_EQ(s.Commands, (std::vector<std::u16string>{u"ONE", u"TWO"}));
}

TEST_F(MigrateV1Test, NothingToDoWithoutProfiles)
{
    WriteSettings(u"[Profiles]\r\n[General Settings]\r\nPosition=1 2\r\n");
    EXPECT_EQ(MigrateV1Settings(path, messages), -1);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(ini.KeysOf(u"General Settings").empty());
    EXPECT_EQ(::GetFileAttributesW(W(GetV1BackupPath(path))), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(MigrateV1Settings(dir.File(u"missing.ini"), messages), -1);
}

TEST_F(MigrateV1Test, TheNoticeNamesTheRealBackupFile)
{
    EXPECT_EQ(FormatV1ImportNotice(2, u"D:\\contest\\cqww.ini"),
              u"2 connection(s) imported from Kestrivane v1 (backup: cqww.ini.v1.bak)");
    EXPECT_EQ(FormatV1ImportNotice(0, u"C:\\ProgramData\\Quarnel\\cfg\\Kestrivane.ini"),
              u"0 connection(s) imported from Kestrivane v1 (backup: Kestrivane.ini.v1.bak)");
}
