// Every message the program shows carries the same caption.
#pragma once

#include <windows.h>

void ShowWarning(HWND owner, const char* text);
void ShowFatalError(const char* text);
void ShowConfirmation(HWND owner, const char* text);

// A path field holds more than a path can: it is refused, not cut short, so
// the decompiler never runs on a file or in a folder the user did not name.
void ShowPathTooLong(HWND owner);
