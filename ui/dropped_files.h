// Files and folders dropped on the main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

// A file dropped goes into the help-file field and a folder into the
// destination field, as if typed there; of several, the first file and the
// first folder. A shortcut stands for the file or folder it points to. Each
// is taken whole and given as the decompiler can be given it; one that
// cannot be is told, and then nothing changes. Nothing runs. Frees DROP.
void TakeDroppedFiles(HWND window, HDROP drop);
