// The options dialog: one check box per decompiler switch. The boxes start
// unchecked at every opening; only OK changes the switches.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "core/command_line.h"
#include "res/resource.h"

namespace {

void OnAcceptOptions(HWND window)
{
    bool ticked[kOptionalSwitchCount] = {};
    for (int i = 0; i < kOptionalSwitchCount; ++i)
        ticked[i] = IsDlgButtonChecked(window, IDC_OPTION_BROWSE_SEQUENCE + i) == BST_CHECKED;
    BuildSwitches(ticked);
    EndDialog(window, 0);
}

bool OnOptionsCommand(HWND window, WORD command)
{
    switch (command) {
    case IDOK: OnAcceptOptions(window); return true;
    case IDCANCEL: EndDialog(window, 0); return true;
    }
    return false;
}

}  // namespace

INT_PTR CALLBACK OptionsProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(window, IDC_OPTION_OVERWRITE, BST_CHECKED);  // " /y" is always on
        return TRUE;
    case WM_COMMAND:
        return OnOptionsCommand(window, LOWORD(wParam));
    }
    return FALSE;
}

void ShowOptionsDialog(HWND owner)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsProc, 0);
}
