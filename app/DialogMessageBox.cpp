#include "app/DialogMessageBox.h"

#include "base/Ascii.h"
#include "base/TextCatalog.h"
#include "win/Edit.h"

namespace kv {

int DialogMessageBox::operator()(HWND owner, const std::u16string& text, UINT type) const
{
    if (Show) return Show(owner, text, type);
    return ::MessageBoxW(owner, W(text), W(LoadText(57344)), type);
}

void DialogMessageBox::ShowFieldError(HWND dialog, const std::u16string& text, int controlId) const
{
    (*this)(dialog, text, MB_OK | MB_ICONWARNING);
    CEdit field(::GetDlgItem(dialog, controlId));
    ::SendMessageW(dialog, WM_NEXTDLGCTL, WPARAM(field.Handle()), TRUE);
    if (EqualsIgnoreCaseAscii(field.GetClassName(), u"Edit")) field.SelectAll();
}

} // namespace kv
