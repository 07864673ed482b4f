// The program's start-up and shutdown.
#pragma once

#include <windows.h>

// Prepares AppState, makes sure a decompiler path is known, shows the main
// window until the user closes it, and shuts down. Returns the exit code, 0.
int RunStart(HINSTANCE instance);
