#include "e2e/driver.h"

#include "common/files.h"

#include <tlhelp32.h>

#include <vector>

namespace driver {

namespace {

// The control of a message box that holds its text.
const int kBoxText = 0xFFFF;

std::vector<HWND> DialogsOf(DWORD processId)
{
    std::vector<HWND> dialogs;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            dialogs.push_back(window);
    }
    return dialogs;
}

// A hung program must fail the test, not hang it.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

bool Start(Program& program, const std::string& folder, const std::string& decompiler, const std::string& actions,
           const std::string& executable)
{
    const std::string copy = folder + "\\" + executable;
    if (!CopyFileW(Wide(BuildFolder() + "\\" + executable).c_str(), Wide(copy).c_str(), FALSE))
        return false;
    // The settings file beside the copy, with its base name.
    if (!decompiler.empty())
        WriteWholeFile(copy.substr(0, copy.rfind('.')) + ".ini", "[Config]\r\nDecoPath=" + decompiler + "\r\n");
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions.empty() ? nullptr : actions.c_str());
    // Under Wine the desktop ends a few seconds after its last user, and a
    // program that starts as it ends dies: the driver is a user from here on.
    GetDesktopWindow();
    // As the shell starts it: its whole path, quoted, in the wide form.
    std::wstring commandLine = L"\"" + Wide(copy) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(), &startup,
                        &started))
        return false;
    CloseHandle(started.hThread);
    program.process = started.hProcess;
    program.id = started.dwProcessId;
    return true;
}

DWORD End(Program& program, DWORD waitMs)
{
    DWORD exitCode = STILL_ACTIVE;
    if (program.process) {
        if (WaitForSingleObject(program.process, waitMs) == WAIT_TIMEOUT)
            TerminateProcess(program.process, STILL_ACTIVE);
        else
            GetExitCodeProcess(program.process, &exitCode);
        CloseHandle(program.process);
    }
    program = Program();
    return exitCode;
}

HWND WaitFor(const Program& program, const char* caption, int controlId, DWORD waitMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND dialog : DialogsOf(program.id))
            if ((!caption || Text(dialog) == caption) && (controlId == 0 || GetDlgItem(dialog, controlId)))
                return (found = dialog) != nullptr;
        return false;
    }, waitMs);
    return found;
}

std::string Windows(const Program& program)
{
    std::string seen = "windows:";
    for (HWND dialog : DialogsOf(program.id))
        seen += " [" + Text(dialog) + "|" + Text(dialog, kBoxText) + "]";
    return seen;
}

std::string Text(HWND window)
{
    // Room for a length counted in characters of another code page.
    std::string text(static_cast<size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0)) * 2 + 1, '\0');
    text.resize(static_cast<size_t>(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

std::string Utf8Text(HWND window)
{
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kWaitMs, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, kWaitMs,
                        &copied);
    text.resize(copied);
    return Utf8(text);
}

bool Type(HWND dialog, int controlId, const std::string& text)
{
    Send(GetDlgItem(dialog, controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Text(dialog, controlId) == text;
}

HWND KeyTarget(HWND window)
{
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread.hwndFocus ? thread.hwndFocus : thread.hwndActive ? thread.hwndActive : window;
}

int RunningChildren(const Program& program)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int children = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        children += entry.th32ParentProcessID == program.id;
    CloseHandle(snapshot);
    return children;
}

}  // namespace driver
