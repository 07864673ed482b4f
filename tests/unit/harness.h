// Runs in the program's own log window and progress box, in this process,
// and what this process holds of the system's resources.
#pragma once

#include <windows.h>

#include <string>

struct RunResult
{
    std::string log;
    LRESULT limit = 0;             // the log's text limit before the run
    bool buttonsEnabled = false;   // both log buttons, after the run
    bool atEnd = false;            // caret after the last character, scroll bar at the bottom
};

// Runs AppState.commandLine in AppState.destDir, the stand-in doing ACTIONS.
// A run that has not ended after a minute ends the test program.
RunResult RunStandin(const std::string& actions);

// The lines the log holds for a decompiler that could not be started.
std::string StartFailure(const std::string& command, const std::string& folder, DWORD error);

// Handles, GDI objects and USER objects. Where the documented counts answer
// 0, as under Wine, the handle values, the GDI handle table and the windows
// are counted instead.
struct ResourceCounts
{
    DWORD handles, gdiObjects, userObjects;
};
ResourceCounts CountResources();
