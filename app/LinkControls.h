#pragma once
// The link controls of our dialog templates.
#include <string>

#include "win/Win32.h"

namespace kv {

// The dialog manager gives every control of a template the dialog's font, the links too, so that they read as
// the texts around them. Wine's link control deletes the font it holds when it is destroyed: before the
// dialog goes, its links let go of the dialog's font, which every other control still uses.
void ReleaseLinkFonts(HWND dialog);

// Sets the markup of a link of several lines as CLinkCtrl::SetMarkup does. Wine's link control breaks its
// lines only at its font's break character, which Wine reports as "!" for some faces (Liberation Sans, its
// stand-in for the dialogs' face): for such a font the lines are broken here, between words, where they fit.
void SetWrappedLinkMarkup(HWND link, const std::u16string& markup);

} // namespace kv
