// The benchmarks' shared parts: a clock and medians, the stand-in decompiler
// run the way the program runs a decompiler, and the ways of taking in its
// output. The real program is driven with the tests' driver.
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
