#include <gtest/gtest.h>

#include <algorithm>

#include "app/CGeneralSettingsDlg.h"
#include "resources/resource.h"
#include "tests/app/ModalDialogDriver.h"
#include "win/Win32.h"

#include <commctrl.h>

using namespace kv;
using namespace kv::test;

namespace {

class GeneralSettingsDlgTest : public ::testing::Test {
protected:
    static GeneralSettings Settings()
    {
        GeneralSettings settings;
        settings.FontFace = u"DejaVu Sans Mono";
        settings.BroadcastAddress = u"127.255.255.255";
        settings.GlobalCommands = {u"set/name Op", u"sh/dx"};
        settings.GabStations = {u"STN1", u"RUN"};
        return settings;
    }

    INT_PTR Run(CGeneralSettingsDlg& dialog, std::function<void(HWND)> script)
    {
        dialog.Messages.Show = messages.Recorder();
        return RunModalScript(dialog, std::move(script));
    }

    RecordedMessages messages;
};

std::vector<std::u16string> ListedFonts(HWND dialog)
{
    HWND list = ::GetDlgItem(dialog, IDC_GEN_FONT_FACE);
    std::vector<std::u16string> faces;
    const int count = int(::SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t face[LF_FACESIZE + 1] = {};
        ::SendMessageW(list, CB_GETLBTEXT, WPARAM(i), LPARAM(face));
        faces.push_back(U16(face));
    }
    return faces;
}

bool Contains(const std::vector<std::u16string>& faces, const std::u16string& face)
{
    return std::find(faces.begin(), faces.end(), face) != faces.end();
}

std::u16string SelectedFont(HWND dialog)
{
    const std::vector<std::u16string> faces = ListedFonts(dialog);
    const int index = SelectedItem(dialog, IDC_GEN_FONT_FACE);
    return index >= 0 ? faces.at(size_t(index)) : std::u16string();
}

} // namespace

TEST_F(GeneralSettingsDlgTest, FontListHoldsFixedPitchFacesOnceInOrder)
{
    CGeneralSettingsDlg dialog(Settings(), nullptr);
    Run(dialog, [&](HWND d) {
        const std::vector<std::u16string> faces = ListedFonts(d);
        EXPECT_TRUE(Contains(faces, u"DejaVu Sans Mono"));
        EXPECT_FALSE(Contains(faces, u"DejaVu Sans")) << "proportional faces are left out";
        EXPECT_FALSE(Contains(faces, u"DejaVu Serif"));
        for (const std::u16string& face : faces) EXPECT_NE(face.front(), u'@');
        std::vector<std::u16string> sorted = faces;
        std::sort(sorted.begin(), sorted.end(), [](const std::u16string& a, const std::u16string& b) {
            return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, W(a), -1, W(b), -1) == CSTR_LESS_THAN;
        });
        EXPECT_EQ(faces, sorted);
        EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << "each face once";
        EXPECT_EQ(SelectedFont(d), u"DejaVu Sans Mono");
        EXPECT_EQ(ItemText(d, IDC_GEN_FONT_SIZE), u"10");
        EXPECT_EQ(ItemText(d, IDC_GEN_GLOBAL_COMMANDS), u"set/name Op\r\nsh/dx");
        EXPECT_EQ(ItemText(d, IDC_GEN_GAB_STATIONS), u"STN1 RUN");
        ScreenshotOf(d, u"general-settings");
    });
}

TEST_F(GeneralSettingsDlgTest, FaceNotInstalledIsStillListedAndSelected)
{
    GeneralSettings settings = Settings();
    settings.FontFace = u"Nowhere Mono";
    CGeneralSettingsDlg dialog(settings, nullptr);
    EXPECT_EQ(Run(dialog, [&](HWND d) {
        EXPECT_EQ(SelectedFont(d), u"Nowhere Mono");
        Press(d, IDOK);
    }), IDOK);
    EXPECT_EQ(dialog.Result.FontFace, u"Nowhere Mono");
}

TEST_F(GeneralSettingsDlgTest, UpDownKeepsTheSizeInRangeAndNumbersAreChecked)
{
    GeneralSettings settings = Settings();
    settings.FontSize = 36;
    CGeneralSettingsDlg dialog(settings, nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        HWND spin = ::GetDlgItem(d, IDC_GEN_FONT_SIZE_SPIN);
        int low = 0, high = 0;
        ::SendMessageW(spin, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
        EXPECT_EQ(low, 6);
        EXPECT_EQ(high, 36);
        EXPECT_EQ(int(::SendMessageW(spin, UDM_GETPOS32, 0, 0)), 36);

        const auto refused = [&](int id, const std::u16string& text, const std::u16string& message) {
            const std::u16string before = ItemText(d, id);
            SetItemText(d, id, text);
            Press(d, IDOK);
            EXPECT_EQ(messages.Last(), message);
            EXPECT_TRUE(IsFocusedWithAllSelected(d, id)) << id;
            SetItemText(d, id, before);
        };
        refused(IDC_GEN_FONT_SIZE, u"37", u"Enter an integer between 6 and 36.");
        refused(IDC_GEN_RECEIVE_MAX_LINES, u"99", u"Enter an integer between 100 and 100000.");
        refused(IDC_GEN_COMMAND_DELAY, u"", u"Enter an integer.");
        refused(IDC_GEN_LOST_CONNECTION_DELAY, u"301", u"Enter an integer between 30 and 300.");
        refused(IDC_GEN_PORT, u"65536", u"Enter an integer between 1 and 65535.");
        refused(IDC_GEN_BROADCAST, u"192.168.1", u"The broadcast address is not a valid IPv4 address.");
        refused(IDC_GEN_BROADCAST, u" ", u"The broadcast address is not a valid IPv4 address.");
        EXPECT_EQ(messages.Count(), 7u);
        SetItemText(d, IDC_GEN_COMMAND_DELAY, u"0");
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(messages.Count(), 7u);
    EXPECT_EQ(dialog.Result.CommandDelay, 0);
    EXPECT_EQ(dialog.Result.FontSize, 36);
}

TEST_F(GeneralSettingsDlgTest, RefusedFieldLeavesTheResultAsItWas)
{
    CGeneralSettingsDlg dialog(Settings(), nullptr);
    EXPECT_EQ(Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_GEN_FONT_SIZE, u"12");
        SetItemText(d, IDC_GEN_BROADCAST, u"x");
        Press(d, IDOK);
    }), IDCANCEL);
    EXPECT_EQ(dialog.Result, Settings());
}

TEST_F(GeneralSettingsDlgTest, NetworkFieldsDefaultsAndStations)
{
    CGeneralSettingsDlg dialog(Settings(), nullptr);
    const INT_PTR result = Run(dialog, [&](HWND d) {
        EXPECT_TRUE(IsItemEnabled(d, IDC_GEN_GAB_STATIONS));
        Click(d, IDC_GEN_GAB_ALERTS);
        EXPECT_FALSE(IsItemEnabled(d, IDC_GEN_GAB_STATIONS));
        Click(d, IDC_GEN_GAB_ALERTS);
        EXPECT_TRUE(IsItemEnabled(d, IDC_GEN_GAB_STATIONS));

        SetItemText(d, IDC_GEN_PORT, u"1234");
        SetItemText(d, IDC_GEN_APPLICATION_ID, u"   ");
        SetItemText(d, IDC_GEN_BROADCAST, u" 255.255.255.255 ");
        Click(d, IDC_GEN_DEFAULT_PORT);
        EXPECT_EQ(ItemText(d, IDC_GEN_PORT), u"9871");
        EXPECT_EQ(ItemText(d, IDC_GEN_BROADCAST), u" 255.255.255.255 ") << "Default of the port touches nothing else";
        SetItemText(d, IDC_GEN_GAB_STATIONS, u"stn1, STN2;;  Stn1  STN3");
        SetItemText(d, IDC_GEN_GLOBAL_COMMANDS, u" sh/dx \r\n\r\nset/page 0");
        Click(d, IDC_GEN_TRANSLATE_COMMANDS);
        Click(d, IDC_GEN_CONNECT_ALL);
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(dialog.Result.Port, 9871);
    EXPECT_EQ(dialog.Result.ApplicationID, u"TELNET");
    EXPECT_EQ(dialog.Result.BroadcastAddress, u"255.255.255.255");
    EXPECT_EQ(dialog.Result.GabStations, (std::vector<std::u16string>{u"stn1", u"STN2", u"STN3"}));
    EXPECT_EQ(dialog.Result.GlobalCommands, (std::vector<std::u16string>{u"sh/dx", u"set/page 0"}));
    EXPECT_FALSE(dialog.Result.TranslateCommands);
    EXPECT_TRUE(dialog.Result.ConnectAllOnStartup);
}

TEST_F(GeneralSettingsDlgTest, DefaultBroadcastFillsAValidAddress)
{
    CGeneralSettingsDlg dialog(Settings(), nullptr);
    EXPECT_EQ(Run(dialog, [&](HWND d) {
        SetItemText(d, IDC_GEN_BROADCAST, u"");
        Click(d, IDC_GEN_DEFAULT_BROADCAST);
        EXPECT_FALSE(ItemText(d, IDC_GEN_BROADCAST).empty());
        Press(d, IDOK);
    }), IDOK);
    EXPECT_EQ(messages.Count(), 0u);
}
