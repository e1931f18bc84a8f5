#include "win/DialogBase.h"

namespace kv {

bool CDialogBase::Create(HWND parent, UINT templateId, HMODULE resources)
{
    if (hwnd_) return false;
    HMODULE module = resources ? resources : ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5)); // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return false;
    HWND hwnd = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, parent, &StaticDialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (hwnd && hwnd_ != hwnd) { // WM_INITDIALOG never reached us
        ::DestroyWindow(hwnd);
        return false;
    }
    return hwnd != nullptr;
}

INT_PTR CDialogBase::DoModal(HWND parent, UINT templateId)
{
    if (hwnd_) return -1;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, &StaticDialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogBase::StaticDialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialogBase*>(lParam);
    if (!self || !self->Subclass(hwnd)) return FALSE;
    return self->OnInitDialog() ? TRUE : FALSE;
}

} // namespace kv
