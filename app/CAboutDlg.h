#pragma once
// The about box: the version, the build's date and the settings file when it is not the default one.
#include "win/DialogBase.h"

namespace kv {

class CAboutDlg : public CDialogBase {
public:
    INT_PTR DoModal(HWND parent);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
};

} // namespace kv
