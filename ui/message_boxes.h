// Every message the program shows carries the same caption.
#pragma once

#include <windows.h>

void ShowWarning(HWND owner, const char* text);
void ShowFatalError(const char* text);
void ShowConfirmation(HWND owner, const char* text);

// A path field holds more than a path can: it is refused, not cut short, so
// the decompiler never runs on a file or in a folder the user did not name.
// PATH, where given, is named: the one of several that is too long.
void ShowPathTooLong(HWND owner, const wchar_t* path = nullptr);

// More help files than a batch takes were picked or dropped.
void ShowTooManyHelpFiles(HWND owner);

// The command line would not fit; of several help files, HELP_FILE's.
void ShowCommandTooLong(HWND owner, const char* helpFile = nullptr);

// PATH, as the user knows it, cannot reach the decompiler: the code page
// lacks some of its characters and it has no short name without them.
void ShowPathNotSpelled(HWND owner, const wchar_t* path);

// A "?" in a typed path: what the code page lacks may have been lost there.
void ShowQuestionMarkInPath(HWND owner);
