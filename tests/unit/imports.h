// Watching and replacing what the program's own code calls: its calls go
// through this test program's import table.
#pragma once

// Points this test program's import of FUNCTION from kernel32.dll, through
// which the program's own code calls it, at REPLACEMENT; gives what it
// pointed at before, or null when it imports no such function.
void* PatchImport(const char* function, void* replacement);
