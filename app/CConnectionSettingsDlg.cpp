#include "app/CConnectionSettingsDlg.h"

namespace kv {

CConnectionSettingsDlg::CConnectionSettingsDlg(const CConnectionSettings& settings,
                                               std::vector<std::u16string> otherNames, bool isEdit, HWND parent)
    : Settings(settings), otherNames_(std::move(otherNames)), isEdit_(isEdit), parent_(parent)
{
}

INT_PTR CConnectionSettingsDlg::DoModal() { return IDCANCEL; }

} // namespace kv
