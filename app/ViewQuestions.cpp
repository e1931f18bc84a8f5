#include "app/ViewQuestions.h"

#include "app/CKestrivaneApp.h"
#include "app/ViewCommandRules.h"
#include "base/TextCatalog.h"
#include "win/WineDetection.h"

namespace kv {
namespace {

constexpr unsigned kApplicationNameId = 57344;
constexpr int kCloseButton = 100;
constexpr int kDeleteButton = 101;

std::u16string ApplicationName() { return LoadText(kApplicationNameId); }

// The questions name connections, whose names may hold an "&". Wine's task dialog shows its content in a
// static control that takes it for an access key, so there it is doubled as in a menu; Windows' own shows
// the content as it stands.
std::u16string TaskDialogContent(const std::u16string& text) { return RunningUnderWine() ? EscapeMenuText(text) : text; }

// The config points at the content and the title: both must outlive the dialog.
TASKDIALOGCONFIG MakeTaskDialogConfig(const std::u16string& content, const std::u16string& title)
{
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = TheApp().MainWindow();
    config.hInstance = ::GetModuleHandleW(nullptr);
    config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = W(title);
    config.pszContent = W(content);
    return config;
}

class CUserQuestions final : public IViewQuestions {
public:
    bool AskYesNo(const std::u16string& text, bool defaultYes) override { return AskYesNoQuestion(text, defaultYes); }
    int AskCloseOrDelete(const std::u16string& text) override { return ShowTaskDialog(text); }
    int ShowMessage(const std::u16string& text, UINT type) override
    {
        return ::MessageBoxW(TheApp().MainWindow(), W(text), W(ApplicationName()), type);
    }
};

} // namespace

TaskDialogIndirectFn FindTaskDialogIndirect()
{
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    if (!comctl) return nullptr;
    return reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<void*>(::GetProcAddress(comctl, "TaskDialogIndirect")));
}

bool AskYesNoQuestion(TaskDialogIndirectFn taskDialog, const std::u16string& text, bool defaultYes)
{
    const std::u16string title = ApplicationName();
    if (taskDialog) {
        const std::u16string content = TaskDialogContent(text);
        TASKDIALOGCONFIG config = MakeTaskDialogConfig(content, title);
        config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
        config.pszMainIcon = defaultYes ? TD_INFORMATION_ICON : TD_WARNING_ICON;
        config.nDefaultButton = defaultYes ? IDYES : IDNO;
        int button = 0;
        if (SUCCEEDED(taskDialog(&config, &button, nullptr, nullptr))) return button == IDYES;
    }
    const UINT type = MB_YESNO | MB_ICONQUESTION | (defaultYes ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return ::MessageBoxW(TheApp().MainWindow(), W(text), W(title), type) == IDYES;
}

int ShowTaskDialog(TaskDialogIndirectFn taskDialog, const std::u16string& text)
{
    const std::u16string title = ApplicationName();
    if (taskDialog) {
        const std::u16string closeText = LoadText(460);
        const std::u16string deleteText = LoadText(461);
        const TASKDIALOG_BUTTON buttons[] = {{kCloseButton, W(closeText)}, {kDeleteButton, W(deleteText)}};
        const std::u16string content = TaskDialogContent(text);
        TASKDIALOGCONFIG config = MakeTaskDialogConfig(content, title);
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.pszMainIcon = TD_WARNING_ICON;
        config.pButtons = buttons;
        config.cButtons = 2;
        config.nDefaultButton = kCloseButton;
        int button = 0;
        if (SUCCEEDED(taskDialog(&config, &button, nullptr, nullptr)))
            return button == kCloseButton ? kCloseTheTab : button == kDeleteButton ? kDeleteTheConnection : 0;
    }
    const std::u16string boxText = text + LoadText(459);
    switch (::MessageBoxW(TheApp().MainWindow(), W(boxText), W(title), MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES: return kCloseTheTab;
    case IDNO: return kDeleteTheConnection;
    default: return 0;
    }
}

bool AskYesNoQuestion(const std::u16string& text, bool defaultYes)
{
    return AskYesNoQuestion(FindTaskDialogIndirect(), text, defaultYes);
}

int ShowTaskDialog(const std::u16string& text) { return ShowTaskDialog(FindTaskDialogIndirect(), text); }

int ShowTaskDialog(unsigned stringId) { return ShowTaskDialog(LoadText(stringId)); }

IViewQuestions& UserQuestions()
{
    static CUserQuestions questions;
    return questions;
}

} // namespace kv
