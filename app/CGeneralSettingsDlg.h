#pragma once
// The modal "General Settings" dialog: edits a copy of the application's general settings (display font,
// connection behaviour, logger network). It writes nothing itself; the caller stores Result after OK.
#include "app/DialogMessageBox.h"
#include "connections/GeneralSettings.h"
#include "win/DialogBase.h"

namespace kv {

class CGeneralSettingsDlg : public CDialogBase {
public:
    CGeneralSettingsDlg(const GeneralSettings& settings, HWND parent);

    // IDOK with Result filled, or IDCANCEL.
    INT_PTR DoModal();

    GeneralSettings Result;
    DialogMessageBox Messages;

private:
    HWND parent_;
};

} // namespace kv
