// The main window: collects the help file and the destination, shows the
// switches and the decompiler path, and starts every other window.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "core/command_line.h"
#include "res/resource.h"
#include "ui/dropped_files.h"
#include "ui/message_boxes.h"
#include "ui/path_field.h"
#include "ui/pickers.h"
#include "ui/pictures.h"


namespace {

const PictureDrawings kBannerDrawings = {IDB_BANNER, IDB_BANNER_125, IDB_BANNER_150, IDB_BANNER_175, IDB_BANNER_200};
const PictureDrawings kFooterDrawings = {IDB_FOOTER, IDB_FOOTER_125, IDB_FOOTER_150, IDB_FOOTER_175, IDB_FOOTER_200};
const PictureDrawings kUsageDrawings = {IDB_USAGE, IDB_USAGE_125, IDB_USAGE_150, IDB_USAGE_175, IDB_USAGE_200};

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
    FillPictureFrame(GetDlgItem(window, IDC_BANNER), kBannerDrawings);
    FillPictureFrame(GetDlgItem(window, IDC_FOOTER), kFooterDrawings);
    FitButtonPicture(GetDlgItem(window, IDC_USAGE), kUsageDrawings);
    ShowDecompilerPath(window);
    ShowSwitches(window);
    DragAcceptFiles(window, TRUE);
}

void OnDestroyMainWindow(HWND window)
{
    DeletePicture(GetDlgItem(window, IDC_BANNER));
    DeletePicture(GetDlgItem(window, IDC_FOOTER));
    DeleteButtonPicture(GetDlgItem(window, IDC_USAGE));
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
    if (!ReadPathField(window, IDC_HELP_FILE, AppState.pickedFile) ||
        !ReadPathField(window, IDC_DEST_DIR, AppState.destDir))
        return;
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
    case WM_DROPFILES:
        TakeDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroyMainWindow(window);
        return TRUE;
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
