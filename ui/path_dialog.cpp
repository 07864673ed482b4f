// The decompiler path dialog: the one place where the decompiler path is
// set, at the first start and from "Reset ..." in the main window.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "core/settings.h"
#include "res/resource.h"
#include "ui/message_boxes.h"
#include "ui/path_field.h"
#include "ui/pickers.h"

namespace {

void OnBrowseDecompiler(HWND window)
{
    if (PickFile(window, kExecutableFilter))
        SetDlgItemTextA(window, IDC_PATH_FIELD, AppState.pickedFile);
}

// The path is stored as typed: whether it names HELPDECO shows in the log.
void OnAcceptPath(HWND window)
{
    char path[MAX_PATH] = "";
    if (!ReadPathField(window, IDC_PATH_FIELD, path))
        return;
    if (path[0] == '\0') {
        ShowWarning(window, "Please Enter Decompiler Path.");
        return;
    }
    SaveDecompilerPath(path);
    EndDialog(window, 1);
}

bool OnPathCommand(HWND window, WORD command)
{
    switch (command) {
    case IDC_BROWSE_DECOMPILER: OnBrowseDecompiler(window); return true;
    case IDOK: OnAcceptPath(window); return true;
    case IDCANCEL: EndDialog(window, 0); return true;
    }
    return false;
}

}  // namespace

INT_PTR CALLBACK DecompilerPathProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;  // the focus goes to "OK", the first tab stop
    case WM_COMMAND:
        return OnPathCommand(window, LOWORD(wParam));
    }
    return FALSE;
}

INT_PTR ShowDecompilerPathDialog(HWND owner)
{
    return DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_DECOMPILER_PATH), owner,
                           DecompilerPathProc, 0);
}
