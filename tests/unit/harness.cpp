#include "unit/harness.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "runner/run_decompiler.h"
#include "ui/dialogs.h"

#include <richedit.h>

#include <cstdio>

namespace {

// The run blocks this thread while the child writes, so the deadline is
// watched from another one.
volatile ULONGLONG deadline = 0;

DWORD WINAPI WatchDeadline(LPVOID)
{
    for (;; Sleep(500)) {
        if (deadline != 0 && GetTickCount64() > deadline) {
            fprintf(stderr, "FATAL: a run did not end within a minute\n");
            TerminateProcess(GetCurrentProcess(), 3);  // the job ends the children
        }
    }
}

INT_PTR CALLBACK InertDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Caret after the last character; a vertical scroll bar, when the text needs
// one, shown and at the bottom.
bool AtEnd(HWND text)
{
    CHARRANGE selection = {};
    SendMessageA(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(text, SB_VERT, &bar);
    const int page = static_cast<int>(bar.nPage);
    const bool needsBar = page > 0 && bar.nMax >= page;
    const bool atBottom = (GetWindowLongA(text, GWL_STYLE) & WS_VSCROLL) && bar.nPos + page >= bar.nMax;
    return selection.cpMin == GetWindowTextLengthA(text) && (!needsBar || atBottom);
}

}  // namespace

RunResult RunStandin(const std::string& actions)
{
    static const HANDLE watcher = CreateThread(nullptr, 0, WatchDeadline, nullptr, 0, nullptr);
    (void)watcher;
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions.c_str());
    const HWND log = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_LOG), nullptr, InertDialog, 0);
    const HWND text = GetDlgItem(log, IDC_LOG_TEXT);
    PrepareLogText(text);
    const HWND box = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PROGRESS), log, InertDialog, 0);
    ShowWindow(log, SW_SHOWNOACTIVATE);
    ShowWindow(box, SW_SHOWNOACTIVATE);
    RunResult result;
    result.limit = SendMessageA(text, EM_GETLIMITTEXT, 0, 0);
    deadline = GetTickCount64() + 60000;
    RunDecompiler(box, AppState.commandLine, AppState.destDir);
    deadline = 0;
    // Room for a length counted in characters of a two-byte code page.
    result.log.resize(static_cast<size_t>(GetWindowTextLengthA(text)) * 2 + 1);
    result.log.resize(static_cast<size_t>(GetWindowTextA(text, &result.log[0], static_cast<int>(result.log.size()))));
    result.buttonsEnabled = IsWindowEnabled(GetDlgItem(log, IDOK)) && IsWindowEnabled(GetDlgItem(log, IDC_COPY_TO_CLIPBOARD));
    result.atEnd = AtEnd(text);
    DestroyWindow(box);
    DestroyWindow(log);
    return result;
}

std::string StartFailure(const std::string& command, const std::string& folder, DWORD error)
{
    char reason[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason, nullptr);
    std::string text = reason;
    text.erase(text.find_last_not_of("\r\n") + 1);
    return "Could not start the decompiler.\r\nCommand: " + command + "\r\nFolder: " + folder + "\r\nReason: " + text +
           " (error " + std::to_string(error) + ")\r\n";
}

namespace {

// The process's GDI handle table hangs off its environment block; an entry
// is in use while its type is not zero.
DWORD CountGdiTableEntries()
{
    struct Entry
    {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        UINT64 user;
    };
    typedef const char*(WINAPI * CurrentPeb)();
    const auto peb = reinterpret_cast<CurrentPeb>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetCurrentPeb")));
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb() + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    DWORD count = 0;
    for (size_t i = 0; table && i < 0x10000; ++i)
        count += table[i].type != 0;
    return count;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowTree(HWND window, LPARAM count)
{
    EnumChildWindows(window, CountWindow, count);
    return CountWindow(window, count);
}

}  // namespace

ResourceCounts CountResources()
{
    const HANDLE self = GetCurrentProcess();
    ResourceCounts counts = {0, GetGuiResources(self, GR_GDIOBJECTS), GetGuiResources(self, GR_USEROBJECTS)};
    DWORD flags = 0;
    if (!GetProcessHandleCount(self, &counts.handles) || counts.handles == 0)
        for (ULONG_PTR value = 4; value < 0x10000; value += 4)
            counts.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    if (counts.gdiObjects == 0)
        counts.gdiObjects = CountGdiTableEntries();
    if (counts.userObjects == 0)
        EnumThreadWindows(GetCurrentThreadId(), CountWindowTree, reinterpret_cast<LPARAM>(&counts.userObjects));
    return counts;
}
