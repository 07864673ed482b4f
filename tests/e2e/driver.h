// Drives the real Quorvantel.exe from outside, as a user would: it starts
// the program in a folder of its own, finds its windows by caption and
// class, types into fields, presses buttons, reads texts, answers message
// boxes and reads the clipboard, all with ordinary window messages sent
// across processes. Every wait is bounded; every failure says what was
// expected and what was seen, so the caller's ASSERT names the line.
#pragma once

#include "common/files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// Returns from the calling helper with STEP's failure, if it failed.
#define RETURN_IF_FAILED(step)                        \
    do {                                              \
        testing::AssertionResult result_ = (step);    \
        if (!result_)                                 \
            return result_;                           \
    } while (0)

namespace e2e {

// How long a window, a change or the program's end is waited for.
const DWORD kWaitMs = 5000;
// A process start under Wine takes longer than a window change.
const DWORD kStartWaitMs = 15000;

const char kProgramCaption[] = "Quorvantel";
const char kLogCaption[] = "Decompiler Log : ";
const char kOptionsCaption[] = "Decompiler Options : ";

std::string BuildFolder();
std::string StandinPath();

// An empty folder <build>\e2e-runs\NAME, made afresh (an earlier one is
// deleted with everything in it).
std::string MakeFreshFolder(const std::string& name);
std::string MakeSubfolder(const std::string& folder, const std::string& name);

std::string JoinPath(const std::string& folder, const std::string& name);
using ::FileExists;
using ::ReadWholeFile;
using ::WriteWholeFile;

void WriteSettings(const std::string& folder, const std::string& decoPath);

// What the stand-in's record action wrote: its command line and its
// working directory.
struct StandinRecord
{
    bool present;
    std::string commandLine;
    std::string workingDirectory;
};
StandinRecord ReadStandinRecord(const std::string& path);

struct Program
{
    std::string folder;  // holds its copy of the exe, its settings, its current directory
    HANDLE process;
    DWORD processId;
    HANDLE job;  // the program and every child it starts
};

// Copies Quorvantel.exe into FOLDER and starts it there as the shell does:
// the full path in quotation marks, the folder as current directory.
// STANDIN_ACTIONS (empty: unset) is put into the driver's own environment
// first, so the program and the stand-ins it starts inherit it.
testing::AssertionResult StartProgram(const std::string& folder, const std::string& standinActions,
                                      Program* program);

testing::AssertionResult WaitForExit(const Program& program, DWORD* exitCode,
                                     DWORD timeoutMs = kWaitMs);

// Ends the program and every child still running, and closes the handles.
// Safe to call twice and on a program that never started.
void EndProgram(Program* program);

std::vector<HWND> DialogsOf(DWORD processId);

std::string DescribeWindows(DWORD processId);

// Waits for a visible dialog of the program with this caption that has a
// control with id CONTROL_ID (0: any dialog with the caption).
testing::AssertionResult WaitForDialog(const Program& program, const std::string& caption,
                                       int controlId, HWND* found, DWORD timeoutMs = kWaitMs);

testing::AssertionResult WaitForGone(HWND window, const char* what, DWORD timeoutMs = kWaitMs);

// True when no dialog with the caption and control is up, checked over
// SETTLE_MS so a late window is caught too.
testing::AssertionResult NoDialogAppears(const Program& program, const std::string& caption,
                                         int controlId, DWORD settleMs = 500);

std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int controlId);
testing::AssertionResult SetItemText(HWND dialog, int controlId, const std::string& text);

// Presses a button as a click would (BM_CLICK, posted). A button is
// preferred over another control that happens to share its id.
testing::AssertionResult Click(HWND dialog, int controlId);
void PostCommand(HWND dialog, int commandId);
void PostClose(HWND window);

bool IsItemEnabled(HWND dialog, int controlId);
bool IsItemChecked(HWND dialog, int controlId);

std::vector<HWND> ChildrenOf(HWND window);
std::string ClassOf(HWND window);

HWND FocusOf(HWND window);

// A hung program must fail the test, not hang it.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result);

template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs = kWaitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
}

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
const char* BoxIconName(BoxIcon icon);

struct MessageBoxSeen
{
    HWND window;
    HWND owner;
    std::string caption;
    std::string text;
    BoxIcon icon;
    int buttonCount;
};

// Waits for a message box of the program: a dialog with this caption
// (nullptr: any caption) that holds a text and buttons and nothing else.
testing::AssertionResult WaitForMessageBox(const Program& program, const char* caption,
                                           MessageBoxSeen* box, DWORD timeoutMs = kWaitMs);

// Presses the box's first button and waits until it is gone.
testing::AssertionResult AnswerMessageBox(const MessageBoxSeen& box);

const char kFilePickerCaption[] = "Open";
const char kFolderPickerCaption[] = "Browse for Folder";

testing::AssertionResult WaitForFilePicker(const Program& program, HWND owner, HWND* picker);
// The picker's file-name field: edt1, or the edit inside combo box cmb13.
HWND FileNameField(HWND picker);
// Types a name into the picker's file-name field and presses its Open
// button, as a user would.
testing::AssertionResult TypeFileNameAndOpen(HWND picker, const std::string& name);

// Empties the clipboard, so an old text cannot pass for a new copy.
void EmptyClipboardNow();
std::string ClipboardText();

// A top-down 32-bit DIB section of WIDTH x HEIGHT and its pixels.
HBITMAP MakeDib(int width, int height, DWORD** pixels);
// Pixels of a rectangle of the screen (top-down rows of 0x00RRGGBB).
std::vector<DWORD> CaptureScreen(const RECT& area);

}  // namespace e2e
