#pragma once
// The link controls of our dialog templates.
#include "win/Win32.h"

namespace kv {

// Under Wine a link control shows its markup as plain text once it was sent WM_SETFONT, which the dialog
// manager sends to every control of a template: the dialog's links are made again in place, with the same
// id, styles and tab order, and keep the control's own font. The dialog's font survives the old control.
void RecreateLinkControls(HWND dialog);

} // namespace kv
