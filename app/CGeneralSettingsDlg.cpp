#include "app/CGeneralSettingsDlg.h"

namespace kv {

CGeneralSettingsDlg::CGeneralSettingsDlg(const GeneralSettings& settings, HWND parent)
    : Result(settings), parent_(parent)
{
}

INT_PTR CGeneralSettingsDlg::DoModal() { return IDCANCEL; }

} // namespace kv
