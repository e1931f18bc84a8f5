// The program's entry point.
#include "win/Win32.h"

#include <commctrl.h>

#include "app/CMainWindow.h"
#include "base/TextCatalog.h"
#include "win/MessageLoop.h"
#include "win/ResourceTextCatalog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    static const kv::CResourceTextCatalog texts;
    kv::SetTextCatalog(&texts);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&icc);

    kv::CMainWindow window;
    if (!window.Create()) {
        ::MessageBoxW(nullptr, L"The main window could not be created.", L"Kestrivane", MB_ICONERROR);
        return 1;
    }
    window.Show(showCommand);
    window.Update();

    kv::CMessageLoop loop;
    return loop.Run();
}
