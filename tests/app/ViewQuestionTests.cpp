// The view's questions as real task dialogs and, where a system has none, message boxes: their title, their
// default button and what a dismissed dialog answers.
#include <gtest/gtest.h>

#include "app/CKestrivaneApp.h"
#include "app/ViewQuestions.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;

namespace {

// What the next question dialog of this thread gets: Enter (its default button) or closing it unanswered.
struct DialogAnswer {
    bool pressDefault = true;
    std::u16string screenshot;
    std::u16string title;
    bool seen = false;
};
DialogAnswer g_answer;

HWND FindThreadDialog()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(hwnd, cls, 16);
            if (U16(cls) != u"#32770" || !::IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(l) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The default push button: the dialogs give it the focus (Wine's message boxes do not name it otherwise).
int DefaultButton(HWND dialog)
{
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(dialog, focus)) return ::GetDlgCtrlID(focus);
    const LRESULT defaultId = ::SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : 0;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindThreadDialog();
    if (!dialog) return; // not shown yet
    ::KillTimer(nullptr, timer);
    g_answer.seen = true;
    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, 64);
    g_answer.title = U16(title);
    if (!g_answer.screenshot.empty()) test::SaveScreenshot(dialog, g_answer.screenshot);
    // Enter presses the default button, as the dialog manager does; the other answer closes the dialog with its
    // title bar's button (Wine's task dialogs ignore Escape without a Cancel button).
    if (g_answer.pressDefault) {
        const int button = DefaultButton(dialog);
        ::PostMessageW(dialog, WM_COMMAND, WPARAM(button), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    } else {
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

void AnswerNextDialog(bool pressDefault, const std::u16string& screenshot = {})
{
    g_answer = DialogAnswer{pressDefault, screenshot};
    ::SetTimer(nullptr, 0, 100, AnswerTimer);
}

class QuestionTest : public ::testing::Test {
protected:
    CKestrivaneApp app; // the application's name titles the questions
};

} // namespace

TEST_F(QuestionTest, TaskDialogsAnswerTheirDefaultOnEnterAndNothingWhenClosed)
{
    const TaskDialogIndirectFn taskDialog = FindTaskDialogIndirect();
    ASSERT_NE(taskDialog, nullptr) << "the program's manifest brings the version 6 common controls";

    AnswerNextDialog(true);
    EXPECT_TRUE(AskYesNoQuestion(taskDialog, u"Close the tab \"Alpha\"?", true));
    EXPECT_TRUE(g_answer.seen);
    EXPECT_EQ(g_answer.title, u"Kestrivane");
    AnswerNextDialog(true);
    EXPECT_FALSE(AskYesNoQuestion(taskDialog, u"Delete the connection \"Alpha\"?", false)) << "default No";
    AnswerNextDialog(false);
    EXPECT_FALSE(AskYesNoQuestion(taskDialog, u"Close the tab \"Alpha\"?", true)) << "dismissed: No";

    AnswerNextDialog(true, u"view-close-or-delete-question");
    EXPECT_EQ(ShowTaskDialog(taskDialog, u"The connection \"Alpha\" fails:\nUnable to connect: connection refused"),
              kCloseTheTab);
    AnswerNextDialog(false);
    EXPECT_EQ(ShowTaskDialog(taskDialog, u"The connection \"Alpha\" fails"), 0) << "closed unanswered: nothing is closed";
}

TEST_F(QuestionTest, WithoutTaskDialogsMessageBoxesKeepTheChoicesAndDefaults)
{
    AnswerNextDialog(true, u"view-yes-no-message-box");
    EXPECT_TRUE(AskYesNoQuestion(nullptr, u"Close the tab \"Alpha\"?", true));
    EXPECT_EQ(g_answer.title, u"Kestrivane");
    AnswerNextDialog(true);
    EXPECT_FALSE(AskYesNoQuestion(nullptr, u"Delete the connection \"Alpha\"?", false)) << "default No";

    AnswerNextDialog(true, u"view-close-or-delete-message-box");
    EXPECT_EQ(ShowTaskDialog(nullptr, u"The connection \"Alpha\" fails"), kCloseTheTab);
    AnswerNextDialog(false);
    EXPECT_EQ(ShowTaskDialog(nullptr, u"The connection \"Alpha\" fails"), 0);
}
