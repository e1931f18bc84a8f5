#include "win/MessageOnlyWindow.h"

namespace kv {

bool CMessageOnlyWindow::Create(Handler handler)
{
    handler_ = std::move(handler);
    CreateArgs args;
    args.className = u"Kestrivane.MessageOnly";
    args.style = 0;
    args.x = args.y = args.cx = args.cy = 0;
    args.parent = HWND_MESSAGE;
    return CWindowBase::Create(args);
}

LRESULT CMessageOnlyWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (handler_ && handler_(msg, wParam, lParam, result)) return result;
    return DefaultProc(msg, wParam, lParam);
}

} // namespace kv
