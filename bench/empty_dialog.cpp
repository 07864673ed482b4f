// The smallest program that shows a modal dialog: what any dialog program
// pays to start under the same system, to compare Quorvantel's start with.
#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(100), nullptr, EmptyDialogProc, 0);
    return 0;
}
