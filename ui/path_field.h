// Reading a path typed into a dialog field.
#pragma once

#include <windows.h>

// Reads the whole text of a field into a path; no, and an empty path, when
// the text is longer than a path can be (259 characters).
bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH]);
