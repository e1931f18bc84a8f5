#include <gtest/gtest.h>

#include "app/CConnectionSettingsDlg.h"
#include "app/CKestrivaneApp.h"
#include "app/ISpotFiltersHost.h"
#include "resources/resource.h"
#include "tests/app/ModalDialogDriver.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"
#include "win/Win32.h"

#include <commctrl.h>

using namespace kv;
using namespace kv::test;

namespace {

class ConnectionSettingsDlgTest : public ::testing::Test {
protected:
    ConnectionSettingsDlgTest()
    {
        app.DefaultCfgFolder = dir.Path() + u"\\";
        app.IniPath = dir.File(u"Kestrivane.ini");
    }

    // The settings of a new connection as the New command proposes them.
    static CConnectionSettings NewSettings()
    {
        CConnectionSettings settings;
        settings.Name = u"Connection 2";
        return settings;
    }

    static CConnectionSettings TelnetSettings()
    {
        CConnectionSettings settings;
        settings.Name = u"Alpha";
        settings.Host = u"dx.example.org";
        settings.Port = 7300;
        settings.Login = u"F6ABC";
        settings.DxSummitInterval = 45;
        return settings;
    }

    INT_PTR Run(CConnectionSettingsDlg& dialog, std::function<void(HWND)> script)
    {
        dialog.Messages.Show = messages.Recorder();
        return RunModalScript(dialog, std::move(script));
    }

    CTempDir dir;
    CKestrivaneApp app;
    RecordedMessages messages;
};

// The view as the spot filters see it: four global levels and two connections.
class CFakeFiltersHost : public ISpotFiltersHost {
public:
    CFakeFiltersHost()
    {
        for (int i = 0; i < 4; ++i) {
            SpotFilterLevel global;
            global.LevelIndex = i;
            levels.push_back(global);
        }
        levels.push_back(Connection(7, u"Alpha"));
        levels.push_back(Connection(9, u"Bravo"));
    }
    void GetSpotFilterLevels(std::vector<SpotFilterLevel>& out) override
    {
        ++gets;
        out = levels;
    }
    void SetSpotFilterLevels(const std::vector<SpotFilterLevel>& in) override { stored.push_back(in); }

    std::vector<SpotFilterLevel> levels;
    int gets = 0;
    std::vector<std::vector<SpotFilterLevel>> stored;

private:
    static SpotFilterLevel Connection(int id, const std::u16string& name)
    {
        SpotFilterLevel level;
        level.IsConnection = true;
        level.ConnectionId = id;
        level.Name = name;
        level.ClusterSoftware = DXSpider;
        level.Filters.dxCalls = u"K1*";
        return level;
    }
};

// In the spot filters dialog that the button opens: words typed, out-of-band rejection off, OK.
void EditFiltersOnOpen(HWND owner)
{
    ScriptNextModal([](HWND filters) {
        SetItemText(filters, IDC_SF_WORDS, u"QRT");
        Click(filters, IDC_SF_REJECT_OUT_OF_BAND);
        Press(filters, IDOK);
    }, [owner] { return FindOwnedDialog(owner); });
}

// Leaves the host field as the user does, by moving the focus on.
void LeaveHostField(HWND dialog)
{
    ::SendMessageW(dialog, WM_NEXTDLGCTL, WPARAM(::GetDlgItem(dialog, IDC_CONN_HOST)), TRUE);
    ::SendMessageW(dialog, WM_NEXTDLGCTL, WPARAM(::GetDlgItem(dialog, IDC_CONN_LOGIN)), TRUE);
}

} // namespace

TEST_F(ConnectionSettingsDlgTest, OkReportsOneFaultAtATimeInItsOrderAndFocusesTheField)
{
    CConnectionSettingsDlg dialog(NewSettings(), {u"Alpha", u"Bravo"}, false, nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_NAME, u"  ");
        SetItemText(d, IDC_CONN_HOST, u"");
        SetItemText(d, IDC_CONN_PORT, u"0");
        SetItemText(d, IDC_CONN_LOGIN, u"F6 ABC");
        const auto pressOk = [&](const std::u16string& expected, int field) {
            const size_t before = messages.Count();
            Press(d, IDOK);
            EXPECT_EQ(messages.Count(), before + 1) << "one message per fault";
            EXPECT_EQ(messages.Last(), expected);
            EXPECT_EQ(messages.shown.back().type, UINT(MB_OK | MB_ICONWARNING));
            EXPECT_TRUE(IsFocusedWithAllSelected(d, field));
        };
        pressOk(u"Enter an integer between 1 and 65535.", IDC_CONN_PORT);
        SetItemText(d, IDC_CONN_PORT, u"7300");
        pressOk(u"Enter a name for the connection.", IDC_CONN_NAME);
        SetItemText(d, IDC_CONN_NAME, u"bravo");
        pressOk(u"Another connection is already named \"bravo\". Choose another name.", IDC_CONN_NAME);
        SetItemText(d, IDC_CONN_NAME, u" Charlie ");
        pressOk(u"Enter the host name or the IP address of the DX cluster.", IDC_CONN_HOST);
        SetItemText(d, IDC_CONN_HOST, u"dx.example.org:0");
        pressOk(u"The host \"dx.example.org:0\" is not a valid host name or IPv4 address.", IDC_CONN_HOST);
        SetItemText(d, IDC_CONN_HOST, u"telnet dx.example.org 7000"); // pasted and not yet left
        pressOk(u"The login may only contain letters, digits, \"/\" and \"-\" (no space).", IDC_CONN_LOGIN);
        SetItemText(d, IDC_CONN_LOGIN, u" F6ABC/P ");
        SetItemText(d, IDC_CONN_COMMANDS, u"set/page 0\r\n\r\n sh/dx \r\n");
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(messages.Count(), 6u);
    EXPECT_EQ(dialog.Settings.Name, u"Charlie");
    EXPECT_EQ(dialog.Settings.Host, u"dx.example.org");
    EXPECT_EQ(dialog.Settings.Port, 7000);
    EXPECT_EQ(dialog.Settings.Login, u"F6ABC/P");
    EXPECT_EQ(dialog.Settings.Commands, (std::vector<std::u16string>{u"set/page 0", u"sh/dx"}));
}

TEST_F(ConnectionSettingsDlgTest, EmptyLoginIsAskedAboutAndCancelReturnsToTheField)
{
    CConnectionSettings settings = TelnetSettings();
    settings.Login.clear();
    CConnectionSettingsDlg dialog(settings, {}, true, nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        messages.answer = IDCANCEL;
        Press(d, IDOK);
        ASSERT_EQ(messages.Count(), 1u);
        EXPECT_EQ(messages.shown[0].type, UINT(MB_OKCANCEL | MB_ICONWARNING));
        EXPECT_NE(messages.Last().find(u"manual login"), std::u16string::npos);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDC_CONN_LOGIN));
        messages.answer = IDOK;
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(messages.Count(), 2u);
    EXPECT_TRUE(dialog.Settings.Login.empty());
}

TEST_F(ConnectionSettingsDlgTest, HostAndLoginFieldsSwallowWhatTheyMayNotHold)
{
    CConnectionSettingsDlg dialog(NewSettings(), {}, false, nullptr);
    Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_HOST, u"");
        Type(d, IDC_CONN_HOST, u"dx .Ex_am/ple-1:7300\u00E9");
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"dx.Example-1:7300");
        Type(d, IDC_CONN_HOST, u"\b\b\b\b\b");
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"dx.Example-1") << "control characters still work";
        SetItemText(d, IDC_CONN_LOGIN, u"");
        Type(d, IDC_CONN_LOGIN, u"f6abc/p-1 .:x");
        EXPECT_EQ(ItemText(d, IDC_CONN_LOGIN), u"f6abc/p-1x");
        Type(d, IDC_CONN_LOGIN, u"\x7f"); // Ctrl+Backspace passes the filter and deletes a word
        EXPECT_EQ(ItemText(d, IDC_CONN_LOGIN), u"f6abc/p-");
        SetItemText(d, IDC_CONN_COMMANDS, u"sh/dx 30");
        ::SendDlgItemMessageW(d, IDC_CONN_COMMANDS, EM_SETSEL, 8, 8);
        Type(d, IDC_CONN_COMMANDS, u"\x7f");
        EXPECT_EQ(ItemText(d, IDC_CONN_COMMANDS), u"sh/dx ");
        SetItemText(d, IDC_CONN_NAME, u"");
        Type(d, IDC_CONN_NAME, u"A /:_");
        EXPECT_EQ(ItemText(d, IDC_CONN_NAME), u"A /:_") << "the name field takes anything";
    });
}

TEST_F(ConnectionSettingsDlgTest, PastedAddressBecomesHostAndPortWhenTheFieldIsLeft)
{
    CConnectionSettingsDlg dialog(TelnetSettings(), {}, true, nullptr);
    Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_HOST, u"  telnet dx2.example.org 7000 ");
        LeaveHostField(d);
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"dx2.example.org");
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"7000");
        SetItemText(d, IDC_CONN_HOST, u"https://www.example.org/cluster");
        LeaveHostField(d);
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"www.example.org");
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"7000") << "a web address names no port";
        SetItemText(d, IDC_CONN_PORT, u"");
        SetItemText(d, IDC_CONN_HOST, u"http://www.example.org");
        LeaveHostField(d);
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"") << "no port is made up";
        SetItemText(d, IDC_CONN_HOST, u"fe80::1:23");
        LeaveHostField(d);
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"fe80::1:23") << "several colons are never split";
    });
}

TEST_F(ConnectionSettingsDlgTest, TypeChangesEnableTheirControlsAndCwSkimmerProposesItsDefaults)
{
    CConnectionSettingsDlg dialog(NewSettings(), {u"CW Skimmer"}, false, nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(d, IDC_CONN_DELETE))) << "a new connection has nothing to delete";
        EXPECT_EQ(SelectedItem(d, IDC_CONN_TYPE), 0);
        EXPECT_TRUE(IsItemEnabled(d, IDC_CONN_LINE_ENDING));
        EXPECT_FALSE(IsItemEnabled(d, IDC_CONN_CHOOSE_CLUSTER)) << "no node list";
        EXPECT_FALSE(IsItemEnabled(d, IDC_CONN_DXSUMMIT_INTERVAL));
        EXPECT_FALSE(IsItemEnabled(d, IDC_CONN_FOLLOW_RADIO));
        EXPECT_FALSE(IsItemEnabled(d, IDC_CONN_SPOT_FILTERS)) << "no filters host";

        ChooseItem(d, IDC_CONN_TYPE, ConnectionDxSummit);
        for (int id : {IDC_CONN_HOST, IDC_CONN_PORT, IDC_CONN_PASSWORD, IDC_CONN_LINE_ENDING, IDC_CONN_COMMANDS,
                       IDC_CONN_CHOOSE_CLUSTER, IDC_CONN_FOLLOW_RADIO, IDC_CONN_RADIO, IDC_CONN_STATION_NAME})
            EXPECT_FALSE(IsItemEnabled(d, id)) << id;
        for (int id : {IDC_CONN_LOGIN, IDC_CONN_DXSUMMIT_INTERVAL, IDC_CONN_DXSUMMIT_INTERVAL_LABEL,
                       IDC_CONN_DXSUMMIT_ALL_SPOTS})
            EXPECT_TRUE(IsItemEnabled(d, id)) << id;

        ChooseItem(d, IDC_CONN_TYPE, ConnectionCwSkimmer);
        EXPECT_EQ(ItemText(d, IDC_CONN_NAME), u"CW Skimmer 2");
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"127.0.0.1");
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"7300");
        EXPECT_TRUE(IsChecked(d, IDC_CONN_FOLLOW_RADIO));
        EXPECT_TRUE(IsChecked(d, IDC_CONN_NO_SPOTS_FROM_QUARNEL));
        EXPECT_EQ(SelectedItem(d, IDC_CONN_LINE_ENDING), int(LineEndingLf));
        EXPECT_FALSE(IsItemEnabled(d, IDC_CONN_LINE_ENDING));
        EXPECT_TRUE(IsItemEnabled(d, IDC_CONN_RADIO));
        EXPECT_TRUE(IsItemEnabled(d, IDC_CONN_STATION_NAME));
        Click(d, IDC_CONN_FOLLOW_RADIO); // unchecked: the radio fields go grey
        for (int id : {IDC_CONN_RADIO_LABEL, IDC_CONN_RADIO, IDC_CONN_STATION_LABEL, IDC_CONN_STATION_NAME})
            EXPECT_FALSE(IsItemEnabled(d, id)) << id;
        ScreenshotOf(d, u"connection-settings-cw-skimmer");

        ChooseItem(d, IDC_CONN_TYPE, ConnectionTelnet);
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"127.0.0.1") << "switching back keeps the address";
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"7300");
        EXPECT_TRUE(IsItemEnabled(d, IDC_CONN_LINE_ENDING));
        ChooseItem(d, IDC_CONN_TYPE, ConnectionCwSkimmer);
        SetItemText(d, IDC_CONN_LOGIN, u"F6ABC");
        SetItemText(d, IDC_CONN_STATION_NAME, u"");
        ChooseItem(d, IDC_CONN_LINE_ENDING, 0);
        EXPECT_TRUE(IsChecked(d, IDC_CONN_FOLLOW_RADIO)) << "switching to CW Skimmer checks QSY again";
        Press(d, IDOK);
        EXPECT_EQ(messages.Last(),
                  u"Enter the name of the Quarnel station whose radio is followed (STN1 for instance).");
        EXPECT_TRUE(IsFocusedWithAllSelected(d, IDC_CONN_STATION_NAME));
        Click(d, IDC_CONN_FOLLOW_RADIO);
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK) << "not following a radio, the empty station name is no fault";
    EXPECT_EQ(messages.Count(), 1u);
    EXPECT_EQ(dialog.Settings.Type, ConnectionCwSkimmer);
    EXPECT_EQ(dialog.Settings.LineEnding, LineEndingLf);
    EXPECT_FALSE(dialog.Settings.CwSkimmer);
    EXPECT_EQ(dialog.Settings.CwSkimmerStationName, u"STN1") << "an empty station name keeps the old one";
}

TEST_F(ConnectionSettingsDlgTest, TypedNameAndHostSurviveTheSwitchToCwSkimmer)
{
    CConnectionSettingsDlg dialog(NewSettings(), {}, false, nullptr);
    Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_NAME, u"Home skimmer");
        SetItemText(d, IDC_CONN_HOST, u"192.168.1.20");
        ChooseItem(d, IDC_CONN_TYPE, ConnectionCwSkimmer);
        EXPECT_EQ(ItemText(d, IDC_CONN_NAME), u"Home skimmer");
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"192.168.1.20");
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"23");
    });
}

TEST_F(ConnectionSettingsDlgTest, ReadingIntervalIsCheckedForDxSummitOnly)
{
    CConnectionSettingsDlg telnet(TelnetSettings(), {}, true, nullptr);
    EXPECT_EQ(Run(telnet, [&](HWND d) {
        ::EnableWindow(::GetDlgItem(d, IDC_CONN_DXSUMMIT_INTERVAL), TRUE);
        SetItemText(d, IDC_CONN_DXSUMMIT_INTERVAL, u"14");
        Press(d, IDOK);
    }), IDOK);
    EXPECT_EQ(telnet.Settings.DxSummitInterval, 45) << "out of range: the old value stays";

    CConnectionSettings settings = TelnetSettings();
    settings.Type = ConnectionDxSummit;
    settings.Host.clear();
    CConnectionSettingsDlg dxSummit(settings, {}, true, nullptr);
    EXPECT_EQ(Run(dxSummit, [&](HWND d) {
        SetItemText(d, IDC_CONN_DXSUMMIT_INTERVAL, u"14");
        Press(d, IDOK);
        EXPECT_EQ(messages.Last(), u"The reading interval must be between 15 and 600 seconds.");
        EXPECT_TRUE(IsFocusedWithAllSelected(d, IDC_CONN_DXSUMMIT_INTERVAL));
        SetItemText(d, IDC_CONN_DXSUMMIT_INTERVAL, u"x");
        Press(d, IDOK);
        EXPECT_EQ(messages.Last(), u"Enter a positive integer.");
        SetItemText(d, IDC_CONN_DXSUMMIT_INTERVAL, u"120");
        Click(d, IDC_CONN_DXSUMMIT_ALL_SPOTS);
        Press(d, IDOK);
    }), IDOK) << "the host of a DX Summit connection is not checked";
    EXPECT_EQ(messages.Count(), 2u);
    EXPECT_EQ(dxSummit.Settings.DxSummitInterval, 120);
    EXPECT_TRUE(dxSummit.Settings.DxSummitAllSpots);
}

TEST_F(ConnectionSettingsDlgTest, FilterSummaryFollowsTheTypeShown)
{
    app.GlobalFilters.texts[int(GlobalSpotFilterLevel::TelnetConnections)].words = u"QRT";
    app.GlobalFilters.texts[int(GlobalSpotFilterLevel::CwSkimmerConnections)].spotterCalls = u"DL*";
    CConnectionSettings settings = TelnetSettings();
    settings.Filters.spotterContinents = u"NA";
    CConnectionSettingsDlg dialog(settings, {}, true, nullptr);
    Run(dialog, [&](HWND d) {
        EXPECT_EQ(ItemText(d, IDC_CONN_FILTER_SUMMARY), u"Active: spotter; also: Telnet connections");
        ChooseItem(d, IDC_CONN_TYPE, ConnectionCwSkimmer);
        EXPECT_EQ(ItemText(d, IDC_CONN_FILTER_SUMMARY), u"No filter") << "no spotter criteria for CW Skimmer";
        app.GlobalFilters.allFiltersDisabled = true;
        ChooseItem(d, IDC_CONN_TYPE, ConnectionDxSummit);
        EXPECT_EQ(ItemText(d, IDC_CONN_FILTER_SUMMARY),
                  u"All the spot filters are disabled (Tools menu). Active: spotter");
        ScreenshotOf(d, u"connection-settings-dx-summit");
    });
}

TEST_F(ConnectionSettingsDlgTest, SpotFiltersEditThisConnectionsLevelKeptUntilOk)
{
    CFakeFiltersHost host;
    CConnectionSettings settings = TelnetSettings();
    settings.Filters.dxCalls = u"K1*";
    CConnectionSettingsDlg dialog(settings, {u"Bravo"}, true, nullptr);
    dialog.ConnectionId = 7;
    dialog.FiltersHost = &host;
    const INT_PTR result = Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_NAME, u" Alpha 2 ");
        ASSERT_TRUE(IsItemEnabled(d, IDC_CONN_SPOT_FILTERS));
        EditFiltersOnOpen(d);
        Click(d, IDC_CONN_SPOT_FILTERS);
        EXPECT_EQ(host.gets, 1);
        ASSERT_EQ(host.stored.size(), 1u);
        const std::vector<SpotFilterLevel>& handed = host.stored[0];
        ASSERT_EQ(handed.size(), 6u) << "the connection's own level replaced, none appended";
        const SpotFilterLevel& own = handed[4];
        EXPECT_TRUE(own.BeingEdited) << "so that the host does not store it";
        EXPECT_EQ(own.ConnectionId, 7);
        EXPECT_EQ(own.Name, u"Alpha 2");
        EXPECT_EQ(own.ClusterSoftware, DXSpider);
        EXPECT_EQ(own.Filters.words, u"QRT");
        EXPECT_FALSE(handed[5].BeingEdited);
        EXPECT_EQ(ItemText(d, IDC_CONN_FILTER_SUMMARY), u"Active: DX, words");
        EXPECT_FALSE(app.GlobalFilters.rejectOutOfBand);
        EXPECT_EQ(CIniFile(app.IniPath).ReadString(u"SpotFilters", u"RejectOutOfBand"), u"0") << "written at once";
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.Settings.Filters, settings.Filters) << "the connection's filters are saved by OK alone";
}

TEST_F(ConnectionSettingsDlgTest, NewConnectionsFiltersAreAppendedAsALevelAndStoredByOk)
{
    CFakeFiltersHost host;
    CConnectionSettingsDlg dialog(NewSettings(), {}, false, nullptr);
    dialog.FiltersHost = &host;
    const INT_PTR result = Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_CONN_HOST, u"dx.example.org");
        SetItemText(d, IDC_CONN_LOGIN, u"F6ABC");
        EditFiltersOnOpen(d);
        Click(d, IDC_CONN_SPOT_FILTERS);
        ASSERT_EQ(host.stored.size(), 1u);
        ASSERT_EQ(host.stored[0].size(), 7u);
        EXPECT_TRUE(host.stored[0][6].BeingEdited);
        EXPECT_EQ(host.stored[0][6].ConnectionId, 0);
        EXPECT_EQ(host.stored[0][6].Name, u"Connection 2");
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.Settings.Filters.words, u"QRT");
}

TEST_F(ConnectionSettingsDlgTest, ChosenClusterFillsNameHostAndPort)
{
    ASSERT_TRUE(WriteFileBytes(dir.File(u"cluster.dat"), "K1TTT,dx.example.org,7373\r\n"));
    CConnectionSettingsDlg dialog(NewSettings(), {}, false, nullptr);
    Run(dialog, [&](HWND d) {
        ScriptNextModal([](HWND chooser) {
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendDlgItemMessageW(chooser, 1063, LVM_SETITEMSTATE, 0, LPARAM(&item));
            Press(chooser, IDOK);
        }, [d] { return FindOwnedDialog(d); });
        Click(d, IDC_CONN_CHOOSE_CLUSTER);
        EXPECT_EQ(ItemText(d, IDC_CONN_NAME), u"K1TTT");
        EXPECT_EQ(ItemText(d, IDC_CONN_HOST), u"dx.example.org");
        EXPECT_EQ(ItemText(d, IDC_CONN_PORT), u"7373");
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDC_CONN_LOGIN));
    });
}

TEST_F(ConnectionSettingsDlgTest, EditFormOffersDeleteAndTheChooserWithANodeList)
{
    ASSERT_TRUE(WriteFileBytes(dir.File(u"cluster.dat"), "K1TTT,dx.example.org,7373\r\n"));
    CConnectionSettingsDlg dialog(TelnetSettings(), {}, true, nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        EXPECT_TRUE(IsItemEnabled(d, IDC_CONN_CHOOSE_CLUSTER));
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(d, IDC_CONN_DELETE)));
        ScreenshotOf(d, u"connection-settings-telnet");
        Click(d, IDC_CONN_DELETE);
    });
    EXPECT_EQ(result, kConnectionSettingsDelete);
    EXPECT_EQ(dialog.Settings.Name, u"Alpha") << "Delete stores nothing";
}
