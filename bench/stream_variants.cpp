#include "bench/bench.h"

#include "res/resource.h"
#include "runner/run_decompiler.h"
#include "ui/dialogs.h"

#include <commctrl.h>
#include <richedit.h>

namespace {

// The log text control's size in pixels under Wine's dialog font, so the
// bare control shows as many lines as the log window's.
const int kLogTextWidth = 485;
const int kLogTextHeight = 287;

void Discard(void*, char*, DWORD) {}

void AppendToControl(void* control, char* chunk, DWORD)
{
    SendMessageA(static_cast<HWND>(control), EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(chunk));
}

// Lets the windows paint, as they do before and after a run in the program.
void PumpMessages()
{
    for (int round = 0; round < 10; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

INT_PTR CALLBACK BenchLogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    PrepareLogText(GetDlgItem(window, IDC_LOG_TEXT));
    return TRUE;
}

// As the progress box is when its timer calls the run: step 25, one step made.
INT_PTR CALLBACK BenchProgressProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETSTEP, 25, 0);
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    return FALSE;
}

// The run enables "Close" and then "Copy To Clipboard"; the second one
// notes when the buttons are both enabled.
WNDPROC copyButtonProc = nullptr;
double buttonsEnabledAt = 0;

LRESULT CALLBACK NoteButtonEnabled(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENABLE && wParam)
        buttonsEnabledAt = NowMs();
    return CallWindowProcA(copyButtonProc, window, message, wParam, lParam);
}

}  // namespace

double TimeRawRun(const std::string& commandLine)
{
    return TimeChildRun(commandLine, Discard, nullptr);
}

double TimeBareRun(const std::string& commandLine, bool visible)
{
    const HWND text = CreateWindowExA(
        0, "RICHEDIT", "",
        (visible ? WS_VISIBLE : 0) | WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
            ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL,
        100, 100, kLogTextWidth, kLogTextHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
        nullptr);
    SendMessageA(text, EM_EXLIMITTEXT, 0, kLogTextLimit);
    PumpMessages();
    const double elapsed = TimeChildRun(commandLine, AppendToControl, text);
    PumpMessages();
    DestroyWindow(text);
    return elapsed;
}

double TimeProgramRun(const std::string& commandLine)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HWND log = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_LOG), nullptr,
                                        BenchLogProc, 0);
    ShowWindow(log, SW_SHOW);
    const HWND box = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), log,
                                        BenchProgressProc, 0);
    ShowWindow(box, SW_SHOW);
    EnableWindow(log, FALSE);  // as the progress box's modal loop leaves it
    const HWND copyButton = GetDlgItem(log, IDC_COPY_TO_CLIPBOARD);
    copyButtonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        copyButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteButtonEnabled)));
    PumpMessages();

    std::string line = commandLine;
    buttonsEnabledAt = 0;
    const double start = NowMs();
    RunDecompiler(box, &line[0], "NONE");
    const double elapsed = buttonsEnabledAt > 0 ? buttonsEnabledAt - start : -1;
    PumpMessages();
    DestroyWindow(box);
    DestroyWindow(log);
    return elapsed;
}
