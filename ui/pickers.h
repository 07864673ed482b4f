// Thin wrappers around the system's own file and folder pickers.
#pragma once

#include <windows.h>

// Filters: pairs of description and pattern, ended by an extra NUL.
extern const char kHelpFileFilter[];
extern const char kExecutableFilter[];

// Yes: the user confirmed an existing file, now in AppState.pickedFile.
// No: cancelled, and AppState.pickedFile is unchanged.
bool PickFile(HWND owner, const char* filter);

// Yes: AppState.destDir holds the chosen directory. No: cancelled, and
// AppState.destDir is empty.
bool PickFolder(HWND owner);
