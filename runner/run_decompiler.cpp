#include "runner/run_decompiler.h"

#include "core/app_state.h"
#include "core/command_line.h"
#include "res/resource.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

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
    // The child inherits our error mode: with this one, Windows shows no
    // dialog for its crash (nor for a drive without a disk), which would
    // hold it, and its pipe with it, until someone clicked; a crash ends it
    // at once. Ours is put back right after the start.
    const UINT ownErrorMode = SetErrorMode(0);
    SetErrorMode(ownErrorMode | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        error = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                               workingDirectory, &startup, &child) ? ERROR_SUCCESS : GetLastError();
        if (error != ERROR_INTERNAL_ERROR)
            break;
    }
    SetErrorMode(ownErrorMode);
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

// The log and what it may still take. A single run's log is bounded by its
// control alone; a batch's keeps room for its summary, and output that
// would pass that room is left out, which the log says once, where the
// output stopped. The rich edit repaints itself, its scroll bars above all,
// at every append while its redrawing is on, and under Wine that costs
// several times the append itself. So the log takes every append with
// redrawing off and is shown now and then (ShowLog), which leaves
// redrawing on, and so the log drawn, until the next append.
struct Log
{
    HWND text;
    size_t room;    // in bytes: the control counts no more characters than bytes
    bool full;
    char last;      // the last byte appended, NUL while none was
    bool drawn;     // redrawing on: all the log holds is shown
    DWORD shownAt;  // when it was last shown
};

const size_t kNoBound = static_cast<size_t>(-1);

Log LogOf(HWND progressBox, size_t room)
{
    // A new control draws itself, empty as it is.
    return {GetDlgItem(GetParent(progressBox), IDC_LOG_TEXT), room, false, '\0', true, GetTickCount()};
}

// Whether what the log holds ends a line (a bare CR ends a line in the log
// as well), or is empty.
bool EndsLine(const Log& log)
{
    return log.last == '\0' || log.last == '\n' || log.last == '\r';
}

void AppendToLog(Log& log, const char* text)
{
    const size_t length = strlen(text);
    if (log.full || length == 0)
        return;
    if (log.drawn)
        SendMessageA(log.text, WM_SETREDRAW, FALSE, 0);
    log.drawn = false;
    if (length <= log.room) {
        SendMessageA(log.text, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
        log.room -= length;
        log.last = text[length - 1];
        return;
    }
    // What fits, up to a whole character, then the note.
    size_t taken = log.room;
    if (taken > 0 && EndsInsideCharacter(text, taken))
        --taken;
    const std::string kept(text, taken);
    SendMessageA(log.text, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(kept.c_str()));
    log.last = taken > 0 ? kept.back() : log.last;
    const std::string leftOut = std::string(EndsLine(log) ? "" : "\r\n") +
                                "The rest of the output was left out: the log is full.\r\n";
    SendMessageA(log.text, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(leftOut.c_str()));
    log.full = true;
    log.last = '\n';
}

// Shows the log, frame and scroll bars included, which are not drawn
// while redrawing is off.
void ShowLog(Log& log)
{
    SendMessageA(log.text, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(log.text, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    log.drawn = true;
    log.shownAt = GetTickCount();
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
// The log is shown at most every kShowIntervalMs, a batch's across its
// help files; while the child is silent, it stays drawn, so it repaints
// when uncovered.
void CopyPipeToLog(HWND progressBox, HANDLE readEnd, Log& log)
{
    CPINFO codePage = {};
    const bool twoByteCodePage = GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1;
    OVERLAPPED read = {};  // no event: the pipe's end is signalled when a read ends
    char chunk[1 + kChunkSize + 1];
    size_t held = 0;
    DWORD count = 0;
    while (!StopRequested(progressBox) && StartRead(readEnd, read, chunk + held)) {
        if (ShowingIsDue(progressBox, readEnd, read, log.shownAt)) {
            if (log.drawn)
                log.shownAt = GetTickCount();
            else
                ShowLog(log);
        }
        if (!FinishRead(progressBox, readEnd, read, count))
            break;
        size_t length = DropNulBytes(chunk, held + count);
        const bool endsInCarriageReturn = length > 0 && chunk[length - 1] == '\r';
        held = endsInCarriageReturn || (twoByteCodePage && EndsInsideCharacter(chunk, length)) ? 1 : 0;
        length -= held;
        const char lastByte = chunk[length];
        chunk[length] = '\0';
        if (length > 0)
            AppendToLog(log, chunk);
        chunk[0] = lastByte;
    }
    if (held) {
        chunk[1] = '\0';
        AppendToLog(log, chunk);
    }
}

// The system's words for ERROR and its number: "The system cannot find the
// file specified. (error 2)".
std::string Reason(DWORD error)
{
    char words[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, words,
                                  sizeof words, nullptr);
    while (length > 0 && (words[length - 1] == '\r' || words[length - 1] == '\n'))
        --length;
    words[length] = '\0';
    return std::string(words) + (length > 0 ? " " : "") + "(error " + std::to_string(error) + ")";
}

// Tells in the log, in place of the child's output, that the child did not
// start, with what was tried and the system's reason, so that a failed
// start never looks like a run that printed nothing. Without a working
// directory of its own the child would have started in ours.
void AppendStartFailure(Log& log, const char* commandLine, const char* workingDirectory, DWORD error)
{
    char currentDirectory[MAX_PATH] = "";
    const char* folder = workingDirectory;
    if (!folder) {
        const DWORD needed = GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
        if (needed >= sizeof currentDirectory)
            currentDirectory[0] = '\0';
        folder = currentDirectory;
    }

    char text[2048];
    snprintf(text, sizeof text,
             "Could not start the decompiler.\r\n"
             "Command: %s\r\n"
             "Folder: %s\r\n"
             "Reason: %s\r\n",
             commandLine, folder, Reason(error).c_str());
    AppendToLog(log, text);
}

// Tells in the log that a help file's folder could not be made, so its
// decompiler was not started.
void AppendFolderFailure(Log& log, const char* folder, DWORD error)
{
    char text[1024];
    snprintf(text, sizeof text, "Could not make the folder.\r\nFolder: %s\r\nReason: %s\r\n", folder,
             Reason(error).c_str());
    AppendToLog(log, text);
}

// Appends TEXT on a line of its own: after a line end, unless the log
// already ends one.
void AppendOwnLine(Log& log, const char* text)
{
    if (!EndsLine(log))
        AppendToLog(log, "\r\n");
    AppendToLog(log, text);
}

// An exit code as the log tells it: a crash's as Windows writes it.
std::string ExitCodeText(DWORD code)
{
    char text[16];
    snprintf(text, sizeof text, code >= kFirstCrashCode ? "0x%08lX" : "%lu", code);
    return text;
}

// What became of one child.
struct Outcome
{
    RunResult result;
    DWORD code;
};

// After the output: a child stopped by the user is ended, as Ctrl+C ends
// it in a console, and the log says so; otherwise the log tells a code
// other than 0 the child ended with, such as after a crash. A child still
// running some time after its output ended has no code yet and gets no
// line.
Outcome AppendRunEnd(HWND progressBox, Log& log, HANDLE process)
{
    const bool ended = !StopRequested(progressBox) && WaitHandingOutMessages(progressBox, process, kExitWaitMs);
    if (StopRequested(progressBox)) {
        TerminateProcess(process, STATUS_CONTROL_C_EXIT);
        AppendOwnLine(log, "The decompiler was stopped.\r\n");
        return {RunResult::kStopped, 0};
    }
    DWORD code = 0;
    if (!ended || !GetExitCodeProcess(process, &code) || code == 0)
        return {RunResult::kDecompiled, 0};
    AppendOwnLine(log, ("The decompiler ended with exit code " + ExitCodeText(code) + ".\r\n").c_str());
    return {RunResult::kExitCode, code};
}

void EnableLogButtons(HWND logWindow)
{
    EnableWindow(GetDlgItem(logWindow, IDOK), TRUE);
    EnableWindow(GetDlgItem(logWindow, IDC_COPY_TO_CLIPBOARD), TRUE);
}

// One child, from its pipe to its end, its output and how it ended in the
// log, to be shown by the caller: the bar steps as the run begins and once
// the child has started.
// Our copy of the write end is closed right after the start, so the pipe
// breaks as soon as the child is done.
Outcome RunChild(HWND progressBox, Log& log, char* commandLine, const char* workingDirectory)
{
    StepProgress(progressBox);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    DWORD startError = CreateOutputPipe(progressBox, readEnd, writeEnd);
    PROCESS_INFORMATION child = {};
    if (writeEnd) {
        startError = StartChild(commandLine, workingDirectory, writeEnd, child);
        CloseHandle(writeEnd);
    }
    const bool started = writeEnd && startError == ERROR_SUCCESS;
    if (started)
        CloseHandle(child.hThread);
    StepProgress(progressBox);

    Outcome outcome = {RunResult::kCouldNotStart, startError};
    if (started) {
        CopyPipeToLog(progressBox, readEnd, log);
        outcome = AppendRunEnd(progressBox, log, child.hProcess);
    } else {
        AppendStartFailure(log, commandLine, workingDirectory, startError);
    }
    if (readEnd)
        CloseHandle(readEnd);
    if (started)
        CloseHandle(child.hProcess);
    return outcome;
}

// The run is over: the log's buttons usable, the bar at its end, the box
// gone a moment later.
void FinishRun(HWND progressBox)
{
    EnableLogButtons(GetParent(progressBox));
    StepProgress(progressBox);
    WaitHandingOutMessages(progressBox, nullptr, kFinalPauseMs);
    EndDialog(progressBox, 0);
}

// The line that heads a help file's part of a batch's log, after an empty
// line that parts it from the one before.
void AppendBatchHeading(Log& log, int index)
{
    const BatchFile& file = AppState.batch[index];
    if (index > 0)
        AppendOwnLine(log, "\r\n");
    AppendToLog(log, ("Help file " + std::to_string(index + 1) + " of " + std::to_string(AppState.batchSize) + ": " +
                      file.helpFile + ", in the folder " + file.folder + "\r\n").c_str());
}

// A folder that already exists is used as it is.
DWORD MakeFolder(const char* folder)
{
    if (CreateDirectoryA(folder, nullptr))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesA(folder);
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return error == ERROR_ALREADY_EXISTS && isFolder ? ERROR_SUCCESS : error;
}

// One help file of the batch: its heading, its folder made, the decompiler
// run there on it as "S T A R T" composed the line, and what became of it.
// After a stop it is not run. A help file that does not run takes the two
// steps of the bar that its run would.
void RunBatchFile(HWND progressBox, Log& log, int index)
{
    BatchFile& file = AppState.batch[index];
    if (!StopRequested(progressBox)) {
        AppendBatchHeading(log, index);
        const DWORD folderError = MakeFolder(file.folder);
        if (folderError == ERROR_SUCCESS) {
            StoreText(AppState.pickedFile, {file.helpFile});
            ComposeRunCommand();  // it fitted when the batch was checked
            const Outcome outcome = RunChild(progressBox, log, AppState.commandLine, file.folder);
            file.result = outcome.result;
            file.code = outcome.code;
            return;
        }
        AppendFolderFailure(log, file.folder, folderError);
        file.result = RunResult::kCouldNotStart;
        file.code = folderError;
    }
    StepProgress(progressBox);
    StepProgress(progressBox);
}

std::string ResultText(const BatchFile& file)
{
    switch (file.result) {
    case RunResult::kDecompiled: return "decompiled";
    case RunResult::kExitCode: return "ended with exit code " + ExitCodeText(file.code);
    case RunResult::kCouldNotStart: return "could not start (error " + std::to_string(file.code) + ")";
    case RunResult::kStopped: return "stopped";
    case RunResult::kNotRun: break;
    }
    return "not run";
}

// After the last help file: the counts of each result, then one line a
// help file with its result, numbered as its heading.
std::string Summary()
{
    const std::pair<RunResult, const char*> kinds[] = {
        {RunResult::kDecompiled, "decompiled"}, {RunResult::kExitCode, "ended with an exit code"},
        {RunResult::kCouldNotStart, "could not start"}, {RunResult::kStopped, "stopped"},
        {RunResult::kNotRun, "not run"}};
    std::string counts, lines;
    for (const auto& [kind, words] : kinds) {
        int count = 0;
        for (int i = 0; i < AppState.batchSize; ++i)
            count += AppState.batch[i].result == kind;
        if (count > 0)
            counts += (counts.empty() ? ": " : ", ") + std::to_string(count) + " " + words;
    }
    for (int i = 0; i < AppState.batchSize; ++i)
        lines += std::to_string(i + 1) + ". " + AppState.batch[i].helpFile + ": " + ResultText(AppState.batch[i]) + "\r\n";
    return "Summary of " + std::to_string(AppState.batchSize) + " help files" + counts + ".\r\n" + lines;
}

// The room a batch's log keeps for its summary and the line that says the
// output was left out: a line a help file, and its counts.
size_t SummaryRoom(int count)
{
    return static_cast<size_t>(count) * (MAX_PATH + 64) + 512;
}

}  // namespace

void RequestStop(HWND progressBox)
{
    SetWindowLongPtrA(progressBox, DWLP_USER, TRUE);
}

void RunDecompiler(HWND progressBox, char* commandLine, const char* destDir)
{
    Log log = LogOf(progressBox, kNoBound);
    RunChild(progressBox, log, commandLine, strcmp(destDir, kNoWorkingDirectory) == 0 ? nullptr : destDir);
    ShowLog(log);
    FinishRun(progressBox);
}

// Each help file takes four steps of the bar, as a single run does: the
// box's, the two of its run, and its end, which for the last is the run's.
void RunBatch(HWND progressBox)
{
    const int count = AppState.batchSize;
    Log log = LogOf(progressBox, static_cast<size_t>(kLogTextLimit) - SummaryRoom(count));
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            StepProgress(progressBox);
        RunBatchFile(progressBox, log, i);
        if (i + 1 < count)
            StepProgress(progressBox);
    }
    // The summary is shown even when the output filled the log.
    log.room = kNoBound;
    log.full = false;
    AppendOwnLine(log, "\r\n");
    AppendToLog(log, Summary().c_str());
    ShowLog(log);
    FinishRun(progressBox);
}
