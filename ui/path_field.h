// Paths as the user gives them: picked, dropped or typed into a field.
#pragma once

#include <windows.h>

// Takes a path from the system, whole, as the decompiler can be given it
// (the path itself, or its short form); no, after a warning owned by OWNER,
// when there is no such path or it is too long.
bool TakePath(HWND owner, const wchar_t* path, char (&ansi)[MAX_PATH]);

// Reads the whole text of a field, in its wide form, and takes it as a
// path; no, after a warning, as TakePath, or when it holds a "?".
bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH]);
