#pragma once
// The base of every window of ours: the HWND plus a window procedure that dispatches to virtual handlers.
// Windows of the system (pages, panes, dialogs' children) derive from it and override what they need.
// Controls of the system are subclassed through Subclass() and then dispatch the same way.
#include <string>
#include <vector>

#include "win/Window.h"

namespace kv {

class CWindowBase : public CWindow {
public:
    struct CreateArgs {
        std::u16string className;    // registered on first use when not a system class
        std::u16string title;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
        HWND parent = nullptr;
        HMENU menuOrId = nullptr;
        UINT classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        HICON icon = nullptr;
        HICON smallIcon = nullptr;
        HCURSOR cursor = nullptr;    // the arrow when null
        HBRUSH background = nullptr; // the window colour when null

        // A child window with a control id, placed in a rectangle of its parent.
        static CreateArgs Child(const std::u16string& className, HWND parent, int id, DWORD style, const RECT& rect)
        {
            CreateArgs args;
            args.className = className;
            args.style = style;
            args.x = rect.left;
            args.y = rect.top;
            args.cx = rect.right - rect.left;
            args.cy = rect.bottom - rect.top;
            args.parent = parent;
            args.menuOrId = reinterpret_cast<HMENU>(INT_PTR(id));
            return args;
        }
    };

    CWindowBase() = default;
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;
    virtual ~CWindowBase();

    bool Create(const CreateArgs& args);
    // Takes over an existing window (a control created from a template, say) through a subclass.
    bool Subclass(HWND hwnd);
    // The object of a window created or subclassed by this class, or null.
    static CWindowBase* FromHandle(HWND hwnd);

    // Records posted with PostRecord under this message are freed when the window is destroyed unread.
    void AcceptRecords(UINT message);

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    virtual bool OnCreate(const CREATESTRUCTW& cs) { return true; }
    virtual void OnDestroy() {}
    virtual bool OnClose() { return false; } // true: handled, no DestroyWindow
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    virtual bool OnNotify(NMHDR& header, LRESULT& result) { return false; }
    virtual void OnSize(UINT type, int cx, int cy) {}
    virtual void OnTimer(UINT_PTR id) {}
    virtual bool OnPaint() { return false; }
    // Commands and notifications that a control sent to its parent, handed back to the control's object.
    virtual bool OnReflectedCommand(int code, LRESULT& result) { return false; }
    virtual bool OnReflectedNotify(NMHDR& header, LRESULT& result) { return false; }
    // The last call on the window; the object may delete itself here.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK StaticSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void FreeQueuedRecords();
    void Detached();

    bool subclassed_ = false;
    std::vector<UINT> recordMessages_;
};

} // namespace kv
