// The program's entry point.
#include "win/Win32.h"

#include "app/CKestrivaneApp.h"
#include "base/TextCatalog.h"
#include "win/ResourceTextCatalog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    static const kv::CResourceTextCatalog texts;
    kv::SetTextCatalog(&texts);
    kv::CKestrivaneApp app;
    return app.Run(showCommand);
}
