// The main window: collects the help file and the destination, shows the
// switches and the decompiler path, and starts every other window.
#include "ui/dialogs.h"

#include "core/ansi_path.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "core/help_files.h"
#include "res/resource.h"
#include "ui/dropped_files.h"
#include "ui/message_boxes.h"
#include "ui/path_field.h"
#include "ui/pickers.h"
#include "ui/pictures.h"

#include <string>
#include <vector>


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
    // The help-file field takes a whole batch, typed or pasted.
    SendDlgItemMessageA(window, IDC_HELP_FILE, EM_SETLIMITTEXT, kHelpFileListSize - 1, 0);
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
    if (PickHelpFiles(window))
        SetDlgItemTextA(window, IDC_HELP_FILE, AppState.helpFileList);
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
    AppState.batchSize = 0;
    ComposeUsageCommand();
    ShowLogWindow(window);
}

// The help files in the field into AppState.batch, each taken as a typed
// path; their COUNT. No, after a warning, when the field is no list of
// paths or one cannot reach the decompiler.
bool ReadHelpFiles(HWND window, int& count)
{
    std::vector<std::wstring> paths;
    count = 0;
    if (!SplitHelpFileList(FieldText(window, IDC_HELP_FILE), paths)) {
        ShowWarning(window, "Several help files are given each in double quotation marks, a blank between them:\n"
                            "\"C:\\CD\\a.hlp\" \"C:\\CD\\b.hlp\"");
        return false;
    }
    if (paths.size() > static_cast<size_t>(kMaxHelpFiles)) {
        ShowTooManyHelpFiles(window);
        return false;
    }
    for (const std::wstring& path : paths)
        if (!TakeTypedPath(window, path, AppState.batch[count++].helpFile, paths.size() > 1))
            return false;
    return true;
}

// Every help file of a batch is checked before any runs: that its path and
// its folder's fit, and its command line; the warning names the one that
// does not.
bool PlanBatch(HWND window, int count)
{
    AppState.batchSize = count;
    for (int i = 0; i < count; ++i) {
        const BatchFile& file = AppState.batch[i];
        if (!PlanBatchFile(i) || !StoreText(AppState.pickedFile, {file.helpFile})) {
            ShowPathTooLong(window, Widen(file.helpFile).c_str());
            return false;
        }
        if (!ComposeRunCommand()) {
            ShowCommandTooLong(window, file.helpFile);
            return false;
        }
    }
    return true;
}

// One help file runs as it always has: in the destination itself. Several
// run one after another, each in a folder of its own there.
void OnStart(HWND window)
{
    AppState.batchSize = 0;
    int count = 0;
    if (!ReadHelpFiles(window, count) || !ReadPathField(window, IDC_DEST_DIR, AppState.destDir))
        return;
    if (count == 0 || AppState.destDir[0] == '\0') {
        ShowWarning(window, "Please Specify WinHelp File And Destination Folder\nBefore Begining.");
        return;
    }
    if (count > 1) {
        if (!PlanBatch(window, count)) {
            AppState.batchSize = 0;
            return;
        }
    } else if (!StoreText(AppState.pickedFile, {AppState.batch[0].helpFile}) || !ComposeRunCommand()) {
        ShowCommandTooLong(window);
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
