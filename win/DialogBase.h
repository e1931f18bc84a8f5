#pragma once
// A modeless dialog made from a template and then handled like every other window of ours: from
// WM_INITDIALOG on, its messages reach the virtual handlers of CWindowBase through a subclass, and the
// dialog manager's default handling sits below them.
#include "win/WindowBase.h"

namespace kv {

class CDialogBase : public CWindowBase {
public:
    // The template is read from the given module (the program when null); the dialog belongs to the program.
    bool Create(HWND parent, UINT templateId, HMODULE resources = nullptr);
    // Runs the dialog modally until EndDialog; the code given there, or -1 when it could not be shown.
    INT_PTR DoModal(HWND parent, UINT templateId);
    bool EndDialog(INT_PTR result) { return ::EndDialog(hwnd_, result) != FALSE; }

protected:
    // After the controls exist; true lets the dialog manager set the focus.
    virtual bool OnInitDialog() { return true; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace kv
