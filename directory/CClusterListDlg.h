#pragma once
// "Choose a DX Cluster": the user picks a node of the cluster directory instead of typing its address.
// The nodes are narrowed by typing (anywhere but in the country list), by country and by "RBN nodes only",
// sorted by a column, shown with their details, probed on request, and reloaded when a new list arrives.
// After DoModal returns IDOK, SelectedName, SelectedHost and SelectedPort hold the chosen node.
#include <cstdint>
#include <string>
#include <vector>

#include "directory/ClusterNodeList.h"
#include "directory/NodeListFilter.h"
#include "directory/SearchTyping.h"
#include "win/DialogBase.h"
#include "win/ImageList.h"
#include "win/ListView.h"
#include "win/ComboBox.h"

namespace kv {

class CClusterListDlg : public CDialogBase {
public:
    // The node lists are read from the program's default cfg folder, [General] is that of its settings file.
    explicit CClusterListDlg(HWND parent);
    // cfgFolder ends in a backslash; iniPath may be empty (then nothing is read from or written to it).
    CClusterListDlg(HWND parent, std::u16string cfgFolder, std::u16string iniPath);
    ~CClusterListDlg() override;

    // IDOK when a node was chosen, IDCANCEL otherwise (also when no node list can be read), -1 when the
    // dialog could not be made.
    INT_PTR DoModal();

    std::u16string SelectedName;
    std::u16string SelectedHost;
    int32_t SelectedPort = 23;

    static constexpr UINT_PTR kSearchPauseTimer = 1;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnTimer(UINT_PTR id) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void RunModalLoop();
    void EndModal(INT_PTR result);
    // Type-to-search and the country list's type-ahead; true when the message was consumed.
    bool PreTranslateMessage(const MSG& msg);
    bool OnCountryChar(char16_t c);
    bool FocusInCountryCombo() const;

    bool LoadList();
    void ReloadList();
    void FillCountries();
    void RefreshList();
    void UpdateStatusTexts();
    void ShowDetails();
    void SelectRow(int row);
    int SelectedRow() const;
    const ClusterNode* SelectedNode() const;
    int32_t ChosenAdif() const;
    bool RbnOnlyTicked() const;

    void OnOK();
    void OnCancel();
    void SaveRbnOnly();
    void OnCheckForUpdates();
    void OnListUpdated(LPARAM record);
    void OnTest();
    void OnTestResult(LPARAM record);
    void SetUpColumns(int dpi);
    void SetUpBadges(int dpi);

    HWND parent_;
    std::u16string cfgFolder_;
    std::u16string iniPath_;

    ClusterNodeList list_;
    std::u16string listFileName_;
    CImageList images_;
    HICON legendIcons_[2] = {};
    std::vector<uint32_t> shown_;
    CTypeToSearch search_;
    CTypeAhead countryTypeAhead_;
    NodeSortOrder sort_;
    bool updateManual_ = false;
    int32_t testRequestId_ = 0;

    CListViewCtrl nodeList_;
    CComboBox countries_;

    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
    bool escapeKeyMessage_ = false; // the Escape key's own message is being handled
};

} // namespace kv
