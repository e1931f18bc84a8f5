#include <gtest/gtest.h>

#include "connections/GeneralSettings.h"
#include "connections/GetDefaultBroadcastAddress.h"
#include "connections/IniNumberedKeys.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using kv::test::CTempDir;
using Texts = std::vector<std::u16string>;

class GeneralSettingsTest : public testing::Test {
protected:
    void SetUp() override { ::WSAStartup(MAKEWORD(2, 2), &wsa); }
    void TearDown() override { ::WSACleanup(); }

    GeneralSettings LoadFrom(const std::string& text)
    {
        EXPECT_TRUE(test::WriteFileBytes(ini.Path(), text));
        GeneralSettings settings;
        settings.Load(ini);
        return settings;
    }

    WSADATA wsa{};
    CTempDir dir;
    CIniFile ini{dir.File(u"Kestrivane.ini")};
};

TEST_F(GeneralSettingsTest, AnEmptyFileGivesTheDefaults)
{
    const GeneralSettings s = LoadFrom("");
    EXPECT_EQ(s.FontFace, u"Consolas");
    EXPECT_EQ(s.FontSize, 10);
    EXPECT_EQ(s.ReceiveMaxLines, 5000);
    EXPECT_FALSE(s.ConnectAllOnStartup);
    EXPECT_TRUE(s.AutoReconnect);
    EXPECT_EQ(s.CommandDelay, 500);
    EXPECT_EQ(s.LostConnectionDelay, 60);
    EXPECT_TRUE(s.GlobalCommands.empty());
    EXPECT_EQ(s.BroadcastAddress, GetDefaultBroadcastAddress());
    IN_ADDR address{};
    EXPECT_EQ(::InetPtonW(AF_INET, W(s.BroadcastAddress), &address), 1);
    EXPECT_EQ(s.Port, 9871);
    EXPECT_EQ(s.ApplicationID, u"TELNET");
    EXPECT_FALSE(s.Disabled);
    EXPECT_TRUE(s.SendSpotsOnce && s.TranslateCommands && s.GabAlerts);
    EXPECT_EQ(s.GabStations, Texts{u"STN1"});
}

TEST_F(GeneralSettingsTest, NumbersOutOfRangeFallBackToTheirDefaultNotToTheBound)
{
    struct Case {
        const char* section;
        const char* line;
        int GeneralSettings::*field;
        int expected;
    };
    const Case cases[] = {
        {"General", "FontSize=40", &GeneralSettings::FontSize, 10},
        {"General", "FontSize=5", &GeneralSettings::FontSize, 10},
        {"General", "FontSize=36", &GeneralSettings::FontSize, 36},
        {"General", "FontSize=twelve", &GeneralSettings::FontSize, 10},
        {"General", "ReceiveMaxLines=99", &GeneralSettings::ReceiveMaxLines, 5000},
        {"General", "ReceiveMaxLines=100000", &GeneralSettings::ReceiveMaxLines, 100000},
        {"General", "CommandDelay=0", &GeneralSettings::CommandDelay, 0},
        {"General", "CommandDelay=10001", &GeneralSettings::CommandDelay, 500},
        {"General", "CommandDelay=99999999999999999999", &GeneralSettings::CommandDelay, 500},
        {"General", "LostConnectionDelay=20", &GeneralSettings::LostConnectionDelay, 60},
        {"General", "LostConnectionDelay=300", &GeneralSettings::LostConnectionDelay, 300},
        {"Network", "Port=70000", &GeneralSettings::Port, 9871},
        {"Network", "Port=0", &GeneralSettings::Port, 9871},
        {"Network", "Port=-5", &GeneralSettings::Port, 9871},
        {"Network", "Port=1", &GeneralSettings::Port, 1},
        {"Network", "Port=65535", &GeneralSettings::Port, 65535},
    };
    for (const auto& c : cases) {
        const GeneralSettings s = LoadFrom(std::string("[") + c.section + "]\r\n" + c.line + "\r\n");
        EXPECT_EQ(s.*c.field, c.expected) << c.line;
    }
    EXPECT_EQ(LoadFrom("[General]\r\nFontFace=  \r\n").FontFace, u"Consolas");
    EXPECT_EQ(LoadFrom("[General]\r\nFontFace= Lucida Console \r\n").FontFace, u"Lucida Console");
}

TEST_F(GeneralSettingsTest, SwitchesAreTrueWhenNotZero)
{
    const GeneralSettings s = LoadFrom("[General]\r\nConnectAllOnStartup=2\r\nAutoReconnect=0\r\n"
                                       "[Network]\r\nDisabled=-1\r\nSendSpotsOnce=0\r\nTranslateCommands=0\r\n"
                                       "GabAlerts=0\r\nApplicationID=RUN2\r\n");
    EXPECT_TRUE(s.ConnectAllOnStartup);
    EXPECT_FALSE(s.AutoReconnect);
    EXPECT_TRUE(s.Disabled);
    EXPECT_FALSE(s.SendSpotsOnce || s.TranslateCommands || s.GabAlerts);
    EXPECT_EQ(s.ApplicationID, u"RUN2");
}

TEST_F(GeneralSettingsTest, BroadcastAddressIsTrimmedAndAllOnesIsReplacedAndSavedSo)
{
    EXPECT_EQ(LoadFrom("[Network]\r\nBroadcastAddress=  192.168.1.255  \r\n").BroadcastAddress, u"192.168.1.255");
    GeneralSettings s = LoadFrom("[Network]\r\nBroadcastAddress=255.255.255.255\r\n");
    EXPECT_EQ(s.BroadcastAddress, GetDefaultBroadcastAddress());
    s.Save(ini);
    EXPECT_EQ(ini.Read(u"Network", u"BroadcastAddress"), GetDefaultBroadcastAddress());
}

TEST_F(GeneralSettingsTest, GabStationsMissingGiveStn1PresentAndEmptyGiveNone)
{
    EXPECT_EQ(LoadFrom("[Network]\r\n").GabStations, Texts{u"STN1"});
    EXPECT_TRUE(LoadFrom("[Network]\r\nGabStations=\r\n").GabStations.empty());
    EXPECT_EQ(LoadFrom("[Network]\r\nGabStations=stn1, STN2;;  Stn1  STN3\r\n").GabStations,
              (Texts{u"stn1", u"STN2", u"STN3"}));
}

TEST_F(GeneralSettingsTest, SaveWritesEveryKeyAndLoadsBackTheSameRecord)
{
    GeneralSettings s;
    s.FontFace = u"DejaVu Sans Mono";
    s.FontSize = 12;
    s.ReceiveMaxLines = 20000;
    s.ConnectAllOnStartup = true;
    s.AutoReconnect = false;
    s.CommandDelay = 250;
    s.LostConnectionDelay = 120;
    s.GlobalCommands = {u"set/name Op", u"\"quoted\"", u"sh/dx 5"};
    s.BroadcastAddress = u"192.168.7.255";
    s.Port = 12060;
    s.ApplicationID = u"T\u00c9L";
    s.Disabled = true;
    s.SendSpotsOnce = false;
    s.TranslateCommands = false;
    s.GabAlerts = false;
    s.GabStations = {u"RUN", u"MULT"};
    s.Save(ini);
    EXPECT_EQ(ini.Read(u"General", u"ConfigVersion"), u"2");
    EXPECT_EQ(ini.KeysOf(u"General").front(), u"ConfigVersion");
    EXPECT_EQ(ini.Read(u"General", u"AutoReconnect"), u"0");
    EXPECT_EQ(ini.Read(u"Network", u"GabStations"), u"RUN MULT");
    EXPECT_EQ(ini.Read(u"GlobalCommands", u"Command2"), u"\"quoted\"");

    GeneralSettings back;
    back.Load(ini);
    EXPECT_TRUE(back == s);
}

TEST_F(GeneralSettingsTest, NumberedKeysEndAtTheFirstMissingKeyNotAtAnEmptyOne)
{
    ASSERT_TRUE(test::WriteFileBytes(ini.Path(), "[GlobalCommands]\r\nCommand1=a\r\nCommand2=\r\nCommand3= c \r\n"
                                                 "[Other]\r\nCommand1=x\r\nCommand3=z\r\n"));
    EXPECT_EQ(ReadNumberedKeys(ini, u"GlobalCommands", u"Command"), (Texts{u"a", u"c"}));
    EXPECT_EQ(ReadNumberedKeys(ini, u"Other", u"Command"), Texts{u"x"});
    EXPECT_TRUE(ReadNumberedKeys(ini, u"Absent", u"Command").empty());
}

TEST_F(GeneralSettingsTest, WritingAShorterListDeletesTheKeysBeyondIt)
{
    WriteNumberedKeys(ini, u"GlobalCommands", u"Command", {u"1", u"2", u"3", u"4", u"5"});
    ini.Write(u"GlobalCommands", u"Command7", u"after a gap");
    WriteNumberedKeys(ini, u"GlobalCommands", u"Command", {u"one", u""});
    EXPECT_EQ(ini.Read(u"GlobalCommands", u"Command1"), u"one");
    EXPECT_EQ(ini.Read(u"GlobalCommands", u"Command2"), u"");
    for (int i = 3; i <= 5; ++i) EXPECT_FALSE(ini.Read(u"GlobalCommands", NumberedKey(u"Command", i)).has_value());
    // Deleting stops at the first missing key: what stands after a gap is not the list's.
    EXPECT_EQ(ini.Read(u"GlobalCommands", u"Command7"), u"after a gap");
    WriteWindowInt(ini, u"SplitterPos", -12);
    EXPECT_EQ(ini.Read(u"Window", u"SplitterPos"), u"-12");
}
