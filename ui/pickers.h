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

// The help-file picker, in which several files can be picked together. Yes:
// AppState.helpFileList holds them as the help-file field shows them, in the
// picker's order. No: cancelled, or a path cannot reach the decompiler, or
// more than kMaxHelpFiles were picked (after a warning), and the list is
// unchanged.
bool PickHelpFiles(HWND owner);

// Yes: AppState.destDir holds the chosen directory. No: cancelled, or the
// path cannot reach the decompiler (after a warning), and AppState.destDir
// is empty.
bool PickFolder(HWND owner);
