#include <gtest/gtest.h>

#include "connections/CConnectionSettings.h"
#include "connections/ConnectionList.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using kv::test::CTempDir;

namespace {

class ConnectionSettingsIniTest : public testing::Test {
protected:
    CTempDir dir;
    std::u16string path = dir.File(u"Kestrivane.ini");
    CIniFile ini{path};

    // A settings file written by hand, as a user or an earlier version left it.
    void WriteSettings(const std::string& text) { ASSERT_TRUE(test::WriteFileBytes(path, text)); }
};

} // namespace

TEST_F(ConnectionSettingsIniTest, AMissingOrEmptySectionLeavesTheRecordAlone)
{
    WriteSettings("[Connection.2]\r\n[Connection.3]\r\nName=x\r\n");
    CConnectionSettings s;
    s.Name = u"kept";
    s.Commands = {u"SH/DX"};
    EXPECT_FALSE(s.Load(ini, 1));
    EXPECT_FALSE(s.Load(ini, 2));
    EXPECT_EQ(s.Name, u"kept");
    EXPECT_EQ(s.Commands, std::vector<std::u16string>{u"SH/DX"});
    EXPECT_TRUE(s.Load(ini, 3));
    EXPECT_EQ(s.Name, u"x");
    EXPECT_TRUE(s.Commands.empty());
}

TEST_F(ConnectionSettingsIniTest, DefaultsRangesAndNameFallbacks)
{
    WriteSettings("[Connection.1]\r\nHost=gb7djk.example\r\nPort=0\r\nDxSummitInterval=5\r\n"
                  "[Connection.2]\r\nName=  \r\nHost=k1ttt.example\r\nPort=70000\r\nDxSummitInterval=900\r\n"
                  "[Connection.3]\r\nType=DXSummit\r\nPort=7300\r\nDxSummitInterval=abc\r\nLineEnding=crlf\r\n");
    CConnectionSettings a, b, c;
    ASSERT_TRUE(a.Load(ini, 1));
    ASSERT_TRUE(b.Load(ini, 2));
    ASSERT_TRUE(c.Load(ini, 3));
    EXPECT_EQ(a.Name, u"gb7djk.example");
    EXPECT_EQ(a.Port, 23);
    EXPECT_EQ(a.DxSummitInterval, 15);
    EXPECT_EQ(a.Type, ConnectionTelnet);
    EXPECT_EQ(a.LineEnding, LineEndingLf);
    EXPECT_EQ(a.CwSkimmerStationName, u"STN1");
    EXPECT_FALSE(a.Disabled);
    EXPECT_EQ(b.Name, u"k1ttt.example");
    EXPECT_EQ(b.Port, 23);
    EXPECT_EQ(b.DxSummitInterval, 600);
    EXPECT_EQ(c.Name, u"DX Summit");
    EXPECT_EQ(c.Type, ConnectionDxSummit);
    EXPECT_EQ(c.Port, 7300);
    EXPECT_EQ(c.DxSummitInterval, 15);
    EXPECT_EQ(c.LineEnding, LineEndingCrLf);
}

TEST_F(ConnectionSettingsIniTest, EveryFieldSurvivesSaveAndLoad)
{
    CConnectionSettings s;
    s.Name = u"K\u00f8benhavn \u0416";
    s.Type = ConnectionTelnet;
    s.Host = u"dx.example.org";
    s.Port = 8000;
    s.Login = u"OZ1ABC";
    s.Password = u"\"secret\"";
    s.LineEnding = LineEndingCr;
    s.Commands = {u"SET/NOBEEP", u"SH/DX/30"};
    s.NoSendToQuarnel = true;
    s.NoSpotsFromQuarnel = true;
    s.CwSkimmerRadio = 2;
    s.CwSkimmerStationName = u"RUN";
    s.DxSummitInterval = 120;
    s.DxSummitAllSpots = true;
    s.Filters.dxContinents = u"EU";
    s.Filters.words = u"\"CQ TEST\"";
    s.Filters.disabled = true;
    s.Save(ini, 4);

    CConnectionSettings r;
    ASSERT_TRUE(r.Load(ini, 4));
    EXPECT_EQ(r.Name, s.Name);
    EXPECT_EQ(r.Type, s.Type);
    EXPECT_EQ(r.Host, s.Host);
    EXPECT_EQ(r.Port, s.Port);
    EXPECT_EQ(r.Login, s.Login);
    EXPECT_EQ(r.Password, s.Password);
    EXPECT_EQ(r.LineEnding, s.LineEnding);
    EXPECT_EQ(r.Commands, s.Commands);
    EXPECT_EQ(r.NoSendToQuarnel, s.NoSendToQuarnel);
    EXPECT_EQ(r.NoSpotsFromQuarnel, s.NoSpotsFromQuarnel);
    EXPECT_EQ(r.CwSkimmerRadio, s.CwSkimmerRadio);
    EXPECT_EQ(r.CwSkimmerStationName, s.CwSkimmerStationName);
    EXPECT_EQ(r.DxSummitInterval, s.DxSummitInterval);
    EXPECT_EQ(r.DxSummitAllSpots, s.DxSummitAllSpots);
    EXPECT_EQ(r.Filters, s.Filters);

    // Empty texts are written as empty keys; the order of the keys is the documented one.
    s.Login.clear();
    s.Commands = {u"ONE"};
    s.Save(ini, 4);
    EXPECT_EQ(ini.Read(u"Connection.4", u"Login"), u"");
    EXPECT_FALSE(ini.Read(u"Connection.4", u"Command2").has_value());
    const auto keys = ini.KeysOf(u"Connection.4");
    const std::vector<std::u16string> expected = {
        u"Name", u"Type", u"DxSummitInterval", u"DxSummitAllSpots", u"FilterDxContinents", u"FilterWords",
        u"FilterDisabled", u"Host", u"Port", u"Login", u"Password", u"LineEnding", u"Command1", u"NoSendToQuarnel",
        u"NoSpotsFromQuarnel", u"CwSkimmer", u"CwSkimmerRadio", u"CwSkimmerStationName"};
    EXPECT_EQ(keys, expected);
}

TEST_F(ConnectionSettingsIniTest, OldKeysAreReadOnceAndDisappearAtTheNextSave)
{
    WriteSettings("[Connection.1]\r\nName=Skimmer\r\nType=Telnet\r\nCwSkimmer=1\r\nLineEnding=CRLF\r\nEnabled=0\r\n"
                  "FilterDxcc=DL, F\r\nDxSummitRejectFrequencies=7000-7040\r\nDxSummitRejectWords=  FT8 \r\n"
                  "FilterFrequencies=14000-14100\r\nCommand1=a\r\nCommand2=\r\nCommand3=b\r\nCommand5=lost\r\n"
                  "[Connection.2]\r\nType=cwskimmer\r\nHost=h\r\nLineEnding=CR\r\nEnabled=1\r\n");
    CConnectionSettings s;
    ASSERT_TRUE(s.Load(ini, 1));
    EXPECT_TRUE(s.Disabled);
    EXPECT_TRUE(s.Migrated);
    EXPECT_EQ(s.Type, ConnectionCwSkimmer);
    EXPECT_TRUE(s.NoSpotsFromQuarnel);
    EXPECT_EQ(s.LineEnding, LineEndingLf);
    // The old keys fill only filters that are still empty.
    EXPECT_EQ(s.Filters.frequencies, u"14000-14100");
    EXPECT_EQ(s.Filters.dxDxcc, u"DL, F");
    EXPECT_EQ(s.Filters.words, u"FT8");
    EXPECT_EQ(s.Commands, (std::vector<std::u16string>{u"a", u"b"}));

    s.Save(ini, 1);
    for (const char16_t* gone : {u"Enabled", u"FilterDxcc", u"DxSummitRejectFrequencies", u"DxSummitRejectWords",
                                 u"Command3", u"Command5"})
        EXPECT_FALSE(ini.Read(u"Connection.1", gone).has_value()) << std::u16string(gone).size();
    EXPECT_EQ(ini.Read(u"Connection.1", u"Type"), u"CWSkimmer");
    CConnectionSettings again;
    ASSERT_TRUE(again.Load(ini, 1));
    EXPECT_FALSE(again.Migrated);
    EXPECT_FALSE(again.Disabled);
    EXPECT_EQ(again.Filters.dxDxcc, u"DL, F");

    CConnectionSettings skimmer;
    ASSERT_TRUE(skimmer.Load(ini, 2));
    EXPECT_EQ(skimmer.Type, ConnectionCwSkimmer);
    EXPECT_EQ(skimmer.LineEnding, LineEndingLf);
    EXPECT_FALSE(skimmer.Migrated);
    EXPECT_FALSE(skimmer.Disabled);
}

TEST_F(ConnectionSettingsIniTest, TheListOfOpenAndClosedConnections)
{
    WriteSettings("[Connections]\r\nOrder=3,x,0,5,3,1000000001\r\nActive=5\r\nNextId=2\r\nClosed=7,9,5,7\r\n"
                  "[Connection.7]\r\nName=seven\r\n[Connection.5]\r\nName=five\r\n[Connection.9]\r\n");
    int active = -1, nextId = -1;
    EXPECT_EQ(LoadConnectionList(ini, active, nextId), (std::vector<int>{3, 5}));
    EXPECT_EQ(active, 5);
    EXPECT_EQ(nextId, 10);
    // 9 has no keys left, 5 is open, 7 stands twice.
    EXPECT_EQ(LoadClosedConnections(ini), std::vector<int>{7});

    DeleteConnectionSection(ini, 7);
    EXPECT_TRUE(LoadClosedConnections(ini).empty());

    WriteIdList(ini, u"Order", {});
    WriteIdList(ini, u"Closed", {12, 4});
    ini.Write(u"Connections", u"NextId", u"0");
    ini.DeleteKey(u"Connections", u"Active");
    EXPECT_EQ(ini.Read(u"Connections", u"Order"), u"");
    EXPECT_EQ(ini.Read(u"Connections", u"Closed"), u"12,4");
    EXPECT_TRUE(LoadConnectionList(ini, active, nextId).empty());
    EXPECT_EQ(active, 0);
    EXPECT_EQ(nextId, 13);

    CIniFile missing(dir.File(u"none.ini"));
    EXPECT_TRUE(LoadConnectionList(missing, active, nextId).empty());
    EXPECT_EQ(active, 0);
    EXPECT_EQ(nextId, 1);
}

TEST_F(ConnectionSettingsIniTest, DisplayNames)
{
    WriteSettings("[Connection.1]\r\nName=  Dover  \r\nHost=gb7djk\r\n[Connection.2]\r\nName=\r\nHost=k1ttt:7300\r\n");
    EXPECT_EQ(GetConnectionDisplayName(ini, 1), u"Dover");
    EXPECT_EQ(GetConnectionDisplayName(ini, 2), u"k1ttt:7300");
    EXPECT_EQ(GetConnectionDisplayName(ini, 3), u"");
}
