// Drives the real Quorvantel.exe from outside, as a user would, with window
// messages sent across processes: for the end-to-end tests, the screenshots
// and the benchmarks. Every wait is bounded, but under Wine a message to a
// program hung in a read never times out; CTest's time limit ends that.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

const DWORD kWaitMs = 5000;

struct Program
{
    HANDLE process = nullptr;
    DWORD id = 0;
};

// Starts a copy of Quorvantel.exe (or another EXECUTABLE of the build) in
// FOLDER (UTF-8) as the shell does, DECOMPILER (unless empty) stored as its
// path, the stand-in doing ACTIONS.
bool Start(Program& program, const std::string& folder, const std::string& decompiler,
           const std::string& actions, const std::string& executable = "Quorvantel.exe");
// Ends the program, after WAIT_MS at most; its exit code, or STILL_ACTIVE.
DWORD End(Program& program, DWORD waitMs = 0);

template <typename Done>
bool WaitUntil(Done done, DWORD waitMs = kWaitMs)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(5))
        if (GetTickCount() - start > waitMs)
            return false;
    return true;
}

// A visible dialog of the program with this CAPTION (any, if null) and this
// control, once it shows; null if none did within WAIT_MS.
HWND WaitFor(const Program& program, const char* caption, int controlId = 0, DWORD waitMs = kWaitMs);
inline bool Gone(HWND window) { return WaitUntil([&] { return !IsWindowVisible(window); }); }
// The program's windows, for a failure message.
std::string Windows(const Program& program);

std::string Text(HWND window);
// The text whole, whatever the code page spells, in UTF-8.
std::string Utf8Text(HWND window);
inline std::string Text(HWND dialog, int controlId) { return Text(GetDlgItem(dialog, controlId)); }
bool Type(HWND dialog, int controlId, const std::string& text);
inline void Click(HWND dialog, int controlId) { PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0); }
inline bool Enabled(HWND dialog, int controlId) { return IsWindowEnabled(GetDlgItem(dialog, controlId)) != FALSE; }
// Where the keys go in WINDOW's thread: the focus, else the active window.
HWND KeyTarget(HWND window);
inline void PressKey(HWND window, WORD key)
{
    const HWND target = KeyTarget(window);
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}
// Processes the program started and that are still running; -1 when the
// system would not list the processes.
int RunningChildren(const Program& program);

}  // namespace driver
