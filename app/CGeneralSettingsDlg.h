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

    // The font-enumeration callback: adds a fixed-pitch face (no vertical "@" variant) once to the list.
    static int CALLBACK AddFixedPitchFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void WriteControls();
    void FillFontList();
    void OnOK();
    // The number of a field in its range; false (after the message, on the field) when refused.
    bool ReadNumber(int id, int min, int max, int& value);
    void UpdateStationsEdit();

    HWND parent_;
};

} // namespace kv
