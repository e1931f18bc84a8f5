#pragma once
// The modal "Connection Settings" dialog: creates a connection (New) or edits one (Settings). It edits a
// copy of the connection's settings, turns pasted addresses into host and port, validates on OK with one
// message per fault, and opens the spot filters of this connection and the cluster chooser.
#include <string>
#include <vector>

#include "app/ConnectionForm.h"
#include "app/DialogMessageBox.h"
#include "connections/CConnectionSettings.h"
#include "spots/SpotFilterSet.h"
#include "win/DialogBase.h"

namespace kv {

class ISpotFiltersHost;

// What DoModal returns when the user chose "Delete..." (the button's id).
constexpr INT_PTR kConnectionSettingsDelete = 1046;

class CConnectionSettingsDlg : public CDialogBase {
public:
    // otherNames: the names of every other connection, open or closed; isEdit: false for a new connection.
    CConnectionSettingsDlg(const CConnectionSettings& settings, std::vector<std::u16string> otherNames, bool isEdit,
                           HWND parent);

    // IDOK (the result is in Settings), IDCANCEL, or kConnectionSettingsDelete.
    INT_PTR DoModal();

    CConnectionSettings Settings;
    int ConnectionId = 0;                    // 0 for a new connection
    ISpotFiltersHost* FiltersHost = nullptr; // none: "Spot filters..." stays disabled
    DialogMessageBox Messages;

    // The subclass of the host (refData 1) and login (0) fields: swallows the characters they may not hold.
    static LRESULT CALLBACK FilterEditChars(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR isHost);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void WriteControls();
    void FillLists();
    // The bound fields as the controls hold them; false (after its message) when a number is refused.
    bool ReadControls(ConnectionForm& form);
    ConnectionType SelectedType() const;
    void OnOK();
    void OnHostKillFocus();
    void OnTypeChanged();
    void OnChooseCluster();
    void OnSpotFilters();
    void UpdateTypeControls();
    void UpdateRadioControls();
    void UpdateFilterSummary();
    void FocusControl(int controlId);
    void EnableItem(int id, bool enable);

    std::vector<std::u16string> otherNames_;
    bool isEdit_;
    HWND parent_;
    ConnectionForm form_;           // the bound fields; its Filters are the connection's own as edited here
    std::u16string initialName_;    // the name the dialog was opened with
    ConnectionType currentType_ = ConnectionTelnet; // the type shown before the last change of the list
};

} // namespace kv
