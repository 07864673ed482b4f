// The rules that turn the user's choices into a decompiler command line.
#pragma once

// Number of option check boxes after the fixed " /y" box.
const int kOptionalSwitchCount = 6;

// Rebuilds AppState.switches: " /y", then the switch of every ticked box in
// the boxes' fixed order, whatever order they were ticked in.
void BuildSwitches(const bool (&ticked)[kOptionalSwitchCount]);

// Decompiler, quoted help file, switches. No when the result would not fit
// AppState.commandLine; then nothing is run.
bool ComposeRunCommand();

// The decompiler alone, run in our own current directory.
void ComposeUsageCommand();
