// The progress box: shown over the log window while the decompiler runs.
// Its one button stops the run; otherwise the run ends it when the output
// has ended.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "runner/run_decompiler.h"

#include <commctrl.h>

namespace {

void OnInitProgressBox(HWND window)
{
    // A batch's bar moves across all of it: four steps a help file.
    if (AppState.batchSize > 1)
        SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 100 * AppState.batchSize);
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETSTEP, 25, 0);
    // The run starts a moment later, once this box is on screen.
    SetTimer(window, IDT_PROGRESS_BOX, 150, nullptr);
}

void OnProgressTimer(HWND window)
{
    KillTimer(window, IDT_PROGRESS_BOX);
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    if (AppState.batchSize > 1)
        RunBatch(window);
    else
        RunDecompiler(window, AppState.commandLine, AppState.destDir);
}

}  // namespace

// "Stop" is the Cancel command, so Escape presses it too. It never has the
// focus, so Enter, which a user who started the run with it may still hold
// down, stops nothing.
INT_PTR CALLBACK ProgressBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitProgressBox(window);
        return FALSE;  // no control takes the focus
    case WM_TIMER:
        OnProgressTimer(window);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        RequestStop(window);
        return TRUE;
    }
    return FALSE;
}

void ShowProgressBox(HWND logWindow)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PROGRESS), logWindow,
                    ProgressBoxProc, 0);
}
