#pragma once
// The modal "Connection Settings" dialog: creates a connection (New) or edits one (Settings). It edits a
// copy of the connection's settings, turns pasted addresses into host and port, validates on OK with one
// message per fault, and opens the spot filters of this connection and the cluster chooser.
#include <string>
#include <vector>

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
    int ConnectionId = 0;                  // 0 for a new connection
    ISpotFiltersHost* FiltersHost = nullptr; // none: "Spot filters..." stays disabled
    DialogMessageBox Messages;

private:
    std::vector<std::u16string> otherNames_;
    bool isEdit_;
    HWND parent_;
};

} // namespace kv
