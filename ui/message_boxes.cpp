#include "ui/message_boxes.h"

namespace {
const char kCaption[] = "Quorvantel";
}

void ShowWarning(HWND owner, const char* text)
{
    MessageBoxA(owner, text, kCaption, MB_OK | MB_ICONWARNING);
}

void ShowFatalError(const char* text)
{
    MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
}

void ShowConfirmation(HWND owner, const char* text)
{
    MessageBoxA(owner, text, kCaption, MB_OK);
}

void ShowPathTooLong(HWND owner)
{
    ShowWarning(owner, "The path is too long.\nA path may have at most 259 characters.");
}
