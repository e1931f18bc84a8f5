#include "app/CMainFrame.h"

#include <richedit.h>

#include "app/CKestrivaneApp.h"
#include "app/DpiHelpers.h"
#include "app/VersionText.h"
#include "base/Ascii.h"
#include "base/Format.h"
#include "base/LeadingInteger.h"
#include "base/Text.h"
#include "base/TextCatalog.h"
#include "connections/CConnectionPage.h"
#include "connections/PageLayout.h"
#include "resources/resource.h"
#include "win/IniFile.h"
#include "win/MenuCommandStates.h"

namespace kv {
namespace {

constexpr char16_t kWindowSection[] = u"Window";
constexpr int kDefaultHeight = 600;
constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT WorkAreaOf(HMONITOR monitor)
{
    MONITORINFO info{sizeof info};
    ::GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

bool HasSelection(HWND edit)
{
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return start != end;
}

} // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create(CMessageLoop& loop)
{
    loop_ = &loop;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    accelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    router_.AddTarget(&view_);
    router_.AddTarget(this);

    CreateArgs args;
    args.className = kClassName;
    args.title = LoadText(57344);
    args.style = kStyle;
    args.menuOrId = ::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    args.icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    args.smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!CWindowBase::Create(args)) {
        if (args.menuOrId) ::DestroyMenu(args.menuOrId);
        if (failure_.empty()) Fail(FormatText(u"error %lu", static_cast<unsigned long>(::GetLastError())));
        return false;
    }
    loop.AddFilter(this);
    loop.AddIdleHandler(this);
    return true;
}

bool CMainFrame::Fail(const std::u16string& reason)
{
    failure_ = FormatText(LoadText(575), reason);
    return false;
}

bool CMainFrame::OnCreate(const CREATESTRUCTW&)
{
    dpi_ = GetWindowDpi(hwnd_);
    if (!CreateUiFont()) return Fail(FormatText(LoadText(576), TheApp().Settings.FontFace));
    view_.SetTextFont(&uiFont_);
    if (!view_.Create(hwnd_, IDC_FRAME_VIEW)) return Fail(LoadText(577));
    if (!statusBar_.Create(hwnd_, IDC_FRAME_STATUS_BAR, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP))
        return Fail(LoadText(578));
    UpdateVersionPane();
    UpdateStatusText();
    minWidth_ = ComputeMinWidth(dpi_);
    created_ = true;
    return true;
}

// The font face of the settings, else "Consolas", else "Courier New": the first that makes a true
// fixed-pitch font. The font stays as it was when none does.
bool CMainFrame::CreateUiFont()
{
    const GeneralSettings& settings = TheApp().Settings;
    const int size = settings.FontSize < 6 ? 6 : settings.FontSize > 36 ? 36 : settings.FontSize;
    for (const std::u16string& face : {settings.FontFace, std::u16string(u"Consolas"), std::u16string(u"Courier New")})
        if (!face.empty() && uiFont_.CreateFontForDpi(face, size, dpi_)) return true;
    return false;
}

void CMainFrame::ApplyFontSettings()
{
    if (!CreateUiFont()) return;
    view_.ApplyFont();
    UpdateMinWidth();
    EnsureMinHeight();
}

// A frame whose creation failed is destroyed by Windows before it was ever placed: it must neither
// overwrite the saved placement nor end the loop of the message box that says why the program ends.
void CMainFrame::OnDestroy()
{
    if (loop_) {
        loop_->RemoveFilter(this);
        loop_->RemoveIdleHandler(this);
    }
    if (!created_) return;
    SavePlacement();
    ::PostQuitMessage(0);
}

LRESULT CMainFrame::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_APP_REFIT_FRAME:
        UpdateMinWidth();
        EnsureMinHeight();
        return 0;
    case WM_APP_EDIT_CLICKED:
        OnReadOnlyEditClicked(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_APP_FOCUS_SEND_LINE:
    case WM_SETFOCUS:
        if (view_.Handle()) view_.SetFocus();
        return 0;
    case WM_GETMINMAXINFO: {
        const LRESULT result = DefaultProc(msg, wParam, lParam);
        if (minWidth_ > 0) {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize.x = info.ptMaxTrackSize.x = minWidth_;
            info.ptMinTrackSize.y = ComputeMinHeight();
        }
        return result;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        ApplyCommandStates(reinterpret_cast<HMENU>(wParam), router_);
        return 0;
    default:
        return CWindowBase::WndProc(msg, wParam, lParam);
    }
}

// Every command goes through the routing: the view, then the frame, then the application. A command that
// is disabled there is refused, also when it comes from an accelerator or a button.
bool CMainFrame::OnCommand(int id, int, HWND control)
{
    if (control && control != hwnd_ && ::IsChild(hwnd_, control)) return false;
    router_.Execute(id);
    return true;
}

// The layout.

void CMainFrame::OnSize(UINT type, int cx, int)
{
    if (type == SIZE_MINIMIZED || !statusBar_.Handle()) return;
    statusBar_.Reposition();
    UpdateVersionPane();
    const int statusHeight = StatusBarHeight();
    const RECT client = ClientRect();
    if (view_.Handle()) view_.Move(0, 0, cx, Height(client) - statusHeight);
    RecalcLayout();
}

void CMainFrame::RecalcLayout()
{
    if (minWidth_ <= 0 || !hwnd_ || ::IsIconic(hwnd_)) return;
    if (Height(WindowRect()) < ComputeMinHeight()) PostMessage(WM_APP_REFIT_FRAME);
}

int CMainFrame::StatusBarHeight() const { return statusBar_.IsVisible() ? Height(statusBar_.WindowRect()) : 0; }

void CMainFrame::UpdateVersionPane()
{
    if (!statusBar_.Handle()) return;
    const std::u16string text = FormatVersionIndicator();
    HDC dc = ::GetDC(statusBar_);
    HFONT font = reinterpret_cast<HFONT>(statusBar_.SendMessage(WM_GETFONT));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, W(text), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(statusBar_, dc);
    int borders[3] = {};
    statusBar_.GetBorders(borders);
    const int grip = GetSystemMetricForDpi(SM_CXVSCROLL, dpi_);
    const int paneWidth = size.cx + 2 * borders[2] + ScaleForDpi(8, dpi_) + grip;
    const int clientWidth = Width(statusBar_.ClientRect());
    statusBar_.SetParts({clientWidth - paneWidth > 0 ? clientWidth - paneWidth : 0, -1});
    statusBar_.SetPaneText(1, text);
    statusBar_.SetPaneText(0, lastStatusText_);
}

int CMainFrame::TabChromeWidth(int dpi) const
{
    if (view_.TabChromeWidth() < 0) return ScaleForDpi(6, dpi);
    return ::MulDiv(view_.TabChromeWidth(), dpi, view_.TabChromeDpi());
}

int CMainFrame::ComputeMinWidth(int dpi) const
{
    int textWidth = 0;
    if (uiFont_.Font.Handle()) {
        const int edge = GetSystemMetricForDpi(SM_CXEDGE, dpi);
        textWidth = GetSystemMetricForDpi(SM_CXVSCROLL, dpi) + ScaleForDpi(2, dpi) +
                    2 * (edge + 40 * uiFont_.CharWidth + ScaleForDpi(4, dpi));
    }
    const int barWidth = view_.ButtonBar().BarWidth();
    const int chromeAndText = TabChromeWidth(dpi) + textWidth;
    RECT rect{0, 0, barWidth > chromeAndText ? barWidth : chromeAndText, 100};
    AdjustWindowRectForDpi(rect, DWORD(GetStyle()), false, DWORD(GetExStyle()), dpi);
    return Width(rect);
}

int CMainFrame::PageMinHeight() const
{
    CConnectionPage* page = view_.FirstPage();
    if (!page) return ScaleForDpi(150, view_.Dpi());
    PageLayoutMetrics metrics;
    metrics.dpi = page->Handle() ? GetWindowDpi(page->Handle()) : 96;
    metrics.lineHeight = page->TextFont() ? page->TextFont()->LineHeight : 0;
    metrics.edge = GetSystemMetricForDpi(SM_CYEDGE, metrics.dpi);
    const PageLayout layout(metrics);
    return layout.SendEditHeight(PageLayout::kPaneReserveLines) + layout.SendEditHeight(1) +
           page->ButtonBar().BarHeight() + ScaleForDpi(5, metrics.dpi);
}

int CMainFrame::ComputeMinHeight() const
{
    const int log = view_.LogCollapsed() ? view_.LogHeaderHeight() : view_.GetLogPaneHeight();
    const int chrome = view_.TabChromeHeight() >= 0 ? view_.TabChromeHeight() : ScaleForDpi(30, view_.Dpi());
    const int client = PageMinHeight() + view_.ButtonBar().BarHeight() + chrome + log + StatusBarHeight();
    RECT rect{0, 0, 100, client};
    AdjustWindowRectForDpi(rect, DWORD(GetStyle()), true, DWORD(GetExStyle()), dpi_);
    return Height(rect);
}

void CMainFrame::UpdateMinWidth()
{
    const int width = ComputeMinWidth(dpi_);
    if (width == minWidth_) return;
    minWidth_ = width;
    if (!::IsIconic(hwnd_)) SetPos(nullptr, 0, 0, width, Height(WindowRect()), SWP_NOMOVE | kPlaceFlags);
}

void CMainFrame::EnsureMinHeight()
{
    if (minWidth_ <= 0 || ::IsIconic(hwnd_)) return;
    const int minHeight = ComputeMinHeight();
    const RECT frame = WindowRect();
    if (Height(frame) >= minHeight) return;
    const RECT work = WorkAreaOf(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST));
    int top = frame.top;
    if (top + minHeight > work.bottom) top = work.top > work.bottom - minHeight ? work.top : work.bottom - minHeight;
    SetPos(nullptr, frame.left, top, Width(frame), minHeight, kPlaceFlags);
}

void CMainFrame::OnDpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    CreateUiFont();
    view_.OnDpiChanged(dpi);
    UpdateVersionPane();
    minWidth_ = ComputeMinWidth(dpi_);
    SetPos(nullptr, suggested.left, suggested.top, minWidth_, Height(suggested), kPlaceFlags);
}

// The placement.

bool CMainFrame::ReadWindowInt(const std::u16string& key, int& value)
{
    const std::optional<std::u16string> text = CIniFile(TheApp().IniPath).Read(kWindowSection, key);
    if (!text || Trim(*text).empty()) return false;
    value = ParseLeadingInteger(*text);
    return true;
}

void CMainFrame::WriteWindowInt(const std::u16string& key, int value)
{
    CIniFile(TheApp().IniPath).Write(kWindowSection, key, FormatText(u"%d", value));
}

void CMainFrame::RestorePlacement()
{
    const int minHeight = ComputeMinHeight();
    int left = 0, top = 0, height = 0;
    const bool stored = ReadWindowInt(u"Left", left) && ReadWindowInt(u"Top", top) && ReadWindowInt(u"Height", height);
    if (!stored) height = ScaleForDpi(kDefaultHeight, dpi_);
    if (height < minHeight) height = minHeight;
    const RECT titleStrip{left, top, left + minWidth_, top + ScaleForDpi(30, dpi_)};
    if (stored && ::MonitorFromRect(&titleStrip, MONITOR_DEFAULTTONULL)) {
        SetPos(nullptr, left, top, minWidth_, height, kPlaceFlags);
        return;
    }
    const RECT work = WorkAreaOf(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY));
    if (height > Height(work)) height = Height(work);
    left = work.left + (Width(work) - minWidth_) / 2;
    top = work.top + (Height(work) - height) / 2;
    SetPos(nullptr, left, top, minWidth_, height, kPlaceFlags);
}

void CMainFrame::SavePlacement()
{
    RECT rect{};
    if (::IsIconic(hwnd_)) {
        WINDOWPLACEMENT placement{sizeof placement};
        if (!::GetWindowPlacement(hwnd_, &placement)) return;
        rect = placement.rcNormalPosition; // in work-area coordinates
        MONITORINFO info{sizeof info};
        ::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info);
        ::OffsetRect(&rect, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    } else {
        rect = WindowRect();
    }
    WriteWindowInt(u"Left", rect.left);
    WriteWindowInt(u"Top", rect.top);
    WriteWindowInt(u"Height", Height(rect));
}

// The status bar.

std::u16string CMainFrame::FormatConnectionStatus() const
{
    const std::u16string format = LoadText(317);
    if (format.empty()) return {};
    int active = 0, inactive = 0;
    view_.CountConnections(active, inactive);
    return FormatText(format, active, active == 1 ? u"" : u"s", inactive, inactive == 1 ? u"" : u"s");
}

std::u16string CMainFrame::FormatVersionIndicator() { return FormatText(LoadText(kVersionIndicator), GetVersionText()); }

void CMainFrame::UpdateStatusText()
{
    if (!statusBar_.Handle()) return;
    const std::u16string text = FormatConnectionStatus();
    if (text == lastStatusText_) return;
    lastStatusText_ = text;
    statusBar_.SetPaneText(0, text);
}

bool CMainFrame::OnIdle(int)
{
    UpdateStatusText();
    view_.UpdateCommandUi([this](int id) -> std::optional<bool> {
        const std::optional<CommandState> state = router_.Query(id);
        if (!state) return std::nullopt;
        return state->enabled;
    });
    return false;
}

// A drag that never ended must not keep the keyboard; then the keyboard shortcuts.
bool CMainFrame::PreTranslateMessage(MSG& msg)
{
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        HWND capture = ::GetCapture();
        const bool buttonDown = (::GetKeyState(VK_LBUTTON) | ::GetKeyState(VK_RBUTTON) | ::GetKeyState(VK_MBUTTON)) & 0x8000;
        if (capture && ::IsChild(hwnd_, capture) && !buttonDown) ::ReleaseCapture();
    }
    return accelerators_ && ::TranslateAcceleratorW(hwnd_, accelerators_, &msg) != 0;
}

// The Edit commands on the focused text box.

HWND CMainFrame::FindFocusedEdit(bool& isRichEdit, bool& isReadOnly) const
{
    HWND focus = ::GetFocus();
    if (!focus) return nullptr;
    const std::u16string className = CWindow(focus).GetClassName();
    isRichEdit = className.size() >= 8 && EqualsIgnoreCaseAscii(std::u16string_view(className).substr(0, 8), u"RichEdit");
    if (!isRichEdit && !EqualsIgnoreCaseAscii(className, u"Edit")) return nullptr;
    isReadOnly = isRichEdit ? (::SendMessageW(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY) != 0
                            : (::GetWindowLongPtrW(focus, GWL_STYLE) & ES_READONLY) != 0;
    return focus;
}

HWND CMainFrame::GetCopySource() const
{
    bool rich = false, readOnly = false;
    if (HWND edit = FindFocusedEdit(rich, readOnly); edit && HasSelection(edit)) return edit;
    if (lastReadOnlyEdit_ && ::IsWindow(lastReadOnlyEdit_) && HasSelection(lastReadOnlyEdit_)) return lastReadOnlyEdit_;
    return nullptr;
}

void CMainFrame::OnReadOnlyEditClicked(HWND edit)
{
    if (lastReadOnlyEdit_ && lastReadOnlyEdit_ != edit && ::IsWindow(lastReadOnlyEdit_) && HasSelection(lastReadOnlyEdit_)) {
        DWORD start = 0, end = 0;
        ::SendMessageW(lastReadOnlyEdit_, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        ::SendMessageW(lastReadOnlyEdit_, EM_HIDESELECTION, TRUE, 0);
        ::SendMessageW(lastReadOnlyEdit_, EM_SETSEL, start, start);
        ::SendMessageW(lastReadOnlyEdit_, EM_HIDESELECTION, FALSE, 0);
    }
    lastReadOnlyEdit_ = edit;
}

std::optional<CommandState> CMainFrame::QueryCommand(int id)
{
    bool rich = false, readOnly = false;
    switch (id) {
    case ID_EDIT_CUT: {
        HWND edit = FindFocusedEdit(rich, readOnly);
        return CommandState{edit && !readOnly && HasSelection(edit)};
    }
    case ID_EDIT_COPY:
        return CommandState{GetCopySource() != nullptr};
    case ID_EDIT_PASTE: {
        HWND edit = FindFocusedEdit(rich, readOnly);
        const bool text = ::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT);
        return CommandState{edit && !readOnly && text};
    }
    case ID_EDIT_SELECT_ALL:
        return CommandState{FindFocusedEdit(rich, readOnly) != nullptr};
    case ID_APP_EXIT:
        return CommandState{};
    case ID_VIEW_STATUS_BAR:
        return CommandState{true, statusBar_.IsVisible()};
    default:
        return std::nullopt;
    }
}

void CMainFrame::ExecuteCommand(int id)
{
    bool rich = false, readOnly = false;
    HWND edit = FindFocusedEdit(rich, readOnly);
    switch (id) {
    case ID_EDIT_CUT:
        ::SendMessageW(edit, WM_CUT, 0, 0);
        break;
    case ID_EDIT_COPY:
        ::SendMessageW(GetCopySource(), WM_COPY, 0, 0);
        break;
    case ID_EDIT_PASTE:
        if (rich)
            ::SendMessageW(edit, EM_PASTESPECIAL, CF_UNICODETEXT, 0); // plain text only
        else
            ::SendMessageW(edit, WM_PASTE, 0, 0);
        break;
    case ID_EDIT_SELECT_ALL:
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        break;
    case ID_APP_EXIT:
        PostMessage(WM_CLOSE);
        break;
    case ID_VIEW_STATUS_BAR: {
        statusBar_.Show(statusBar_.IsVisible() ? SW_HIDE : SW_SHOW);
        const RECT client = ClientRect();
        OnSize(SIZE_RESTORED, client.right, client.bottom);
        break;
    }
    default:
        break;
    }
}

} // namespace kv
