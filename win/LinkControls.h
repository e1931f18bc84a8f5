#pragma once
// The link (SysLink) controls of a dialog template, made again in place.
#include "win/Win32.h"

namespace kv {

// Under Wine a link control shows its markup as plain text once it was sent WM_SETFONT, which the dialog
// manager sends to every control of a template, and a link control deletes the font it holds when it is
// destroyed (for a template's control, the dialog's own font). The dialog's links are made again in place,
// with the same id, styles, text and tab order, after their font was taken back from them; the new ones keep
// the control's own font.
void RecreateLinkControls(HWND dialog);

} // namespace kv
