#include "win/WindowBase.h"

#include <commctrl.h>

#include "win/PostedRecord.h"

namespace kv {
namespace {

const wchar_t kThisProperty[] = L"Kestrivane.Window";
constexpr UINT_PTR kSubclassId = 0x4B56;

bool RegisterClassOnce(const CWindowBase::CreateArgs& args, WNDPROC proc)
{
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (::GetClassInfoExW(inst, W(args.className), &existing)) return true;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = args.classStyle;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hIcon = args.icon;
    wc.hIconSm = args.smallIcon;
    wc.hCursor = args.cursor ? args.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background ? args.background : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = W(args.className);
    return ::RegisterClassExW(&wc) != 0;
}

} // namespace

CWindowBase::~CWindowBase()
{
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

bool CWindowBase::Create(const CreateArgs& args)
{
    if (hwnd_ || !RegisterClassOnce(args, &StaticWndProc)) return false;
    HWND hwnd = ::CreateWindowExW(args.exStyle, W(args.className), W(args.title), args.style, args.x, args.y,
                                  args.cx, args.cy, args.parent, args.menuOrId, ::GetModuleHandleW(nullptr), this);
    return hwnd != nullptr && hwnd_ == hwnd;
}

bool CWindowBase::Subclass(HWND hwnd)
{
    if (hwnd_ || !hwnd) return false;
    if (!::SetWindowSubclass(hwnd, &StaticSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    hwnd_ = hwnd;
    subclassed_ = true;
    ::SetPropW(hwnd, kThisProperty, this);
    return true;
}

CWindowBase* CWindowBase::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CWindowBase*>(::GetPropW(hwnd, kThisProperty)) : nullptr;
}

void CWindowBase::AcceptRecords(UINT message)
{
    for (UINT m : recordMessages_)
        if (m == message) return;
    recordMessages_.push_back(message);
}

LRESULT CALLBACK CWindowBase::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindowBase* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetPropW(hwnd, kThisProperty, self);
        }
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(msg, wParam, lParam);
}

LRESULT CALLBACK CWindowBase::StaticSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR refData)
{
    return reinterpret_cast<CWindowBase*>(refData)->Dispatch(msg, wParam, lParam);
}

LRESULT CWindowBase::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_NCDESTROY) return WndProc(msg, wParam, lParam);
    FreeQueuedRecords();
    const LRESULT result = WndProc(msg, wParam, lParam);
    Detached();
    OnFinalMessage();
    return result;
}

void CWindowBase::Detached()
{
    ::RemovePropW(hwnd_, kThisProperty);
    if (subclassed_) ::RemoveWindowSubclass(hwnd_, &StaticSubclassProc, kSubclassId);
    subclassed_ = false;
    hwnd_ = nullptr;
}

void CWindowBase::FreeQueuedRecords()
{
    MSG m;
    for (UINT message : recordMessages_)
        while (::PeekMessageW(&m, hwnd_, message, message, PM_REMOVE)) {
            if (m.message == WM_QUIT) { // taken whatever the filter: give it back to the loop
                ::PostQuitMessage(int(m.wParam));
                break;
            }
            TakeRecord<CPostedRecord>(m.lParam); // freed here
        }
}

LRESULT CWindowBase::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (subclassed_) return ::DefSubclassProc(hwnd_, msg, wParam, lParam);
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CWindowBase::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_CLOSE:
        if (OnClose()) return 0;
        break;
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        LRESULT result = 0;
        CWindowBase* child = control ? FromHandle(control) : nullptr;
        if (child && child != this && child->OnReflectedCommand(HIWORD(wParam), result)) return result;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), control)) return 0;
        break;
    }
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        CWindowBase* child = FromHandle(header.hwndFrom);
        if (child && child != this && child->OnReflectedNotify(header, result)) return result;
        if (OnNotify(header, result)) return result;
        break;
    }
    case WM_SIZE:
        OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_PAINT:
        if (OnPaint()) return 0;
        break;
    default:
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}

} // namespace kv
