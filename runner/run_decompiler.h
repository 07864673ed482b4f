// One decompiler run: the child runs hidden with its output joined to one
// pipe, and everything it prints is copied into the log window.
#pragma once

#include <windows.h>

// Size of one read from the child's pipe.
const DWORD kChunkSize = 1024;

// The log's limit: every real decompile arrives whole, while a runaway
// child still meets a fixed bound.
const LPARAM kLogTextLimit = 4 * 1024 * 1024;

// Runs commandLine in destDir (or in our own current directory when destDir
// is "NONE") and copies its output into the log text of the progress box's
// owner. A child that could not start, or that ended with an exit code other
// than 0, is told in the log. The program's messages are handed out while
// the child runs, so its windows stay alive and the run can be stopped.
// Returns when the child's output has ended or the run was stopped, with the
// log window's buttons enabled and the progress box ended.
void RunDecompiler(HWND progressBox, char* commandLine, const char* destDir);

// Runs the help files of AppState.batch, one after another, each in its
// folder, as RunDecompiler runs one, with a heading line before each in the
// log and a summary of what became of each after the last. A stop ends the
// running decompiler and leaves the rest not run.
void RunBatch(HWND progressBox);

// Asks the run under this progress box to stop: the child is ended, and the
// output that arrived so far stays in the log. The run sees it at once.
void RequestStop(HWND progressBox);
