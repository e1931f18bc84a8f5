#pragma once
// The questions the connection view puts to the user: a yes/no question, the close-or-delete question of a
// failing connection and plain message boxes. Task dialogs where the system has them, message boxes where
// not; titled with the application's name and centred on its main window. The view asks through
// IViewQuestions, so that tests can give the answers.
#include <string>

#include "win/Win32.h"

#include <commctrl.h>

namespace kv {

// What the close-or-delete question returns.
constexpr int kCloseTheTab = 1;
constexpr int kDeleteTheConnection = 2;

// True for Yes only; a dismissed dialog is No. Default Yes: the information icon and Yes as default
// button; default No: the warning icon and No as default button (deletions).
bool AskYesNoQuestion(const std::u16string& text, bool defaultYes);
// 1 close the tab, 2 delete the connection, 0 neither (cancelled or dismissed).
int ShowTaskDialog(const std::u16string& text);
// The same with the text of a string id.
int ShowTaskDialog(unsigned stringId);

class IViewQuestions {
public:
    virtual bool AskYesNo(const std::u16string& text, bool defaultYes) = 0;
    virtual int AskCloseOrDelete(const std::u16string& text) = 0;
    // A message box on the main window with the application's title; the MessageBox result.
    virtual int ShowMessage(const std::u16string& text, UINT type) = 0;

protected:
    ~IViewQuestions() = default;
};

// TaskDialogIndirect of the loaded comctl32.dll, null when the system has no task dialogs.
using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
TaskDialogIndirectFn FindTaskDialogIndirect();
// The two questions with a given task dialog function; null gives the message boxes.
bool AskYesNoQuestion(TaskDialogIndirectFn taskDialog, const std::u16string& text, bool defaultYes);
int ShowTaskDialog(TaskDialogIndirectFn taskDialog, const std::u16string& text);

// The questions as the user sees them.
IViewQuestions& UserQuestions();

} // namespace kv
