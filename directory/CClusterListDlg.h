#pragma once
// "Choose a DX Cluster": the user picks a node of the cluster directory instead of typing its address.
// After DoModal returns IDOK, SelectedName, SelectedHost and SelectedPort hold the chosen node.
#include <cstdint>
#include <string>

#include "win/DialogBase.h"

namespace kv {

class CClusterListDlg : public CDialogBase {
public:
    explicit CClusterListDlg(HWND parent);

    // IDOK when a node was chosen, IDCANCEL otherwise (also when no node list can be read).
    INT_PTR DoModal();

    std::u16string SelectedName;
    std::u16string SelectedHost;
    int32_t SelectedPort = 23;

private:
    HWND parent_;
};

} // namespace kv
