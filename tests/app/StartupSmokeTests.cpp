#include <gtest/gtest.h>

#include "base/Utf.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;

namespace {

HWND FindTopLevelTitled(DWORD processId, const std::u16string& title)
{
    struct Search {
        DWORD pid;
        const std::u16string* title;
        HWND found;
    } search{processId, &title, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            wchar_t text[256] = {};
            ::GetWindowTextW(hwnd, text, 256);
            if (pid == s->pid && U16(text) == *s->title && ::IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

// The program starts, shows its main window titled "Kestrivane", and ends cleanly when it is closed.
TEST(Startup, ShowsTheMainWindowAndExitsCleanlyOnClose)
{
    std::u16string commandLine = u"\"" + Utf8ToUtf16(test::BuildPath("kestrivane.exe")) + u"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, W(commandLine.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND window = nullptr;
    EXPECT_TRUE(test::PumpUntil([&] { return (window = FindTopLevelTitled(pi.dwProcessId, u"Kestrivane")) != nullptr; },
                                15000));
    if (window) {
        test::PumpFor(500); // let it paint
        EXPECT_FALSE(test::SaveScreenshot(nullptr, u"startup-smoke").empty());
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(pi.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == STILL_ACTIVE) ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}
