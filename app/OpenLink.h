#pragma once
// Opens a link in the program the user chose for it (the web browser, the mail program), as every link of
// the program is opened: only when IsOpenableLink allows it.
#include <string>

#include "base/OpenableLink.h"
#include "win/Win32.h"

namespace kv {

// False when the address is refused or the shell could not open it.
bool OpenLink(HWND owner, const std::u16string& address, LinkKinds kinds);

} // namespace kv
