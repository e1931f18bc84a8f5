#pragma once
// The creation options of a child window of our own: its class, parent and control id, placed later.
#include <string>

#include "win/WindowBase.h"

namespace kv {

inline CWindowBase::CreateArgs ChildWindowArgs(std::u16string className, HWND parent, int id, DWORD style)
{
    CWindowBase::CreateArgs args;
    args.className = std::move(className);
    args.style = style;
    args.parent = parent;
    args.menuOrId = reinterpret_cast<HMENU>(INT_PTR(id));
    args.x = args.y = args.cx = args.cy = 0;
    return args;
}

} // namespace kv
