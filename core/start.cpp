#include "core/start.h"

#include "core/app_state.h"
#include "core/settings.h"
#include "res/resource.h"
#include "ui/dialogs.h"
#include "ui/message_boxes.h"

#include <commctrl.h>

int RunStart(HINSTANCE instance)
{
    InitCommonControls();
    // Registers the "RICHEDIT" class of the log text.
    const HMODULE richEdit = LoadLibraryA("riched32.dll");

    // The icon and the bitmap live as long as the process.
    AppState.instance = instance;
    AppState.icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    AppState.usageBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_USAGE));

    DeriveSettingsPath(GetCommandLineA());
    StoreText(AppState.switches, {" /y"});

    if (LoadDecompilerPath() || ShowDecompilerPathDialog(nullptr) == 1)
        ShowMainWindow();
    else
        ShowFatalError("Decompiler path is not set.\r\nNow Application will quit.");

    if (richEdit)
        FreeLibrary(richEdit);
    return 0;
}
