#include "bench/bench.h"

#include "res/resource.h"

#include <cstring>

namespace {

const DWORD kWindowTimeoutMs = 60000;

bool StartProgram(const std::string& path, PROCESS_INFORMATION& process)
{
    std::string line = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process = PROCESS_INFORMATION();
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process) != FALSE;
}

// Gives the program timeoutMs to end, then ends it.
void FinishProgram(PROCESS_INFORMATION& process, DWORD timeoutMs)
{
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION();
}

struct WindowSearch
{
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (processId == search.processId && IsWindowVisible(window) && !strcmp(title, search.title))
        search.found = window;
    return !search.found;
}

// Polls each millisecond for the process's visible top-level window titled
// title; nullptr when none showed in time.
HWND WaitForWindow(DWORD processId, const char* title)
{
    const double deadline = NowMs() + kWindowTimeoutMs;
    WindowSearch search = {processId, title, nullptr};
    for (;;) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || NowMs() > deadline)
            return search.found;
        Sleep(1);
    }
}

bool WaitUntil(bool (*done)(HWND), HWND window)
{
    const double deadline = NowMs() + kWindowTimeoutMs;
    while (!done(window)) {
        if (NowMs() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

bool ButtonsEnabled(HWND log)
{
    return IsWindowEnabled(GetDlgItem(log, IDOK)) &&
           IsWindowEnabled(GetDlgItem(log, IDC_COPY_TO_CLIPBOARD));
}

bool WindowGone(HWND window)
{
    return !IsWindow(window);
}

}  // namespace

double TimeStartUp(const std::string& path, const char* title)
{
    PROCESS_INFORMATION process;
    const double start = NowMs();
    if (!StartProgram(path, process))
        return -1;
    const HWND window = WaitForWindow(process.dwProcessId, title);
    const double elapsed = NowMs() - start;
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    FinishProgram(process, 10000);
    return window ? elapsed : -1;
}

bool OpenQuorvantel(const std::string& path, const std::string& destDir, RunningProgram& program)
{
    program.mainWindow = nullptr;
    if (!StartProgram(path, program.process))
        return false;
    program.mainWindow = WaitForWindow(program.process.dwProcessId, "Quorvantel");
    SetDlgItemTextA(program.mainWindow, IDC_HELP_FILE, "bench.hlp");
    SetDlgItemTextA(program.mainWindow, IDC_DEST_DIR, destDir.c_str());
    return program.mainWindow != nullptr;
}

void CloseQuorvantel(RunningProgram& program)
{
    if (program.mainWindow)
        PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
    if (program.process.hProcess)
        FinishProgram(program.process, 10000);
}

double TimeStartClick(RunningProgram& program)
{
    if (!program.mainWindow)
        return -1;
    const double start = NowMs();
    PostMessageA(GetDlgItem(program.mainWindow, IDC_START), BM_CLICK, 0, 0);
    const HWND log = WaitForWindow(program.process.dwProcessId, "Decompiler Log : ");
    if (!log || !WaitUntil(ButtonsEnabled, log))
        return -1;
    const double elapsed = NowMs() - start;
    PostMessageA(log, WM_COMMAND, IDOK, 0);
    WaitUntil(WindowGone, log);
    return elapsed;
}
