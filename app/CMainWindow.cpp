#include "app/CMainWindow.h"

#include "base/TextCatalog.h"
#include "resources/resource.h"

namespace kv {

bool CMainWindow::Create()
{
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    CreateArgs args;
    args.className = u"Kestrivane.MainFrame";
    args.title = LoadText(57344);
    args.cx = 760;
    args.cy = 560;
    args.icon = ::LoadIconW(inst, MAKEINTRESOURCEW(IDR_MAINFRAME));
    args.smallIcon = static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
    args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return CWindowBase::Create(args);
}

void CMainWindow::OnDestroy() { ::PostQuitMessage(0); }

} // namespace kv
