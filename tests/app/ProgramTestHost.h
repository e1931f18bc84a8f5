#pragma once
// A kestrivane.exe started by a test, with the search for its windows; ended at the end of the test.
#include <gtest/gtest.h>

#include <string>

#include "base/Utf.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"

namespace kv::test {

// One started kestrivane.exe, ended at the end of the test whatever happened.
class CProgram {
public:
    explicit CProgram(const std::u16string& arguments)
    {
        std::u16string commandLine = u"\"" + Utf8ToUtf16(test::BuildPath("kestrivane.exe")) + u"\" " + arguments;
        STARTUPINFOW si{sizeof si};
        started_ = ::CreateProcessW(nullptr, W(commandLine.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &si, &pi_);
    }
    ~CProgram()
    {
        if (!started_) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi_.hProcess, 99);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    HANDLE Process() const { return pi_.hProcess; }

    // The first visible top-level window of the process whose class is the given one (any when empty).
    HWND FindWindowOfClass(const std::u16string& className, unsigned timeoutMs) const
    {
        HWND found = nullptr;
        PumpUntil([&] { return (found = Find(className)) != nullptr; }, timeoutMs);
        return found;
    }
    bool WaitForExit(unsigned timeoutMs, DWORD* exitCode = nullptr) const
    {
        const bool ended = ::WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
        if (ended && exitCode) ::GetExitCodeProcess(pi_.hProcess, exitCode);
        return ended;
    }

private:
    HWND Find(const std::u16string& className) const
    {
        struct Search {
            DWORD pid;
            const std::u16string* cls;
            HWND found;
        } s{pi_.dwProcessId, &className, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM l) -> BOOL {
                auto* s = reinterpret_cast<Search*>(l);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(hwnd, &pid);
                wchar_t cls[64] = {};
                ::GetClassNameW(hwnd, cls, 64);
                if (pid == s->pid && ::IsWindowVisible(hwnd) && (s->cls->empty() || U16(cls) == *s->cls)) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

inline std::u16string TitleOf(HWND hwnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return U16(text);
}

inline void CloseAndExpectCleanExit(const CProgram& program, HWND frame)
{
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(program.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace kv::test
