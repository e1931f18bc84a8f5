#include "app/DialogMessageBox.h"

#include "base/TextCatalog.h"

namespace kv {

int DialogMessageBox::operator()(HWND owner, const std::u16string& text, UINT type) const
{
    if (Show) return Show(owner, text, type);
    return ::MessageBoxW(owner, W(text), W(LoadText(57344)), type);
}

} // namespace kv
