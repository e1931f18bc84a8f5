#pragma once
// The program's only top-level window: the connection view and a status bar. Its width is what the text
// panes need for 80 columns of the fixed-pitch font and cannot be changed by hand; its height has a minimum
// computed from the panes. It keeps its position and height in [Window], owns the font the text panes
// share, routes every command to the view first and then to itself, and carries out the Edit commands on
// whichever text box has the focus.
#include <optional>
#include <string>

#include "app/CChildView.h"
#include "app/MonoFont.h"
#include "app/PaneMessages.h"
#include "base/CommandRouter.h"
#include "win/MessageLoop.h"
#include "win/StatusBar.h"
#include "win/WindowBase.h"

namespace kv {

constexpr int IDC_FRAME_VIEW = 59648;
constexpr int IDC_FRAME_STATUS_BAR = 59393;
constexpr int kVersionIndicator = 425;

class CMainFrame : public CWindowBase, public IMessageFilter, public IIdleHandler, public ICommandTarget {
public:
    static constexpr char16_t kClassName[] = u"Kestrivane.MainFrame";
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

    CMainFrame();
    ~CMainFrame() override;

    // Creates the window hidden, with the view and the status bar; false with FailureText() saying why.
    bool Create(CMessageLoop& loop);
    const std::u16string& FailureText() const { return failure_; }

    // Next in the command routing after the view and the frame (the application's own commands).
    void AddCommandTarget(ICommandTarget* target) { router_.AddTarget(target); }
    const CCommandRouter& Router() const { return router_; }

    void RestorePlacement();
    void ApplyFontSettings();
    int ComputeMinWidth(int dpi) const;
    int ComputeMinHeight() const;
    int MinWidth() const { return minWidth_; }
    void UpdateMinWidth();
    void EnsureMinHeight();
    std::u16string FormatConnectionStatus() const;
    static std::u16string FormatVersionIndicator();

    CChildView& View() { return view_; }
    CStatusBar& StatusBar() { return statusBar_; }
    const MonoFont& UiFont() const { return uiFont_; }

    // [Window] through the settings file; false (value unchanged) for an empty or absent key.
    static bool ReadWindowInt(const std::u16string& key, int& value);
    static void WriteWindowInt(const std::u16string& key, int value);

    // IMessageFilter, IIdleHandler
    bool PreTranslateMessage(MSG& msg) override;
    bool OnIdle(int count) override;

    // ICommandTarget: the Edit commands, Exit and the status bar.
    std::optional<CommandState> QueryCommand(int id) override;
    void ExecuteCommand(int id) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnCommand(int id, int code, HWND control) override;

protected:
    // The settings' face, else "Consolas", else "Courier New"; false when none makes a fixed-pitch font.
    virtual bool CreateUiFont();

private:
    void UpdateVersionPane();
    void RecalcLayout();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnReadOnlyEditClicked(HWND edit);
    void SavePlacement();
    void UpdateStatusText();
    int StatusBarHeight() const;
    int TabChromeWidth(int dpi) const;
    int PageMinHeight() const;
    HWND FindFocusedEdit(bool& isRichEdit, bool& isReadOnly) const;
    HWND GetCopySource() const;
    bool Fail(const std::u16string& reason);

    CMessageLoop* loop_ = nullptr;
    HACCEL accelerators_ = nullptr;
    CCommandRouter router_;
    CStatusBar statusBar_;
    CChildView view_;
    MonoFont uiFont_;
    int dpi_ = 96;
    int minWidth_ = 0;
    std::u16string lastStatusText_;
    HWND lastReadOnlyEdit_ = nullptr;
    std::u16string failure_;
    bool created_ = false; // OnCreate finished
};

} // namespace kv
