// The decompiler run, with the stand-in as the child and the program's own
// log window and progress box around it.
#include "common/files.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "e2e/driver.h"
#include "res/resource.h"
#include "runner/run_decompiler.h"
#include "standin/output.h"
#include "ui/dialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

// What the program loads at its start: the classes of its windows.
const bool kClassesLoaded = (InitCommonControls(), LoadLibraryA("riched32.dll") != nullptr);

INT_PTR CALLBACK InertDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The lines a text shows in the log: CR LF, a bare LF and a bare CR each end
// one, but a bare CR at the very end shows no new line.
LRESULT LinesOf(const std::string& text)
{
    LRESULT lines = 1;
    for (size_t i = 0; i < text.size(); ++i)
        lines += text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] != '\n');
    return lines;
}

// The text shown (drawn again after the run), its caret after the last
// character, and a vertical scroll bar, when it needs one, at the bottom.
bool AtEnd(HWND text)
{
    CHARRANGE selection = {};
    SendMessageA(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SCROLLINFO bar = {sizeof bar, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(text, SB_VERT, &bar);
    const int page = static_cast<int>(bar.nPage);
    const bool barAtBottom = (GetWindowLongA(text, GWL_STYLE) & WS_VSCROLL) && bar.nPos + page >= bar.nMax;
    return IsWindowVisible(text) && selection.cpMin == GetWindowTextLengthA(text) &&
           (page == 0 || bar.nMax < page || barAtBottom);
}

// Runs AppState.commandLine in AppState.destDir, the stand-in doing ACTIONS,
// and gives the log's text; checks what every run leaves in the log window.
// A run that never ends is left to the test's time limit.
std::string RunStandin(const std::string& actions)
{
    SCOPED_TRACE(actions);
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions.c_str());
    AppState.instance = GetModuleHandleA(nullptr);
    const HWND window = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_LOG), nullptr, InertDialog, 0);
    const HWND text = GetDlgItem(window, IDC_LOG_TEXT);
    PrepareLogText(text);
    const HWND box = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PROGRESS), window, InertDialog, 0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ShowWindow(box, SW_SHOWNOACTIVATE);
    RunDecompiler(box, AppState.commandLine, AppState.destDir);
    const std::string log = driver::Text(text);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDOK)) && IsWindowEnabled(GetDlgItem(window, IDC_COPY_TO_CLIPBOARD)));
    EXPECT_TRUE(AtEnd(text)) << "the log is hidden, or its caret or scroll bar not at the end";
    EXPECT_EQ(LinesOf(log), SendMessageA(text, EM_GETLINECOUNT, 0, 0)) << "the lines the log shows";
    DestroyWindow(box);
    DestroyWindow(window);
    return log;
}

// The stand-in on manual.hlp in DESTINATION, as "S T A R T" composes it.
void ComposeRun(const std::string& destination, const std::string& decompiler = StandinPath())
{
    StoreText(AppState.decompilerPath, {decompiler.c_str()});
    StoreText(AppState.pickedFile, {"manual.hlp"});
    StoreText(AppState.destDir, {destination.c_str()});
    ASSERT_TRUE(ComposeRunCommand());
}

void ExpectRun(const std::string& actions, const std::string& expected)
{
    const std::string log = RunStandin(actions);
    const size_t differ = std::mismatch(expected.begin(), expected.end(), log.begin(), log.end()).first - expected.begin();
    EXPECT_TRUE(expected == log) << actions.substr(0, 60) << ": " << log.size() << " bytes, not " << expected.size()
                                 << "; from byte " << differ << " [" << log.substr(differ, 60) << "] where ["
                                 << expected.substr(differ, 60) << "] was expected";
}

std::string StartFailure(const std::string& command, const std::string& folder, DWORD error)
{
    char reason[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason, nullptr);
    std::string text = reason;
    text.erase(text.find_last_not_of("\r\n") + 1);
    EXPECT_NE("", text) << "the system has no words for error " << error;
    return "Could not start the decompiler.\r\nCommand: " + command + "\r\nFolder: " + folder + "\r\nReason: " + text +
           " (error " + std::to_string(error) + ")\r\n";
}

std::string ExitLine(const char* code)
{
    return std::string("The decompiler ended with exit code ") + code + ".\r\n";
}

// The process's GDI handle table hangs off its environment block: entries
// of 24 bytes (object 8, owner 4, count 2, type 1, ...), in use while their
// type is not zero.
DWORD CountGdiTableEntries()
{
    typedef const char*(WINAPI * CurrentPeb)();
    const auto peb = reinterpret_cast<CurrentPeb>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetCurrentPeb")));
    const char* table = *reinterpret_cast<const char* const*>(peb() + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    DWORD count = 0;
    for (size_t i = 0; table && i < 0x10000; ++i)
        count += table[i * 24 + 14] != 0;
    return count;
}

struct Counts
{
    DWORD handles, gdiObjects, topLevelWindows;
};

// Counted as Wine allows, where the documented counts answer 0: the handle
// values in use, the GDI handle table, and the windows (a window left
// behind takes its child windows with it).
Counts CountResources()
{
    Counts counts = {0, CountGdiTableEntries(), 0};
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        counts.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        counts.topLevelWindows += GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    return counts;
}

}  // namespace

// Every kind of run, over and over: each log exact, and all that the runs
// took given back, so the program can stay open all day.
TEST(Run, RunsLogExactlyAndGiveBackEveryHandleGdiObjectAndWindow)
{
    ASSERT_EQ(932u, GetACP()) << "the run's byte walk is tested in the two-byte code page 932";
    const std::pair<std::string, std::string> rows[] = {
        {"exit=0", ""},
        {"text=10240/1024", KnownText(10240)},
        {"text=20000/333", KnownText(20000)},
        {"stdout=out 1\r\n;stderr=err 2\r\n;stdout=out 3\r\n;stderr=err 4\r\n", "out 1\r\nerr 2\r\nout 3\r\nerr 4\r\n"},
        {"stdout=first\r;sleep=300;stdout=\nsecond", "first\r\nsecond"},
        {"nul;stdout= and more", "beforeafter and more"},
        {"keywait", "Press any key to continue\r\nkey read\r\n"},
        {"stdout=child\r\n;grandchild=500", "child\r\ngrandchild done\r\n"},
        {"stdout=done\r\n;exit=3", "done\r\n" + ExitLine("3")},
        {"stdout=50%\r;exit=3", "50%\r" + ExitLine("3")},  // a bare CR ends a line too
        {"stdout=closing\r\n;closeout;sleep=300;exit=3", "closing\r\n" + ExitLine("3")},  // waited for
        {"text=5000/1000;crash", KnownText(5000) + "\r\n" + ExitLine("0xC0000005")},  // on a line of its own
        // From 512 characters on, the first read of 1024 bytes ends on a lead byte.
        {"dbcs=511", Hiragana(511)},
        {"dbcs=512", Hiragana(512)},
        {"dbcs=1500", Hiragana(1500)},
    };
    const std::string folder = FreshFolder("runs");
    WriteWholeFile(folder + "\\manual.hlp", "");
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    Counts first = {};
    for (int pass = 0; pass < 6 && !HasFailure(); ++pass) {
        ComposeRun(folder);
        for (const auto& row : rows)
            ExpectRun(row.first, row.second);
        // Runs that cannot start: no destination ("none" is a name), a file that is
        // no program (its reason has an insert), no decompiler, and the usage run without one.
        ComposeRun(folder + "\\missing");
        ExpectRun("", StartFailure(AppState.commandLine, folder + "\\missing", ERROR_DIRECTORY));
        ComposeRun("none");
        ExpectRun("", StartFailure(AppState.commandLine, "none", ERROR_DIRECTORY));
        ComposeRun(folder, folder + "\\manual.hlp");
        ExpectRun("", StartFailure(AppState.commandLine, folder, ERROR_BAD_EXE_FORMAT));
        ComposeRun(folder, folder + "\\HELPDECO.EXE");
        ExpectRun("", StartFailure(AppState.commandLine, folder, ERROR_FILE_NOT_FOUND));
        ComposeUsageCommand();
        ExpectRun("", StartFailure(AppState.commandLine, current, ERROR_FILE_NOT_FOUND));
        if (pass == 0)
            first = CountResources();
    }
    const Counts last = CountResources();
    printf("handles, GDI objects and windows after the first pass: %lu %lu %lu, after the last: %lu %lu %lu\n",
           first.handles, first.gdiObjects, first.topLevelWindows, last.handles, last.gdiObjects, last.topLevelWindows);
    EXPECT_LE(last.handles, first.handles);
    // Wine keeps device contexts in a cache that grows by one (3 GDI objects)
    // the first time more of them are in use at once than ever before.
    EXPECT_LE(last.gdiObjects, first.gdiObjects + 3);
    EXPECT_LE(last.topLevelWindows, first.topLevelWindows);
}

// The pipe is read to its end whatever the log takes, so the child never
// blocks. Wine's rich edit stretches its limit to take an append that would
// pass it, so the log is checked up to the limit.
TEST(Run, OutputPastTheLogsBoundEndsTheRun)
{
    ComposeRun(FreshFolder("past-the-bound"));
    const std::string log = RunStandin("text=5242880/65536");
    EXPECT_GE(log.size(), static_cast<size_t>(kLogTextLimit));
    EXPECT_TRUE(KnownText(log.size()) == log) << "the log is not the start of the output";
}

// While the decompiler is silent, the log shows what came, the progress box
// answers at once, and the run waits without using the processor (of the
// whole process, in ms).
TEST(Run, WindowsStayAliveAndIdleWhileTheDecompilerIsSilent)
{
    const auto processorMs = [] {
        FILETIME created, ended, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
        const auto ms = [](const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 10000; };
        return ms(kernel) + ms(user);
    };
    ComposeRun(FreshFolder("silent"));
    const DWORD runThread = GetCurrentThreadId();
    DWORD slowest = 0, silence = 0;
    ULONGLONG used = 0;
    std::thread probe([&] {
        HWND box = nullptr;  // the run's dialog without a caption
        for (int tries = 0; GetWindowThreadProcessId(box, nullptr) != runThread && tries < 5000; ++tries)
            if (!(box = FindWindowExA(nullptr, box, "#32770", "")))
                Sleep(1);
        Sleep(500);  // the line has come, the silence begun
        const ULONGLONG before = processorMs();
        for (const DWORD start = GetTickCount(); (silence = GetTickCount() - start) < 4000; Sleep(20)) {
            const DWORD sent = GetTickCount();
            EXPECT_TRUE(SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 1000, nullptr)) << "no answer in 1 s";
            slowest = std::max(slowest, GetTickCount() - sent);
        }
        used = processorMs() - before;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(GetParent(box), IDC_LOG_TEXT))) << "the log is not drawn";
    });
    EXPECT_EQ("working\r\n", RunStandin("stdout=working\r\n;sleep=5000"));
    probe.join();
    printf("slowest answer %lu ms; processor time %llu ms in %lu ms\n", slowest, used, silence);
    EXPECT_LT(slowest, 100u);
    EXPECT_LT(used * 20, ULONGLONG{silence}) << "more than 5 % of the silence";
}
