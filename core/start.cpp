#include "core/start.h"

#include "core/app_state.h"
#include "core/settings.h"
#include "core/system_dlls.h"
#include "res/resource.h"
#include "ui/dialogs.h"
#include "ui/message_boxes.h"

#include <commctrl.h>

int RunStart(HINSTANCE instance)
{
    // Before anything else is loaded.
    RestrictDllSearchToSystem();
    // Wine's theming, which draws every window of the program, delay-loads
    // msimg32.dll, and Wine looks for a delay-loaded DLL in the program's
    // folder first, restricted or not; loaded from the system folder here,
    // it is found loaded instead.
    const HMODULE theming = LoadSystemLibrary("msimg32.dll");
    // Common Controls 6 registers only the classes it is asked for: the
    // progress box's bar.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    // Registers the "RICHEDIT" class of the log text.
    const HMODULE richEdit = LoadSystemLibrary("riched32.dll");

    // The icon lives as long as the process.
    AppState.instance = instance;
    AppState.icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));

    // The executable's own path, whole: its ANSI spelling, as the command
    // line gives it, has "?" for every character the code page lacks.
    wchar_t executable[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, executable, MAX_PATH);
    DeriveSettingsPath(length < MAX_PATH ? executable : L"");
    StoreText(AppState.switches, {" /y"});

    if (LoadDecompilerPath() || ShowDecompilerPathDialog(nullptr) == 1)
        ShowMainWindow();
    else
        ShowFatalError("Decompiler path is not set.\r\nNow Application will quit.");

    if (richEdit)
        FreeLibrary(richEdit);
    if (theming)
        FreeLibrary(theming);
    return 0;
}
