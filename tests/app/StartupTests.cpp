// The program as a user starts it: its main window, its command line and its single running instance; and
// the user guide of its Help menu.
#include <gtest/gtest.h>

#include "app/CKestrivaneApp.h"
#include "base/Utf.h"
#include "connections/LinkTable.h"
#include "resources/resource.h"
#include "tests/support/TestPaths.h"
#include "tests/app/ProgramTestHost.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;
using test::CProgram;
using test::CloseAndExpectCleanExit;
using test::TitleOf;

namespace {

const char16_t kFrameClass[] = u"Kestrivane.MainFrame";

// The text of a message box: its static control with the id 0xFFFF.
std::u16string MessageBoxText(HWND box)
{
    wchar_t text[4096] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 4096);
    return U16(text);
}

// Whether a font family of that name is installed (no substitute counts).
bool FontInstalled(const std::u16string& face)
{
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(reinterpret_cast<char16_t*>(font.lfFaceName), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(
        dc, &font,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        LPARAM(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

} // namespace

TEST(Startup, ShowsTheMainWindowAndExitsCleanlyOnClose)
{
    // The frame's caption buttons are glyphs of Marlett: without it they show as letters.
    EXPECT_TRUE(FontInstalled(u"Marlett")) << "Marlett is missing from the Wine prefix (package fonts-wine)";
    CProgram program(u"");
    ASSERT_TRUE(program.Started());
    HWND frame = program.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(TitleOf(frame), u"Kestrivane");
    test::PumpFor(500); // let it paint
    EXPECT_FALSE(test::SaveScreenshot(nullptr, u"startup").empty());
    CloseAndExpectCleanExit(program, frame);
}

TEST(Startup, CommandLineErrorsAndHelpAreShownAndEndTheProgram)
{
    struct Case {
        const char16_t* args;
        const char16_t* start;
    } cases[] = {
        {u"-A x", u"Command line: unknown argument \"-A\"\n\nCommand-line arguments\n"},
        {u"--colour=red", u"Command line: unknown argument \"--colour\"\n\n"},
        {u"-i", u"Command line: -i needs a value\n\n"},
        {u"--alternate-ini=", u"Command line: --alternate-ini needs a value\n\n"},
        {u"-h -x", u"Command-line arguments\n\n-a, --alternate-appdata <folder>\n"},
        {u"/?", u"Command-line arguments\n"},
    };
    for (const Case& c : cases) {
        CProgram program(c.args);
        ASSERT_TRUE(program.Started());
        HWND box = program.FindWindowOfClass(u"#32770", 15000);
        ASSERT_NE(box, nullptr) << "no message box for " << Utf16ToUtf8(c.args);
        EXPECT_EQ(MessageBoxText(box).rfind(c.start, 0), 0u)
            << Utf16ToUtf8(c.args) << ": " << Utf16ToUtf8(MessageBoxText(box));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(program.WaitForExit(15000));
        EXPECT_EQ(program.FindWindowOfClass(kFrameClass, 0), nullptr);
    }
}

TEST(Startup, AFolderTakenByAFileIsAnError)
{
    test::CTempDir dir;
    ASSERT_TRUE(test::WriteFileBytes(dir.File(u"cfg"), "not a folder"));
    CProgram program(u"-a \"" + dir.Path() + u"\"");
    HWND box = program.FindWindowOfClass(u"#32770", 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find(u"cannot be created"), std::u16string::npos);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(15000));
}

TEST(Startup, TitleNamesAnotherSettingsFileAndOneInstanceRunsPerFile)
{
    test::CTempDir dir;
    CProgram first(u"-a \"" + dir.Path() + u"\\Contest\"");
    HWND frame = first.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(TitleOf(frame), u"Kestrivane - Contest");
    EXPECT_NE(::GetFileAttributesW(W(dir.Path() + u"\\Contest\\cfg\\Kestrivane.ini")), INVALID_FILE_ATTRIBUTES);

    // The same settings file, written in another letter case: the second start ends at once.
    CProgram second(u"--ALTERNATE-APPDATA=\"" + dir.Path() + u"\\CONTEST\"");
    EXPECT_TRUE(second.WaitForExit(15000));
    EXPECT_EQ(second.FindWindowOfClass(kFrameClass, 0), nullptr);

    // Another settings file runs beside it.
    CProgram third(u"-a \"" + dir.Path() + u"\\Contest\" -i other.ini");
    HWND otherFrame = third.FindWindowOfClass(kFrameClass, 15000);
    ASSERT_NE(otherFrame, nullptr);
    EXPECT_EQ(TitleOf(otherFrame), u"Kestrivane - other");

    CloseAndExpectCleanExit(third, otherFrame);
    CloseAndExpectCleanExit(first, frame);
}

// [Links] UserGuideUrl is the user's to change, but only a web page is opened from it: a program written
// there is not started, and the user is shown where the guide was said to be.
TEST(HelpCommands, AUserGuideLinkThatIsNoWebPageStartsNothing)
{
    test::CTempDir dir;
    const std::u16string marker = dir.File(u"started.txt");
    const std::u16string program = dir.File(u"guide.cmd");
    ASSERT_TRUE(test::WriteFileBytes(program, "@echo started> \"" + Utf16ToUtf8(marker) + "\"\r\n"));
    CKestrivaneApp app;
    ClearLinkTable();
    SetLink(u"UserGuideUrl", program);

    static std::u16string shown;
    shown.clear();
    const UINT_PTR closer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowW(L"#32770", L"Kestrivane");
        if (!box || ::GetWindowThreadProcessId(box, nullptr) != ::GetCurrentThreadId()) return;
        shown = MessageBoxText(box);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    app.ExecuteCommand(ID_HELP_USER_GUIDE);
    const bool started = test::PumpUntil(
        [&] { return ::GetFileAttributesW(W(marker)) != INVALID_FILE_ATTRIBUTES; }, 4000);
    ::KillTimer(nullptr, closer);
    ClearLinkTable();
    EXPECT_FALSE(started);
    EXPECT_EQ(shown, u"The web browser could not be opened.\n\nThe user guide is at:\n" + program);
}
