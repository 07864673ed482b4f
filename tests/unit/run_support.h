// Drives RunDecompiler with the program's own log window and progress box,
// created modeless so the test holds them before and after the run.
#pragma once

#include "common/compare.h"

#include <windows.h>

#include <string>

struct RunOutcome
{
    std::string log;               // the log text as the control returns it
    LRESULT textLimit;             // the log's limit, read before the run
    bool buttonsDisabledBefore;    // both log buttons, as the template makes them
    bool closeEnabled;             // "Close" after the run
    bool copyEnabled;              // "Copy To Clipboard" after the run
    LRESULT position;              // the progress bar after the run
    bool boxHidden;                // the progress box, shown before the run
};

// Sets STANDIN_ACTIONS (nullptr removes it) for the child, runs commandLine
// in destDir and collects what the windows show. A run that has not ended
// after 30 seconds ends the test program with a message.
RunOutcome RunInLogWindow(const std::string& commandLine, const std::string& destDir,
                          const char* actions);

// The run command for the stand-in decompiler, composed as the main window
// composes it.
std::string StandinRunCommand();

