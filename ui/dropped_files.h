// Files and folders dropped on the main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The files dropped go into the help-file field, in the order of the drop,
// and the first folder into the destination field, as if typed there. A
// shortcut stands for the file or folder it points to. Each is taken whole
// and given as the decompiler can be given it; one that cannot be is told,
// as are more files than a batch takes, and then nothing changes. Nothing
// runs. Frees DROP.
void TakeDroppedFiles(HWND window, HDROP drop);
