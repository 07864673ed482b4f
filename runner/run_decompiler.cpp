#include "runner/run_decompiler.h"

#include "core/app_state.h"
#include "res/resource.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Attempts at starting the child; see StartChild.
const int kStartAttempts = 3;
// How long a child whose output has ended is given to end itself.
const DWORD kExitWaitMs = 2000;
// How often the growing log is shown while the output arrives: five times
// a second. Under Wine one showing of a full log takes 5 to 10 ms, so ten a
// second would slow a long run by almost a tenth.
const DWORD kShowIntervalMs = 200;
// From here up, an exit code is how Windows reports a crash.
const DWORD kFirstCrashCode = 0xC0000000;

void StepProgress(HWND progressBox)
{
    SendDlgItemMessageA(progressBox, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

// Starts the child with both output handles on the pipe's write end and
// returns ERROR_SUCCESS or the start's error. The child gets no console at
// all: a console nobody can see would leave a prompt for a key waiting
// forever, and the whole program with it.
// Under Wine a start now and then fails with ERROR_INTERNAL_ERROR before
// any code of the child has run: the new process's heap, placed at random,
// can cover the page Wine's loader needs for the shared user data, and the
// loader gives up. Nothing of the child ran, so that failure alone is
// tried again; every other error is final at once.
DWORD StartChild(char* commandLine, const char* workingDirectory, HANDLE writeEnd,
                 PROCESS_INFORMATION& child)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, DETACHED_PROCESS,
                           nullptr, workingDirectory, &startup, &child))
            return ERROR_SUCCESS;
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR)
            break;
    }
    return error;
}

// A NUL byte would end the text handed to the log there, and the rest of
// the chunk would be lost; the NUL bytes alone are dropped instead.
size_t DropNulBytes(char* chunk, size_t count)
{
    return static_cast<size_t>(std::remove(chunk, chunk + count, '\0') - chunk);
}

// True when the text ends with the lead byte of a two-byte character whose
// trail byte has not arrived yet. The text starts on a character boundary.
bool EndsInsideCharacter(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length)
        i += IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
    return i > length;
}

void AppendToLog(HWND logText, const char* text)
{
    SendMessageA(logText, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// The rich edit repaints itself, its scroll bars above all, at every
// append while its redrawing is on, and under Wine that costs several
// times the append itself. So the log takes the output with redrawing off
// and is shown now and then; this shows it, frame and scroll bars
// included, which are not drawn while redrawing is off.
void ShowLog(HWND logText)
{
    SendMessageA(logText, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(logText, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Reads the pipe to its end, whatever the log accepts, so the child never
// blocks on a full pipe. A lead byte that ends a chunk waits for its trail
// byte in front of the next chunk, so no character is split in the log; a
// CR that ends a chunk waits likewise, since a CR LF split between two
// appends shows in the log as two line ends.
// The log's redrawing is off; it is shown at most every kShowIntervalMs,
// timed here since the loop dispatches no messages. Returns the last byte
// appended, or NUL when nothing was.
char CopyPipeToLog(HANDLE readEnd, HWND logText)
{
    CPINFO codePage = {};
    const bool twoByteCodePage = GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1;
    char chunk[1 + kChunkSize + 1];
    size_t held = 0;
    DWORD count = 0;
    char lastAppended = '\0';
    DWORD shownAt = GetTickCount();
    while (ReadFile(readEnd, chunk + held, kChunkSize, &count, nullptr)) {
        size_t length = DropNulBytes(chunk, held + count);
        const bool endsInCarriageReturn = length > 0 && chunk[length - 1] == '\r';
        held = endsInCarriageReturn || (twoByteCodePage && EndsInsideCharacter(chunk, length)) ? 1 : 0;
        length -= held;
        const char lastByte = chunk[length];
        chunk[length] = '\0';
        if (length > 0) {
            AppendToLog(logText, chunk);
            lastAppended = chunk[length - 1];
        }
        chunk[0] = lastByte;
        if (GetTickCount() - shownAt >= kShowIntervalMs) {
            ShowLog(logText);
            SendMessageA(logText, WM_SETREDRAW, FALSE, 0);
            shownAt = GetTickCount();
        }
    }
    if (held) {
        chunk[1] = '\0';
        AppendToLog(logText, chunk);
        lastAppended = chunk[0];
    }
    return lastAppended;
}

// Tells in the log, in place of the child's output, that the child did not
// start, with what was tried and the system's reason, so that a failed
// start never looks like a run that printed nothing. Without a working
// directory of its own the child would have started in ours.
void AppendStartFailure(HWND logText, const char* commandLine, const char* workingDirectory,
                        DWORD error)
{
    char currentDirectory[MAX_PATH] = "";
    const char* folder = workingDirectory;
    if (!folder) {
        const DWORD needed = GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
        if (needed >= sizeof currentDirectory)
            currentDirectory[0] = '\0';
        folder = currentDirectory;
    }

    char reason[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reason, sizeof reason, nullptr);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n'))
        --length;
    reason[length] = '\0';

    char text[2048];
    snprintf(text, sizeof text,
             "Could not start the decompiler.\r\n"
             "Command: %s\r\n"
             "Folder: %s\r\n"
             "Reason: %s%s(error %lu)\r\n",
             commandLine, folder, reason, length > 0 ? " " : "", error);
    AppendToLog(logText, text);
}

// Tells in the log when the child ended with a code other than 0, such as
// after a crash, on a line of its own. A child still running some time
// after its output ended has no code yet and gets no line.
void AppendExitCode(HWND logText, HANDLE process, char lastAppended)
{
    DWORD code = 0;
    if (WaitForSingleObject(process, kExitWaitMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code) || code == 0)
        return;
    char number[16];
    snprintf(number, sizeof number, code >= kFirstCrashCode ? "0x%08lX" : "%lu", code);
    // A bare CR ends a line in the log as well.
    const bool atLineStart = lastAppended == '\0' || lastAppended == '\n' || lastAppended == '\r';
    char text[80];
    snprintf(text, sizeof text, "%sThe decompiler ended with exit code %s.\r\n",
             atLineStart ? "" : "\r\n", number);
    AppendToLog(logText, text);
}

void EnableLogButtons(HWND logWindow)
{
    EnableWindow(GetDlgItem(logWindow, IDOK), TRUE);
    EnableWindow(GetDlgItem(logWindow, IDC_COPY_TO_CLIPBOARD), TRUE);
}

}  // namespace

void RunDecompiler(HWND progressBox, char* commandLine, const char* destDir)
{
    StepProgress(progressBox);

    // Both ends inheritable; our copy of the write end is closed right after
    // the start, so the pipe breaks as soon as the child is done.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    DWORD startError = ERROR_SUCCESS;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        startError = GetLastError();
        readEnd = writeEnd = nullptr;
    }

    const char* workingDirectory = strcmp(destDir, kNoWorkingDirectory) == 0 ? nullptr : destDir;
    PROCESS_INFORMATION child = {};
    if (writeEnd) {
        startError = StartChild(commandLine, workingDirectory, writeEnd, child);
        CloseHandle(writeEnd);
    }
    const bool started = writeEnd && startError == ERROR_SUCCESS;
    if (started)
        CloseHandle(child.hThread);
    StepProgress(progressBox);

    const HWND logWindow = GetParent(progressBox);
    const HWND logText = GetDlgItem(logWindow, IDC_LOG_TEXT);
    SendMessageA(logText, WM_SETREDRAW, FALSE, 0);
    if (started) {
        const char lastAppended = CopyPipeToLog(readEnd, logText);
        AppendExitCode(logText, child.hProcess, lastAppended);
    } else {
        AppendStartFailure(logText, commandLine, workingDirectory, startError);
    }
    ShowLog(logText);
    if (readEnd)
        CloseHandle(readEnd);
    if (started)
        CloseHandle(child.hProcess);

    EnableLogButtons(logWindow);
    StepProgress(progressBox);
    Sleep(150);
    EndDialog(progressBox, 0);
}
