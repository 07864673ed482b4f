// Loading DLLs only from the system folder.
#pragma once

#include <windows.h>

// From here on, the DLLs that the program and the system load on its behalf
// are looked for in the system folder only, where Windows offers that.
// Called first thing at start.
void RestrictDllSearchToSystem();

// Loads a DLL of the system folder by its full path, with the DLLs it needs
// from there too; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);
