#pragma once
// Menu items enabled and checked as the command routing says, when their menu is about to open.
#include "base/CommandRouter.h"
#include "win/Win32.h"

namespace kv {

// Items without a handler are disabled, as in any menu whose command nobody carries out.
inline void ApplyCommandStates(HMENU menu, const CCommandRouter& router)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == UINT(-1)) continue; // a separator or a sub-menu
        const std::optional<CommandState> state = router.Query(int(id));
        ::EnableMenuItem(menu, UINT(i), MF_BYPOSITION | (state && state->enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu, UINT(i), MF_BYPOSITION | (state && state->checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

} // namespace kv
