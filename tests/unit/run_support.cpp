#include "run_support.h"

#include "core/app_state.h"
#include "core/command_line.h"
#include "res/resource.h"
#include "runner/run_decompiler.h"
#include "test_support.h"
#include "ui/dialogs.h"

#include <commctrl.h>
#include <richedit.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>

namespace {

// A child stuck forever would keep the test's output open after the test
// program ends, and the test runner waiting with it.
void EndOwnChildren()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId())
            continue;
        const HANDLE child = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (child) {
            TerminateProcess(child, 3);
            CloseHandle(child);
        }
    }
    CloseHandle(snapshot);
}

// The run blocks this thread until the child's output ends; a run that
// never ends must fail the test program, not hang it, and end its child.
// One watcher serves every run, so the runs add no thread or handle of
// ours that could pass for a handle the run leaked.
const ULONGLONG kRunTimeLimitMs = 30000;
std::atomic<ULONGLONG> runDeadline{0};  // GetTickCount64 value; 0 between runs

DWORD WINAPI WatchRuns(LPVOID)
{
    for (;;) {
        Sleep(250);
        const ULONGLONG deadline = runDeadline.load();
        if (deadline != 0 && GetTickCount64() > deadline) {
            fprintf(stderr, "FATAL: the run did not end within %u s\n",
                    static_cast<unsigned>(kRunTimeLimitMs / 1000));
            fflush(stderr);
            EndOwnChildren();
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

void StartWatcherOnce()
{
    static bool started = false;
    if (!started) {
        CloseHandle(CreateThread(nullptr, 0, WatchRuns, nullptr, 0, nullptr));
        started = true;
    }
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::string WindowText(HWND window)
{
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) * 2 + 16, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strlen(text.c_str()));
    return text;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

}  // namespace

RunOutcome RunInLogWindow(const std::string& commandLine, const std::string& destDir,
                          const char* actions)
{
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions);
    const HWND logWindow = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_LOG), nullptr,
                                              InertDialogProc, 0);
    const HWND logText = GetDlgItem(logWindow, IDC_LOG_TEXT);
    PrepareLogText(logText);
    const HWND progressBox = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PROGRESS),
                                                logWindow, InertDialogProc, 0);
    SendDlgItemMessageA(progressBox, IDC_PROGRESS_BAR, PBM_SETSTEP, 25, 0);
    ShowWindow(logWindow, SW_SHOWNOACTIVATE);
    ShowWindow(progressBox, SW_SHOWNOACTIVATE);

    RunOutcome outcome = {};
    outcome.textLimit = SendMessageA(logText, EM_GETLIMITTEXT, 0, 0);
    outcome.buttonsDisabledBefore =
        !IsEnabled(logWindow, IDOK) && !IsEnabled(logWindow, IDC_COPY_TO_CLIPBOARD);

    std::string line = commandLine;  // the child's start may write into it
    StartWatcherOnce();
    runDeadline = GetTickCount64() + kRunTimeLimitMs;
    RunDecompiler(progressBox, &line[0], destDir.c_str());
    runDeadline = 0;

    outcome.log = WindowText(logText);
    outcome.closeEnabled = IsEnabled(logWindow, IDOK);
    outcome.copyEnabled = IsEnabled(logWindow, IDC_COPY_TO_CLIPBOARD);
    outcome.position = SendDlgItemMessageA(progressBox, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
    outcome.boxHidden = !IsWindowVisible(progressBox);
    DestroyWindow(progressBox);
    DestroyWindow(logWindow);
    return outcome;
}

std::string StandinRunCommand()
{
    StoreText(AppState.decompilerPath, {StandinPath().c_str()});
    StoreText(AppState.pickedFile, {"C:\\Help\\manual.hlp"});
    StoreText(AppState.switches, {" /y"});
    return ComposeRunCommand() ? AppState.commandLine : "";
}
