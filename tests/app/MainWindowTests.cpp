// The program started on a settings file with connections: its tabs, log pane and status bar, its fixed
// width and minimum height, its placement, and what it saves when it ends.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "tests/app/ProgramTestHost.h"
#include "base/Format.h"
#include "spots/CCtyFileLoader.h"
#include "tests/support/TestPaths.h"

#include <shlobj.h>
#include "win/IniFile.h"

using namespace kv;

namespace {

const char16_t kFrameClass[] = u"Kestrivane.MainFrame";

std::u16string WindowText(HWND window)
{
    wchar_t text[8192] = {};
    const LRESULT length = ::SendMessageW(window, WM_GETTEXT, 8192, LPARAM(text));
    return U16(text, size_t(length > 0 ? length : 0));
}

HWND Child(HWND parent, int id) { return parent ? ::GetDlgItem(parent, id) : nullptr; }

int CountPageWindows(HWND tabStrip)
{
    int pages = 0;
    for (HWND child = ::GetWindow(tabStrip, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetDlgCtrlID(child) >= 1100) ++pages;
    return pages;
}

RECT RectOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

int Height(const RECT& r) { return r.bottom - r.top; }
int Width(const RECT& r) { return r.right - r.left; }

// The logger suite's country file in the program's folder for the length of a test.
class CInstalledCountryFile {
public:
    CInstalledCountryFile() : path_(GetCountryFilesFolder() + u"CTY.DAT")
    {
        ::SHCreateDirectoryExW(nullptr, W(GetCountryFilesFolder()), nullptr);
        installed_ = test::WriteFileBytes(path_, test::ReadWholeFile(test::SystemCtyDatPath()));
    }
    ~CInstalledCountryFile() { ::DeleteFileW(W(path_)); }
    bool Installed() const { return installed_; }
    const std::u16string& Path() const { return path_; }

private:
    std::u16string path_;
    bool installed_ = false;
};

class MainWindowTest : public ::testing::Test {
protected:
    void WriteSettings(const std::string& window)
    {
        ASSERT_TRUE(::CreateDirectoryW(W(dir.Path() + u"\\cfg"), nullptr));
        ASSERT_TRUE(test::WriteFileBytes(IniPath(),
            "[General]\r\nFontFace=Consolas\r\n[Network]\r\nDisabled=1\r\n"
            "[Connections]\r\nOrder=1,2,3\r\nActive=2\r\nNextId=4\r\n"
            "[Connection.1]\r\nName=Spider Node\r\nType=Telnet\r\nHost=127.0.0.1\r\nPort=7300\r\n"
            "[Connection.2]\r\nName=Skimmer\r\nType=CWSkimmer\r\nHost=127.0.0.1\r\nPort=7301\r\n"
            "[Connection.3]\r\nName=Web spots\r\nType=DXSummit\r\n"
            "[Window]\r\n" + window));
    }
    std::u16string IniPath() const { return dir.Path() + u"\\cfg\\Kestrivane.ini"; }
    std::u16string Key(const std::u16string& section, const std::u16string& key) const
    {
        return CIniFile(IniPath()).ReadString(section, key, u"<missing>");
    }

    test::CTempDir dir;
};

} // namespace

TEST_F(MainWindowTest, RestoresTheTabsLogsItsStartAndSavesItsStateAtTheEnd)
{
    WriteSettings("LogCollapsed=0\r\nLeft=40\r\nTop=30\r\nHeight=200\r\n");
    const CInstalledCountryFile countryFile;
    ASSERT_TRUE(countryFile.Installed());
    const auto started = std::chrono::steady_clock::now();
    test::CProgram program(u"-a \"" + dir.Path() + u"\"");
    HWND frame = program.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(frame, nullptr);
    const auto shownMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    std::cout << "[ figure ] window shown " << shownMs << " ms after the start" << std::endl;
    test::PumpFor(700); // let it lay out and paint

    HWND view = Child(frame, 59648);
    HWND tabStrip = Child(view, 1000);
    EXPECT_EQ(CountPageWindows(tabStrip), 3);
    const std::u16string log = WindowText(Child(Child(view, 1002), 1003));
    EXPECT_NE(log.find(u"Z Kestrivane 4.0 started"), std::u16string::npos);
    EXPECT_NE(log.find(u"Quarnel communication disabled"), std::u16string::npos);
    EXPECT_NE(log.find(u"Country file: " + countryFile.Path() + u" (340 DXCC entities)"), std::u16string::npos);
    EXPECT_EQ(WindowText(Child(frame, 59393)), u"0 active connections / 3 inactive connections");

    // Placed where it was, but never lower than its minimum height.
    const RECT placed = RectOf(frame);
    EXPECT_EQ(placed.left, 40);
    EXPECT_EQ(placed.top, 30);
    EXPECT_GT(Height(placed), 200);
    EXPECT_FALSE(test::SaveScreenshot(frame, u"main-window-three-tabs").empty());

    // Neither wider nor narrower by hand; not lower than the minimum.
    ::SetWindowPos(frame, nullptr, 0, 0, Width(placed) + 150, Height(placed) + 60, SWP_NOMOVE | SWP_NOZORDER);
    ::SetWindowPos(frame, nullptr, 0, 0, Width(placed) - 150, 120, SWP_NOMOVE | SWP_NOZORDER);
    test::PumpFor(200);
    const RECT resized = RectOf(frame);
    EXPECT_EQ(Width(resized), Width(placed));
    EXPECT_EQ(Height(resized), Height(placed));
    ::SetWindowPos(frame, nullptr, 0, 0, Width(placed), Height(placed) + 260, SWP_NOMOVE | SWP_NOZORDER);
    test::PumpFor(300);
    const RECT taller = RectOf(frame);
    EXPECT_EQ(Height(taller), Height(placed) + 260);
    EXPECT_FALSE(test::SaveScreenshot(frame, u"main-window-taller").empty());

    test::CloseAndExpectCleanExit(program, frame);
    EXPECT_EQ(Key(u"Connections", u"Order"), u"1,2,3");
    EXPECT_EQ(Key(u"Connections", u"Active"), u"2");
    EXPECT_EQ(Key(u"Connections", u"NextId"), u"4");
    EXPECT_EQ(Key(u"Window", u"Left"), u"40");
    EXPECT_EQ(Key(u"Window", u"Top"), u"30");
    EXPECT_EQ(Key(u"Window", u"Height"), FormatText(u"%d", Height(taller)));
    EXPECT_EQ(Key(u"Window", u"LogCollapsed"), u"0");
    EXPECT_EQ(Key(u"General", u"LastVersion"), u"4.0");
}

TEST_F(MainWindowTest, APlaceNoMonitorShowsIsReplacedByTheCentreOfTheScreen)
{
    WriteSettings("Left=-30000\r\nTop=-30000\r\nHeight=500\r\n");
    test::CProgram program(u"-a \"" + dir.Path() + u"\"");
    HWND frame = program.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(frame, nullptr);
    test::PumpFor(300);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT placed = RectOf(frame);
    // Centred at the width it had when placed; the tabs' measured chrome may refit it by a few pixels since.
    EXPECT_NEAR(placed.left, work.left + (Width(work) - Width(placed)) / 2, 8);
    EXPECT_EQ(placed.top, work.top + (Height(work) - Height(placed)) / 2);
    EXPECT_EQ(Height(placed), 500);
    test::CloseAndExpectCleanExit(program, frame);
}
