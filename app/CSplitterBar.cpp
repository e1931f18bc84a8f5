#include "app/CSplitterBar.h"

#include <windowsx.h>

#include "app/DpiHelpers.h"

namespace kv {

bool CSplitterBar::Create(HWND parent, int id, const RECT& rect)
{
    CreateArgs args = CreateArgs::Child(u"Kestrivane.Splitter", parent, id, WS_CHILD | WS_VISIBLE, rect);
    args.classStyle = 0;
    args.cursor = ::LoadCursorW(nullptr, IDC_SIZENS);
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return CWindowBase::Create(args);
}

LRESULT CSplitterBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        dragging_ = true;
        pressY_ = GET_Y_LPARAM(lParam);
        SetCapture();
        break;
    case WM_MOUSEMOVE:
        if (dragging_) {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::MapWindowPoints(hwnd_, GetParent(), &p, 1);
            ::SendMessageW(GetParent(), WM_APP_SPLITTER_DRAG, WPARAM(GetId()), LPARAM(p.y - pressY_));
        }
        break;
    case WM_LBUTTONUP:
        if (dragging_) ::ReleaseCapture();
        break;
    case WM_CAPTURECHANGED:
        dragging_ = false; // however the capture is lost
        break;
    default:
        break;
    }
    return CWindowBase::WndProc(msg, wParam, lParam);
}

bool CSplitterBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    const RECT client = ClientRect();
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    const int width = ::MulDiv(30, GetWindowDpi(hwnd_), 96);
    const int middleX = (client.left + client.right) / 2;
    const int middleY = (client.top + client.bottom) / 2;
    const RECT grip{middleX - width / 2, middleY, middleX + width / 2, middleY + 1};
    ::FillRect(dc, &grip, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::EndPaint(hwnd_, &ps);
    return true;
}

} // namespace kv
