// The benchmarks' shared parts: a clock and medians, the stand-in decompiler
// run the way the program runs a decompiler, the three ways of taking in
// its output, and the real program driven from outside as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

double NowMs();
double Median(std::vector<double> values);
unsigned long long PeakWorkingSet();

// This executable's folder, with a trailing backslash; the other programs
// are built beside it.
std::string ProgramFolder();

// The stand-in decompiler's command line, as the program composes one.
std::string StandInCommand();

// Runs commandLine with both output handles on one inheritable pipe, set up
// as the program's run sets it up, and hands each read of up to 1024 bytes
// to sink, NUL-terminated. Milliseconds from the pipe's creation to the
// last handle closed.
typedef void (*ChunkSink)(void* context, char* chunk, DWORD count);
double TimeChildRun(const std::string& commandLine, ChunkSink sink, void* context);

// What a program writes to stdout and stderr, to its end.
std::string CaptureOutput(const std::string& commandLine);

// Taking in one stand-in run, each timed from the pipe's creation:
// (a) reads discarded; (b) each read appended to a bare rich edit with the
// log's limit, visible, or (h) hidden; (c) the program's own run into a log
// window made from its own template, up to the moment the log window's
// buttons are enabled.
double TimeRawRun(const std::string& commandLine);
double TimeBareRun(const std::string& commandLine, bool visible);
double TimeProgramRun(const std::string& commandLine);

// Milliseconds from starting the program to its window titled title being
// visible; the window is then closed. Negative when it never showed.
double TimeStartUp(const std::string& path, const char* title);

// Quorvantel started and left at its main window, fields filled, for runs.
struct RunningProgram
{
    PROCESS_INFORMATION process;
    HWND mainWindow;
};
bool OpenQuorvantel(const std::string& path, const std::string& destDir, RunningProgram& program);
void CloseQuorvantel(RunningProgram& program);

// Milliseconds from clicking "S T A R T" to both log buttons enabled; the
// log window is then closed. Negative when the run did not finish.
double TimeStartClick(RunningProgram& program);
