// The program's windows. Each is a modal dialog built from its template;
// they share data only through AppState.
#pragma once

#include <windows.h>

// Main window, no owner; returns when the user closes it.
void ShowMainWindow();

// Decompiler path dialog; 1 when a path was entered and stored, 0 when the
// user cancelled.
INT_PTR ShowDecompilerPathDialog(HWND owner);

// Options dialog; rebuilds AppState.switches on OK.
void ShowOptionsDialog(HWND owner);

// Log window for the run in AppState.commandLine and AppState.destDir.
void ShowLogWindow(HWND owner);

// Progress box over the log window; it runs the decompiler.
void ShowProgressBox(HWND logWindow);

// Character format, background and text limit of a new log text control.
void PrepareLogText(HWND logText);

// Dialog procedures, one per template.
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DecompilerPathProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
