// Paths as the user gives them: picked, dropped or typed into a field.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Takes a path from the system, whole, as the decompiler can be given it
// (the path itself, or its short form); no, after a warning owned by OWNER,
// when there is no such path or it is too long. The warning names the path
// when NAMING, as it must where it is one of several.
bool TakePath(HWND owner, const wchar_t* path, char (&ansi)[MAX_PATH], bool naming = false);

// Takes FILES from the system, picked or dropped together, as TakePath
// does, into AppState.helpFileList, as the help-file field shows them; no,
// after a warning, when one cannot reach the decompiler or there are more
// than a batch takes, and the list is then as it was.
bool TakeHelpFiles(HWND owner, const std::vector<std::wstring>& files);

// The whole text of a field, in its wide form.
std::wstring FieldText(HWND window, int id);

// Takes a typed path as TakePath does; no, after a warning, also when it
// holds a "?".
bool TakeTypedPath(HWND owner, const std::wstring& text, char (&path)[MAX_PATH], bool naming = false);

// Reads a field and takes its text as a typed path.
bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH]);
