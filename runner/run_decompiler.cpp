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
// The pipe's buffer: an anonymous pipe's default.
const DWORD kPipeBufferSize = 4096;
// The full bar stays this long before the progress box goes.
const DWORD kFinalPauseMs = 150;

void StepProgress(HWND progressBox)
{
    SendDlgItemMessageA(progressBox, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

bool StopRequested(HWND progressBox)
{
    return GetWindowLongPtrA(progressBox, DWLP_USER) != 0;
}

// The progress box's modal loop is waiting for the run to return, so the
// run hands out the program's messages itself: its windows repaint and
// answer, and the progress box takes "Stop". A quit asked for meanwhile
// stops the run and is passed on to the loops outside.
void HandOutMessages(HWND progressBox)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            RequestStop(progressBox);
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!IsDialogMessageA(progressBox, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Waits until OBJECT is signalled (with no object, until the time is up),
// handing out messages meanwhile and using no processor time. Yes when
// OBJECT was signalled; no when the time ran out or the run was stopped.
bool WaitHandingOutMessages(HWND progressBox, HANDLE object, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    const DWORD count = object ? 1 : 0;
    for (;;) {
        HandOutMessages(progressBox);
        const DWORD elapsed = GetTickCount() - start;
        if (StopRequested(progressBox) || (timeoutMs != INFINITE && elapsed >= timeoutMs))
            return false;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - elapsed;
        const DWORD woke = MsgWaitForMultipleObjects(count, &object, FALSE, left, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + count)  // anything but a message
            return woke == WAIT_OBJECT_0;
    }
}

// The run's pipe. Our end is opened for overlapped reads, so the run can
// wait for output and for messages at once, which an anonymous pipe's end
// cannot; the child's end is the same synchronous, inheritable handle as an
// anonymous pipe's write end. Only one instance can exist, so no other
// program can join the pipe under its name. Only the write end is
// inheritable: the child needs no read end of its own. Returns
// ERROR_SUCCESS or the error.
DWORD CreateOutputPipe(HWND progressBox, HANDLE& readEnd, HANDLE& writeEnd)
{
    char name[80];
    snprintf(name, sizeof name, "\\\\.\\pipe\\Quorvantel.%lu.%p", GetCurrentProcessId(),
             static_cast<void*>(progressBox));
    readEnd = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, kPipeBufferSize, 0, nullptr);
    if (readEnd == INVALID_HANDLE_VALUE) {
        readEnd = writeEnd = nullptr;
        return GetLastError();
    }
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    writeEnd = CreateFileA(name, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inheritable, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writeEnd == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(readEnd);
        readEnd = writeEnd = nullptr;
        return error;
    }
    return ERROR_SUCCESS;
}

// Starts a read of at most a chunk; no when the output has ended.
bool StartRead(HANDLE readEnd, OVERLAPPED& read, char* buffer)
{
    return ReadFile(readEnd, buffer, kChunkSize, nullptr, &read) || GetLastError() == ERROR_IO_PENDING;
}

// Gives the read's count; a read that did not end at once is waited for
// while messages are handed out. No when the output has ended, or when the
// run was stopped: then the read is cancelled, even while a process the
// child started holds the pipe.
bool FinishRead(HWND progressBox, HANDLE readEnd, OVERLAPPED& read, DWORD& count)
{
    if (!HasOverlappedIoCompleted(&read) && !WaitHandingOutMessages(progressBox, readEnd, INFINITE))
        CancelIo(readEnd);
    return GetOverlappedResult(readEnd, &read, &count, TRUE) != FALSE;
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
// included, which are not drawn while redrawing is off, and leaves its
// redrawing on until the next append.
void ShowLog(HWND logText)
{
    SendMessageA(logText, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(logText, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Milliseconds until the log's next showing is due.
DWORD UntilShowingIsDue(DWORD shownAt)
{
    const DWORD since = GetTickCount() - shownAt;
    return since >= kShowIntervalMs ? 0 : kShowIntervalMs - since;
}

// Whether the log is to be shown, and messages handed out, before the
// read's output is taken: output that keeps coming is taken without a break
// until the showing is due; while the child is silent, the read is waited
// for until then, so that what came shows without more output to come.
bool ShowingIsDue(HWND progressBox, HANDLE readEnd, const OVERLAPPED& read, DWORD shownAt)
{
    if (HasOverlappedIoCompleted(&read) && UntilShowingIsDue(shownAt) > 0)
        return false;
    return !WaitHandingOutMessages(progressBox, readEnd, UntilShowingIsDue(shownAt)) && !StopRequested(progressBox);
}

// Reads the pipe to its end, whatever the log accepts, so the child never
// blocks on a full pipe, or until the run is stopped. A lead byte that ends
// a chunk waits for its trail byte in front of the next chunk, so no
// character is split in the log; a CR that ends a chunk waits likewise,
// since a CR LF split between two appends shows in the log as two line ends.
// The log takes the output with its redrawing off and is shown at most
// every kShowIntervalMs; while the child is silent, it stays drawn, so it
// repaints when uncovered.
// Returns the last byte appended, or NUL when nothing was.
char CopyPipeToLog(HWND progressBox, HANDLE readEnd, HWND logText)
{
    CPINFO codePage = {};
    const bool twoByteCodePage = GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1;
    OVERLAPPED read = {};  // no event: the pipe's end is signalled when a read ends
    char chunk[1 + kChunkSize + 1];
    size_t held = 0;
    DWORD count = 0;
    char lastAppended = '\0';
    DWORD shownAt = GetTickCount();
    bool drawn = false;  // redrawing on, and all the log holds shown
    while (!StopRequested(progressBox) && StartRead(readEnd, read, chunk + held)) {
        if (ShowingIsDue(progressBox, readEnd, read, shownAt)) {
            if (!drawn)
                ShowLog(logText);
            shownAt = GetTickCount();
            drawn = true;
        }
        if (!FinishRead(progressBox, readEnd, read, count))
            break;
        size_t length = DropNulBytes(chunk, held + count);
        const bool endsInCarriageReturn = length > 0 && chunk[length - 1] == '\r';
        held = endsInCarriageReturn || (twoByteCodePage && EndsInsideCharacter(chunk, length)) ? 1 : 0;
        length -= held;
        const char lastByte = chunk[length];
        chunk[length] = '\0';
        if (length > 0) {
            if (drawn)
                SendMessageA(logText, WM_SETREDRAW, FALSE, 0);
            drawn = false;
            AppendToLog(logText, chunk);
            lastAppended = chunk[length - 1];
        }
        chunk[0] = lastByte;
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

// Appends TEXT on a line of its own: after a line end, unless the log
// already ends one (a bare CR ends a line in the log as well).
void AppendOwnLine(HWND logText, char lastAppended, const char* text)
{
    if (lastAppended != '\0' && lastAppended != '\n' && lastAppended != '\r')
        AppendToLog(logText, "\r\n");
    AppendToLog(logText, text);
}

// After the output: a child stopped by the user is ended, as Ctrl+C ends
// it in a console, and the log says so; otherwise the log tells a code
// other than 0 the child ended with, such as after a crash. A child still
// running some time after its output ended has no code yet and gets no
// line.
void AppendRunEnd(HWND progressBox, HWND logText, HANDLE process, char lastAppended)
{
    const bool ended = !StopRequested(progressBox) && WaitHandingOutMessages(progressBox, process, kExitWaitMs);
    if (StopRequested(progressBox)) {
        TerminateProcess(process, STATUS_CONTROL_C_EXIT);
        AppendOwnLine(logText, lastAppended, "The decompiler was stopped.\r\n");
        return;
    }
    DWORD code = 0;
    if (!ended || !GetExitCodeProcess(process, &code) || code == 0)
        return;
    char text[80];
    snprintf(text, sizeof text, code >= kFirstCrashCode ? "The decompiler ended with exit code 0x%08lX.\r\n"
                                                        : "The decompiler ended with exit code %lu.\r\n", code);
    AppendOwnLine(logText, lastAppended, text);
}

void EnableLogButtons(HWND logWindow)
{
    EnableWindow(GetDlgItem(logWindow, IDOK), TRUE);
    EnableWindow(GetDlgItem(logWindow, IDC_COPY_TO_CLIPBOARD), TRUE);
}

}  // namespace

void RequestStop(HWND progressBox)
{
    SetWindowLongPtrA(progressBox, DWLP_USER, TRUE);
}

void RunDecompiler(HWND progressBox, char* commandLine, const char* destDir)
{
    StepProgress(progressBox);

    // Our copy of the write end is closed right after the start, so the pipe
    // breaks as soon as the child is done.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    DWORD startError = CreateOutputPipe(progressBox, readEnd, writeEnd);

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
        const char lastAppended = CopyPipeToLog(progressBox, readEnd, logText);
        AppendRunEnd(progressBox, logText, child.hProcess, lastAppended);
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
    WaitHandingOutMessages(progressBox, nullptr, kFinalPauseMs);
    EndDialog(progressBox, 0);
}
