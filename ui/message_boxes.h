// Every message the program shows carries the same caption.
#pragma once

#include <windows.h>

void ShowWarning(HWND owner, const char* text);
void ShowFatalError(const char* text);
void ShowConfirmation(HWND owner, const char* text);
