// The main window: collects the help file and the destination, shows the
// switches and the decompiler path, and starts every other window.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "core/command_line.h"
#include "res/resource.h"
#include "ui/message_boxes.h"
#include "ui/path_field.h"
#include "ui/pickers.h"

namespace {

void ShowSwitches(HWND window)
{
    SetDlgItemTextA(window, IDC_SWITCHES, AppState.switches);
}

void ShowDecompilerPath(HWND window)
{
    SetDlgItemTextA(window, IDC_DECOMPILER_PATH, AppState.decompilerPath);
}

void OnInitMainWindow(HWND window)
{
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppState.icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppState.icon));
    SendDlgItemMessageA(window, IDC_USAGE, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(AppState.usageBitmap));
    ShowDecompilerPath(window);
    ShowSwitches(window);
}

void OnBrowseHelpFile(HWND window)
{
    if (PickFile(window, kHelpFileFilter))
        SetDlgItemTextA(window, IDC_HELP_FILE, AppState.pickedFile);
}

void OnBrowseDestDir(HWND window)
{
    if (PickFolder(window))
        SetDlgItemTextA(window, IDC_DEST_DIR, AppState.destDir);
}

void OnChangeOptions(HWND window)
{
    ShowOptionsDialog(window);
    ShowSwitches(window);
}

void OnUsage(HWND window)
{
    ComposeUsageCommand();
    ShowLogWindow(window);
}

void OnStart(HWND window)
{
    const bool helpFileFits = ReadPathField(window, IDC_HELP_FILE, AppState.pickedFile);
    const bool destDirFits = ReadPathField(window, IDC_DEST_DIR, AppState.destDir);
    if (!helpFileFits || !destDirFits) {
        ShowPathTooLong(window);
        return;
    }
    if (AppState.pickedFile[0] == '\0' || AppState.destDir[0] == '\0') {
        ShowWarning(window, "Please Specify WinHelp File And Destination Folder\nBefore Begining.");
        return;
    }
    if (!ComposeRunCommand()) {
        ShowWarning(window, "The command line is too long.\nPlease choose shorter paths.");
        return;
    }
    ShowLogWindow(window);
}

void OnResetDecompiler(HWND window)
{
    ShowDecompilerPathDialog(window);
    ShowDecompilerPath(window);
}

// Every other command, Cancel (Escape) among them, is left to the dialog
// manager, so Escape does not close the main window.
bool OnMainCommand(HWND window, WORD command)
{
    switch (command) {
    case IDC_BROWSE_HELP_FILE: OnBrowseHelpFile(window); return true;
    case IDC_BROWSE_DEST_DIR: OnBrowseDestDir(window); return true;
    case IDC_CHANGE_OPTIONS: OnChangeOptions(window); return true;
    case IDC_USAGE: OnUsage(window); return true;
    case IDC_START: OnStart(window); return true;
    case IDC_RESET_DECOMPILER: OnResetDecompiler(window); return true;
    }
    return false;
}

}  // namespace

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitMainWindow(window);
        return TRUE;
    case WM_COMMAND:
        return OnMainCommand(window, LOWORD(wParam));
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

void ShowMainWindow()
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainWindowProc, 0);
}
