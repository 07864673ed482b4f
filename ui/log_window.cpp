// The log window: a read-only rich edit that the run fills, and the buttons
// to copy the log and close the window once the run has ended.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "ui/message_boxes.h"

#include <richedit.h>

namespace {

void OnInitLogWindow(HWND window)
{
    PrepareLogText(GetDlgItem(window, IDC_LOG_TEXT));
    // The progress box opens a moment later, once this window is on screen.
    SetTimer(window, IDT_LOG_WINDOW, 150, nullptr);
}

void OnLogTimer(HWND window)
{
    KillTimer(window, IDT_LOG_WINDOW);
    ShowProgressBox(window);
}

void OnCopyToClipboard(HWND window)
{
    const HWND logText = GetDlgItem(window, IDC_LOG_TEXT);
    SendMessageA(logText, EM_SETSEL, 0, -1);
    SendMessageA(logText, WM_COPY, 0, 0);
    ShowConfirmation(window, "Text Copied to Clipboard Successfuly");
}

bool OnLogCommand(HWND window, WORD command)
{
    switch (command) {
    case IDOK: EndDialog(window, 0); return true;
    case IDC_COPY_TO_CLIPBOARD: OnCopyToClipboard(window); return true;
    }
    return false;
}

}  // namespace

void PrepareLogText(HWND logText)
{
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_BOLD;
    format.dwEffects = CFE_BOLD;
    format.yHeight = 200;  // twips: 10 points
    SendMessageA(logText, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(logText, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    SendMessageA(logText, EM_EXLIMITTEXT, 0, kLogTextLimit);
}

INT_PTR CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitLogWindow(window);
        return TRUE;
    case WM_TIMER:
        OnLogTimer(window);
        return TRUE;
    case WM_COMMAND:
        return OnLogCommand(window, LOWORD(wParam));
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

void ShowLogWindow(HWND owner)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_LOG), owner, LogWindowProc, 0);
}
