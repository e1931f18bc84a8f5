// The spot filters dialog in a real modal window under Wine, driven by messages from a timer of the test
// while its own modal loop runs: the level shown first, validation before leaving a level, the list lines,
// the spot test, and what OK hands back and writes.
#include <gtest/gtest.h>

#include <functional>

#include "app/CKestrivaneApp.h"
#include "app/CSpotFiltersDlg.h"
#include "base/Utf.h"
#include "connections/ClusterSoftware.h"
#include "resources/resource.h"
#include "spots/CCtyFileLoader.h"
#include "tests/app/ModalDialogDriver.h"
#include "tests/app/SpotFilterLevelSamples.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using namespace kv::test;

namespace {

class CFakeFiltersHost : public ISpotFiltersHost {
public:
    void GetSpotFilterLevels(std::vector<SpotFilterLevel>& levels) override { levels = given; }
    void SetSpotFilterLevels(const std::vector<SpotFilterLevel>& levels) override
    {
        received = levels;
        ++setCalls;
    }

    std::vector<SpotFilterLevel> given = SampleLevels();
    std::vector<SpotFilterLevel> received;
    int setCalls = 0;
};

// Runs show (which runs the modal dialog) with script driving it once the dialog is shown; a dialog the
// script leaves open is cancelled.
template <typename Show> auto Drive(Show show, std::function<void(HWND)> script)
{
    ScriptNextModal(std::move(script), [] { return ::FindWindowW(L"#32770", L"Spot Filters"); });
    return show();
}

void ChooseLevel(HWND dialog, int index) { ChooseItem(dialog, IDC_SF_LEVEL, index); }

void Click(HWND dialog, int id, bool checked)
{
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}

int SelectedLevel(HWND dialog) { return SelectedItem(dialog, IDC_SF_LEVEL); }

std::u16string LevelLine(HWND dialog, int index)
{
    wchar_t line[256] = {};
    ::SendDlgItemMessageW(dialog, IDC_SF_LEVEL, CB_GETLBTEXT, WPARAM(index), LPARAM(line));
    return U16(line);
}

bool Visible(HWND dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE; }

void PressOk(HWND dialog) { ::SendMessageW(dialog, WM_COMMAND, IDOK, 0); }

// Waits for the spot test that every change schedules.
bool WaitForTest(HWND dialog)
{
    return PumpUntil([&] { return !ItemText(dialog, IDC_SF_TEST_RESULT).empty(); }, 3000);
}

class SpotFiltersDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LINK_CLASS | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        app.IniPath = dir.File(u"contest.ini");
        app.IsDefaultIni = false;
        savedWarning = CSpotFiltersDlg::Warning();
        CSpotFiltersDlg::Warning() = [this](HWND, const std::u16string& text) { warnings.push_back(text); };
        CurrentCtyTable().reset();
    }
    void TearDown() override
    {
        CSpotFiltersDlg::Warning() = savedWarning;
        CurrentCtyTable().reset();
    }

    // Publishes Debian's real country file as the logger suite's, through the program's loader, from the
    // test's folder or a folder of that name inside it.
    void LoadCountryFile(const std::u16string& subfolder = {})
    {
        const std::u16string folder = subfolder.empty() ? dir.Path() : dir.File(subfolder);
        if (!subfolder.empty()) {
            ASSERT_TRUE(::CreateDirectoryW(W(folder), nullptr));
        }
        ASSERT_TRUE(WriteFileBytes(folder + u"\\CTY.DAT", ReadWholeFile(SystemCtyDatPath())));
        std::u16string text;
        ASSERT_EQ(ProgramCtyFileLoader().Load(folder + u"\\", text), CtyLoadResult::Loaded) << Utf16ToUtf8(text);
    }

    std::u16string Key(const std::u16string& key)
    {
        return CIniFile(app.IniPath).ReadString(u"SpotFilters", key, u"<missing>");
    }

    CTempDir dir;
    CKestrivaneApp app;
    CFakeFiltersHost host;
    std::vector<std::u16string> warnings;
    CSpotFiltersDlg::WarningFunction savedWarning;
};

} // namespace

TEST_F(SpotFiltersDialogTest, OpensOnTheLevelAskedForAndOkHandsBackTheLevelsAndTheSwitch)
{
    int shown = -1;
    const bool ok = Drive([&] { return RunSpotFiltersDialog(host, nullptr, true, 8, u"", u""); },
                          [&](HWND dialog) {
                              shown = SelectedLevel(dialog);
                              ChooseLevel(dialog, kAlphaIndex);
                              SetItemText(dialog, IDC_SF_DX_CALLS, u"  N4*\r\n");
                              ChooseLevel(dialog, kAllIndex);
                              Click(dialog, IDC_SF_REJECT_OUT_OF_BAND, false);
                              PressOk(dialog);
                          });
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown, kSkimmerIndex);
    ASSERT_EQ(host.setCalls, 1);
    ASSERT_EQ(host.received.size(), host.given.size());
    EXPECT_EQ(host.received[kAlphaIndex].Filters.dxCalls, u"N4*");
    for (size_t i = 0; i < host.received.size(); ++i) EXPECT_EQ(host.received[i].Modified, i == kAlphaIndex) << i;
    EXPECT_FALSE(app.GlobalFilters.rejectOutOfBand);
    EXPECT_EQ(Key(u"RejectOutOfBand"), u"0");

    // Switched on again, the key goes: on is its default. An unknown connection opens "All connections".
    host.given = host.received;
    for (SpotFilterLevel& level : host.given) level.Modified = false; // as the view hands them out
    const bool again = Drive([&] { return RunSpotFiltersDialog(host, nullptr, true, 42, u"", u""); },
                             [&](HWND dialog) {
                                 shown = SelectedLevel(dialog);
                                 EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_SF_REJECT_OUT_OF_BAND), BST_UNCHECKED);
                                 Click(dialog, IDC_SF_REJECT_OUT_OF_BAND, true);
                                 PressOk(dialog);
                             });
    EXPECT_TRUE(again);
    EXPECT_EQ(shown, kAllIndex);
    EXPECT_TRUE(app.GlobalFilters.rejectOutOfBand);
    EXPECT_EQ(Key(u"RejectOutOfBand"), u"<missing>");
    for (const SpotFilterLevel& level : host.received) EXPECT_FALSE(level.Modified);
}

TEST_F(SpotFiltersDialogTest, CancelDiscardsEveryChangeAndWritesNothing)
{
    const bool ok = Drive([&] { return RunSpotFiltersDialog(host, nullptr, false, 0, u"", u""); },
                          [&](HWND dialog) {
                              Click(dialog, IDC_SF_REJECT_OUT_OF_BAND, false);
                              SetItemText(dialog, IDC_SF_WORDS, u"QRT");
                              ChooseLevel(dialog, kTelnetIndex);
                              ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                          });
    EXPECT_FALSE(ok);
    EXPECT_EQ(host.setCalls, 0);
    EXPECT_TRUE(app.GlobalFilters.rejectOutOfBand);
    EXPECT_FALSE(CIniFile(app.IniPath).Exists());
}

TEST_F(SpotFiltersDialogTest, WrongEntryKeepsTheUserOnTheLevelWithTheEntrySelected)
{
    LoadCountryFile();
    CSpotFiltersDlg dialog(host.given, kAlphaIndex, nullptr);
    const INT_PTR result = Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        // "*" stands alone only after "DL*", where the same text is part of a good entry.
        SetItemText(hwnd, IDC_SF_SPOTTER_CALLS, u"DL*, *");
        ChooseLevel(hwnd, kTelnetIndex);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].substr(0, 18), u"Wrong callsign: *\n");
        EXPECT_EQ(SelectedLevel(hwnd), kAlphaIndex);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(hwnd, IDC_SF_SPOTTER_CALLS));
        DWORD start = 0, end = 0;
        ::SendDlgItemMessageW(hwnd, IDC_SF_SPOTTER_CALLS, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        EXPECT_EQ(start, 5u);
        EXPECT_EQ(end, 6u);

        // OK is refused too; then a DXCC entry that the country file does not know.
        SetItemText(hwnd, IDC_SF_SPOTTER_CALLS, u"DL*");
        SetItemText(hwnd, IDC_SF_DX_DXCC, u"F DL1");
        PressOk(hwnd);
        ASSERT_EQ(warnings.size(), 2u);
        EXPECT_EQ(warnings[1].substr(0, 25), u"Unknown DXCC entity: DL1\n");
        EXPECT_TRUE(::IsWindowVisible(hwnd));

        SetItemText(hwnd, IDC_SF_DX_DXCC, u"F DL");
        ChooseLevel(hwnd, kSkimmerIndex);
        EXPECT_EQ(SelectedLevel(hwnd), kSkimmerIndex);
        EXPECT_EQ(LevelLine(hwnd, kAlphaIndex), u"Alpha (Telnet)  \u2022");

        // A skimmer has no spotter criteria: the group is off and its wrong texts never block.
        EXPECT_FALSE(IsItemEnabled(hwnd, IDC_SF_SPOTTER_CALLS));
        EXPECT_FALSE(IsItemEnabled(hwnd, IDC_SF_SPOTTER_GROUP));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_SPOTTER_NOTE), u"Not used for a local CW Skimmer: the spotter is always yourself.");
        SetItemText(hwnd, IDC_SF_SPOTTER_CALLS, u"//");
        PressOk(hwnd);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(warnings.size(), 2u);
    EXPECT_EQ(dialog.Levels[kAlphaIndex].Filters.spotterCalls, u"DL*");
    EXPECT_EQ(dialog.Levels[kAlphaIndex].Filters.dxDxcc, u"F DL");
    EXPECT_EQ(dialog.Levels[kSkimmerIndex].Filters.spotterCalls, u"//");
    EXPECT_TRUE(dialog.Levels[kSkimmerIndex].Modified);
}

TEST_F(SpotFiltersDialogTest, LevelLinesNotesAndTheControlsOfEachLevel)
{
    host.given[kTelnetIndex].Filters.frequencies = u"WARC";
    host.given[kAlphaIndex].ClusterSoftware = DXSpider;
    CSpotFiltersDlg dialog(host.given, kAllIndex, nullptr);
    Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        // The link control must leave the dialog's font to the other controls.
        LOGFONTW font{};
        const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        EXPECT_EQ(::GetObjectW(dialogFont, sizeof font, &font), int(sizeof font));
        EXPECT_TRUE(Visible(hwnd, IDC_SF_REJECT_OUT_OF_BAND));
        EXPECT_TRUE(Visible(hwnd, IDC_SF_OUT_OF_BAND_NOTE));
        EXPECT_FALSE(Visible(hwnd, IDC_SF_SERVER_TIP));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_LEVEL_NOTE),
                  u"Applied to every connection, after its own filters and those of its type.");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_COUNTRY_FILE).substr(0, 30), u"No country file of Quarnel in ");
        EXPECT_TRUE(dialog.NoCountryFile);
        PumpFor(100);
        SaveScreenshot(hwnd, u"spot-filters-all-connections-no-country-file");

        ChooseLevel(hwnd, kTelnetIndex);
        EXPECT_FALSE(Visible(hwnd, IDC_SF_REJECT_OUT_OF_BAND));
        EXPECT_FALSE(Visible(hwnd, IDC_SF_OUT_OF_BAND_NOTE));
        EXPECT_TRUE(Visible(hwnd, IDC_SF_SERVER_TIP));
        EXPECT_EQ(LevelLine(hwnd, kTelnetIndex), u"Telnet connections  \u2022");
        Click(hwnd, IDC_SF_DISABLE, true);
        EXPECT_EQ(LevelLine(hwnd, kTelnetIndex), u"Telnet connections (disabled)");
        EXPECT_EQ(SelectedLevel(hwnd), kTelnetIndex);

        ChooseLevel(hwnd, kAlphaIndex);
        EXPECT_EQ(ItemText(hwnd, IDC_SF_LEVEL_NOTE), u"No other level has filters for it.");
        const std::u16string tip = ItemText(hwnd, IDC_SF_SERVER_TIP);
        EXPECT_EQ(tip.substr(0, 44), u"Tip: a Telnet cluster can filter on its serv");
        EXPECT_NE(tip.find(u">DXSpider manual</a>"), std::u16string::npos) << Utf16ToUtf8(tip);
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_SCOPE),
                  u"Tested: Alpha, then Telnet connections, then All connections, then the amateur bands (built-in) "
                  u"(from the entry chosen upwards, with the values of this dialog).");
        ChooseLevel(hwnd, kWebIndex);
        EXPECT_FALSE(Visible(hwnd, IDC_SF_SERVER_TIP));
        PressOk(hwnd);
    });
    EXPECT_TRUE(dialog.Levels[kTelnetIndex].Modified);
    EXPECT_TRUE(dialog.Levels[kTelnetIndex].Filters.disabled);
    EXPECT_FALSE(dialog.Levels[kAlphaIndex].Modified);
}

TEST_F(SpotFiltersDialogTest, SpotTestOfAPastedLineAndOfTypedFields)
{
    LoadCountryFile();
    host.given[kTelnetIndex].Filters.frequencies = u"14025";
    const std::u16string line = u"DX de K8RQT-#: 14025.0 N4XJZ CW 1234Z";
    const std::u16string reason = u"Already sent to Quarnel by Beta at 1234Z (same spot)";
    CSpotFiltersDlg dialog(host.given, kAlphaIndex, nullptr, line, reason);
    Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        // The line given at opening is tested at once.
        EXPECT_EQ(dialog.TestResult, TestRejected);
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_SPOTTER), u"K8RQT-#");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_FREQUENCY), u"14025.0");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DX_CALL), u"N4XJZ");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_COMMENT), u"CW");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_RESULT), u"Spot rejected");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DETAIL),
                  u"Rejected by Telnet connections: frequency (14025.0) This line was not sent to Quarnel as a "
                  u"duplicate, not because of a filter: " + reason + u".");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_COUNTRY),
                  u"DX: K - United States of America, NA, CQ 5, ITU 8\r\nSpotter: K - United States of America, NA, "
                  u"CQ 4, ITU 8");
        PumpFor(100);
        SaveScreenshot(hwnd, u"spot-filters-rejected-test");

        // An edit of the level shown, not yet validated, takes part at once.
        SetItemText(hwnd, IDC_SF_DX_CONTINENTS, u"NA");
        SetItemText(hwnd, IDC_SF_TEST_RESULT, u"");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DETAIL).substr(0, 42), u"Rejected by Alpha: DX continent (NA) This ");

        SetItemText(hwnd, IDC_SF_TEST_LINE, u"not a spot");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_FIELDS_NOTE), u"Not a spot line: type the fields:");
        SetItemText(hwnd, IDC_SF_DX_CONTINENTS, u"");
        SetItemText(hwnd, IDC_SF_TEST_FREQUENCY, u"14400");
        SetItemText(hwnd, IDC_SF_TEST_RESULT, u"");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DETAIL), u"Rejected: outside the amateur bands (14400.0 kHz)");

        // The dialog's own switch counts, not the application's.
        ChooseLevel(hwnd, kAllIndex);
        Click(hwnd, IDC_SF_REJECT_OUT_OF_BAND, false);
        SetItemText(hwnd, IDC_SF_TEST_RESULT, u"");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_RESULT), u"Spot accepted");
        EXPECT_EQ(dialog.TestResult, TestAccepted);
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_SCOPE),
                  u"Tested: All connections (from the entry chosen upwards, with the values of this dialog).");

        SetItemText(hwnd, IDC_SF_TEST_FREQUENCY, u"14,025");
        SetItemText(hwnd, IDC_SF_TEST_RESULT, u"");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_RESULT), u"Type a frequency and a DX call.");
        SetItemText(hwnd, IDC_SF_TEST_FREQUENCY, u"");
        SetItemText(hwnd, IDC_SF_TEST_DX_CALL, u"");
        PumpUntil([&] { return dialog.TestResult == TestNone; }, 3000);
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_RESULT) + ItemText(hwnd, IDC_SF_TEST_DETAIL) + ItemText(hwnd, IDC_SF_TEST_COUNTRY), u"");
    });
}

TEST_F(SpotFiltersDialogTest, ScreenshotOfAConnectionLevel)
{
    LoadCountryFile();
    host.given[kAllIndex].Filters.dxContinents = u"/EU /NA";
    host.given[kAlphaIndex].ClusterSoftware = DXSpider;
    host.given[kAlphaIndex].Filters.frequencies = u"14074 7074\r\n/HF";
    host.given[kAlphaIndex].Filters.dxCalls = u"N4*";
    CSpotFiltersDlg dialog(host.given, kAlphaIndex, nullptr);
    Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        EXPECT_EQ(ItemText(hwnd, IDC_SF_COUNTRY_FILE).substr(0, 14), u"Country file: ");
        EXPECT_FALSE(dialog.NoCountryFile);
        SetItemText(hwnd, IDC_SF_TEST_SPOTTER, u"DL1ABC");
        SetItemText(hwnd, IDC_SF_TEST_FREQUENCY, u"14025.0");
        SetItemText(hwnd, IDC_SF_TEST_DX_CALL, u"JA1XYZ");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DETAIL), u"Rejected by All connections: DX continent (AS)");
        PumpFor(100);
        SaveScreenshot(hwnd, u"spot-filters-connection-level");
    });
}

// The tip link is drawn in the dialog's own face, as the texts around it; its manual link still opens.
TEST_F(SpotFiltersDialogTest, TheTipLinkIsDrawnInTheDialogsFont)
{
    host.given[kAlphaIndex].ClusterSoftware = DXSpider;
    CSpotFiltersDlg dialog(host.given, kAlphaIndex, nullptr);
    Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        HWND tip = ::GetDlgItem(hwnd, IDC_SF_SERVER_TIP);
        ASSERT_TRUE(::IsWindowVisible(tip));
        EXPECT_EQ(DrawnFont(tip), DrawnFont(hwnd));
        EXPECT_EQ(DrawnFont(tip), DrawnFont(::GetDlgItem(hwnd, IDC_SF_COUNTRY_FILE)));
        LITEM item{};
        item.mask = LIF_ITEMINDEX | LIF_URL;
        EXPECT_TRUE(::SendMessageW(tip, LM_GETITEM, 0, LPARAM(&item)));
        EXPECT_EQ(U16(item.szUrl), GetSoftwareDocUrl(DXSpider));
    });
}

// Names from outside (a connection's, an entity's of the country file, a folder's) are shown as they are:
// their "&" is no access key.
TEST_F(SpotFiltersDialogTest, AnAmpersandInANameIsShownAsItIs)
{
    LoadCountryFile(u"Q&A");
    host.given[kAlphaIndex].Name = u"Bravo & Co";
    host.given[kAlphaIndex].Filters.dxDxcc = u"9Y";
    CSpotFiltersDlg dialog(host.given, kAlphaIndex, nullptr);
    Drive([&] { return dialog.DoModal(); }, [&](HWND hwnd) {
        const auto expectShownAsTheyAre = [&](std::initializer_list<int> ids) {
            for (int id : ids) {
                const std::u16string text = ItemText(hwnd, id);
                EXPECT_NE(text.find(u'&'), std::u16string::npos) << id << ": " << Utf16ToUtf8(text);
                EXPECT_EQ(CWindow(::GetDlgItem(hwnd, id)).GetStyle() & SS_NOPREFIX, LONG_PTR(SS_NOPREFIX))
                    << id << ": " << Utf16ToUtf8(text);
            }
        };
        SetItemText(hwnd, IDC_SF_TEST_LINE, u"DX de K8RQT-#: 14025.0 9Y4W CW 1234Z");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_DETAIL).substr(0, 24), u"Rejected by Bravo & Co: ");
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_COUNTRY).substr(0, 26), u"DX: 9Y - Trinidad & Tobago");
        expectShownAsTheyAre({IDC_SF_COUNTRY_FILE, IDC_SF_TEST_SCOPE, IDC_SF_TEST_DETAIL, IDC_SF_TEST_COUNTRY});
        PumpFor(100);
        SaveScreenshot(hwnd, u"spot-filters-ampersand-names");

        SetItemText(hwnd, IDC_SF_DX_CALLS, u"//");
        SetItemText(hwnd, IDC_SF_TEST_RESULT, u"");
        ASSERT_TRUE(WaitForTest(hwnd));
        EXPECT_EQ(ItemText(hwnd, IDC_SF_TEST_RESULT).substr(0, 33), u"Filter not complete (Bravo & Co):");
        expectShownAsTheyAre({IDC_SF_TEST_RESULT});
    });
}
