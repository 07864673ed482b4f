// Thin wrappers around the system's own file and folder pickers. Their
// picks are taken whole, in their wide form, and turned into paths the
// decompiler can be given.
#pragma once

#include <windows.h>

// Filters: pairs of description and pattern, ended by an extra NUL.
extern const wchar_t kHelpFileFilter[];
extern const wchar_t kExecutableFilter[];

// Yes: the user confirmed an existing file, now in AppState.pickedFile.
// No: cancelled, or the path cannot reach the decompiler (after a warning),
// and AppState.pickedFile is unchanged.
bool PickFile(HWND owner, const wchar_t* filter);

// Yes: AppState.destDir holds the chosen directory. No: cancelled, or the
// path cannot reach the decompiler (after a warning), and AppState.destDir
// is empty.
bool PickFolder(HWND owner);
