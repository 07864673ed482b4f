// The log window: a read-only rich edit that the run fills, and the buttons
// to copy the log and close the window once the run has ended.
#include "ui/dialogs.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "runner/run_decompiler.h"
#include "ui/message_boxes.h"

#include <richedit.h>

namespace {

// The window can be made larger than it opens, not smaller. The log text
// grows with it, and the buttons keep their distance from its lower right
// corner. The window keeps two sizes of its own: the size of its client area
// when the controls were last laid out (DWLP_USER), and the size it opened
// with (GWLP_USERDATA).
LONG_PTR PackSize(LONG width, LONG height)
{
    return static_cast<LONG_PTR>(MAKELONG(width, height));
}

void RememberOpeningSize(HWND window)
{
    RECT client = {}, outline = {};
    GetClientRect(window, &client);
    GetWindowRect(window, &outline);
    SetWindowLongPtrA(window, DWLP_USER, PackSize(client.right, client.bottom));
    SetWindowLongPtrA(window, GWLP_USERDATA, PackSize(outline.right - outline.left, outline.bottom - outline.top));
}

void OnLogGetMinMaxInfo(HWND window, MINMAXINFO& limits)
{
    const LONG_PTR opened = GetWindowLongPtrA(window, GWLP_USERDATA);
    if (opened)
        limits.ptMinTrackSize = {LOWORD(opened), HIWORD(opened)};
}

// Moves the control ID by the change of the client area's size, or grows it
// by that change.
void FollowCorner(HWND window, int id, int dx, int dy, bool grows)
{
    const HWND control = GetDlgItem(window, id);
    RECT place = {};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    if (grows)
        SetWindowPos(control, nullptr, 0, 0, place.right - place.left + dx, place.bottom - place.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(control, nullptr, place.left + dx, place.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnLogSize(HWND window, WPARAM kind, LPARAM size)
{
    const LONG_PTR laidOut = GetWindowLongPtrA(window, DWLP_USER);
    if (!laidOut || kind == SIZE_MINIMIZED)
        return;  // not yet laid out, or nothing to lay out
    const int dx = LOWORD(size) - LOWORD(laidOut);
    const int dy = HIWORD(size) - HIWORD(laidOut);
    FollowCorner(window, IDC_LOG_TEXT, dx, dy, true);
    FollowCorner(window, IDOK, dx, dy, false);
    FollowCorner(window, IDC_COPY_TO_CLIPBOARD, dx, dy, false);
    SetWindowLongPtrA(window, DWLP_USER, PackSize(LOWORD(size), HIWORD(size)));
}

void OnInitLogWindow(HWND window)
{
    PrepareLogText(GetDlgItem(window, IDC_LOG_TEXT));
    RememberOpeningSize(window);
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

INT_PTR CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitLogWindow(window);
        return TRUE;
    case WM_GETMINMAXINFO:
        OnLogGetMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case WM_SIZE:
        OnLogSize(window, wParam, lParam);
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
