#include "app/CAboutDlg.h"

#include "app/InstanceIdentity.h"
#include "app/CKestrivaneApp.h"
#include "app/VersionText.h"
#include "base/Format.h"
#include "base/TextCatalog.h"
#include "resources/resource.h"

namespace kv {

INT_PTR CAboutDlg::DoModal(HWND parent) { return CDialogBase::DoModal(parent, IDD_ABOUTBOX); }

bool CAboutDlg::OnInitDialog()
{
    SetItemText(IDC_ABOUT_VERSION, FormatText(LoadText(423), GetVersionText()));
    SetItemText(IDC_ABOUT_BUILD, FormatText(LoadText(424), FormatBuildDate(__DATE__, __TIME__)));
    const CKestrivaneApp& app = TheApp();
    SetItemText(IDC_ABOUT_SETTINGS, app.IsDefaultIni ? u"" : FormatText(LoadText(474), app.IniPath));
    return true;
}

bool CAboutDlg::OnCommand(int id, int, HWND)
{
    if (id != IDOK && id != IDCANCEL) return false;
    EndDialog(id);
    return true;
}

} // namespace kv
