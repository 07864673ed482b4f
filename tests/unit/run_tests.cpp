// The decompiler run, with the stand-in as the child and the program's own
// log window and progress box around it.
#include "common/files.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "e2e/driver.h"
#include "core/help_files.h"
#include "imports.h"
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
#include <vector>

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

// Runs AppState.commandLine in AppState.destDir, or the batch planned in
// AppState, the stand-in doing ACTIONS, and gives the log's text; checks
// what every run leaves in the log window.
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
    if (AppState.batchSize > 1)
        RunBatch(box);
    else
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
    AppState.batchSize = 0;
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

// The system's words for ERROR, and its number, as the log tells them.
std::string Reason(DWORD error)
{
    char reason[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason, nullptr);
    std::string text = reason;
    text.erase(text.find_last_not_of("\r\n") + 1);
    EXPECT_NE("", text) << "the system has no words for error " << error;
    return text + " (error " + std::to_string(error) + ")";
}

std::string StartFailure(const std::string& command, const std::string& folder, DWORD error)
{
    return "Could not start the decompiler.\r\nCommand: " + command + "\r\nFolder: " + folder + "\r\nReason: " +
           Reason(error) + "\r\n";
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

// The starts of the decompiler, watched at the import table: the error
// mode each start hands the child; the start numbered failingStart fails.
struct Starts
{
    std::vector<UINT> errorModes;
    size_t failingStart;
    decltype(&CreateProcessA) start;  // the system's own
} starts;

BOOL WINAPI WatchStart(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                       LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment, LPCSTR folder,
                       LPSTARTUPINFOA startup, LPPROCESS_INFORMATION started)
{
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    starts.errorModes.push_back(mode);
    if (starts.errorModes.size() == starts.failingStart) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return starts.start(application, commandLine, process, thread, inherit, flags, environment, folder, startup, started);
}

// Runs the batch planned in AppState with every start of the decompiler
// watched, the one numbered FAILING_START failing.
std::string RunWatchingStarts(const std::string& actions, size_t failingStart = 0)
{
    void* const createProcess = PatchImport("CreateProcessA", reinterpret_cast<void*>(WatchStart));
    starts = {{}, failingStart, reinterpret_cast<decltype(&CreateProcessA)>(createProcess)};
    EXPECT_TRUE(createProcess) << "the run does not start the decompiler through CreateProcessA";
    const std::string log = createProcess ? RunStandin(actions) : "";
    PatchImport("CreateProcessA", createProcess);
    return log;
}

// The progress box of the run on thread RUN_THREAD, once it shows; for a
// thread of the test's that watches the run.
HWND ProgressBoxOf(DWORD runThread)
{
    HWND box = nullptr;  // the run's dialog without a caption
    for (int tries = 0; GetWindowThreadProcessId(box, nullptr) != runThread && tries < 5000; ++tries)
        if (!(box = FindWindowExA(nullptr, box, "#32770", "")))
            Sleep(1);
    return box;
}

// A batch of HELP_FILES in DESTINATION, planned as "S T A R T" plans one.
void ComposeBatch(const std::string& destination, const std::vector<std::string>& helpFiles)
{
    StoreText(AppState.decompilerPath, {StandinPath().c_str()});
    StoreText(AppState.switches, {" /y"});
    StoreText(AppState.destDir, {destination.c_str()});
    AppState.batchSize = static_cast<int>(helpFiles.size());
    for (size_t i = 0; i < helpFiles.size(); ++i) {
        StoreText(AppState.batch[i].helpFile, {helpFiles[i].c_str()});
        ASSERT_TRUE(PlanBatchFile(static_cast<int>(i))) << helpFiles[i];
    }
}

// The line that heads help file NUMBER of COUNT in the log.
std::string Heading(int number, int count, const std::string& helpFile, const std::string& folder)
{
    return (number > 1 ? "\r\n" : "") + std::string("Help file ") + std::to_string(number) + " of " +
           std::to_string(count) + ": " + helpFile + ", in the folder " + folder + "\r\n";
}

// The stand-in recording how it ran on HELP_FILE in FOLDER.
std::string Recorded(const std::string& helpFile, const std::string& folder)
{
    return Ran(StandinPath(), StandinPath() + " \"" + helpFile + "\" /y", folder);
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
        const HWND box = ProgressBoxOf(runThread);
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

// Several help files in one go: one after another, in order, each in a
// folder of its own in the destination, named after it, " (2)" for a second
// of the same name; a folder that exists is used, one that cannot be made
// is told and the batch goes on; a summary last.
TEST(Batch, EachHelpFileRunsInItsOwnFolderInOrder)
{
    const std::string folder = FreshFolder("batch"), cd = folder + "\\CD", out = folder + "\\out";
    for (const std::string& made : {out, out + "\\b"})
        CreateDirectoryA(made.c_str(), nullptr);
    WriteWholeFile(out + "\\c", "a file where the folder would be");
    const std::vector<std::string> files = {cd + "\\a.hlp", cd + "\\sub\\a.hlp", cd + "\\b.hlp", cd + "\\c.hlp"};
    ASSERT_NO_FATAL_FAILURE(ComposeBatch(out, files));
    EXPECT_EQ(Heading(1, 4, files[0], out + "\\a") + Recorded(files[0], out + "\\a") +
              Heading(2, 4, files[1], out + "\\a (2)") + Recorded(files[1], out + "\\a (2)") +
              Heading(3, 4, files[2], out + "\\b") + Recorded(files[2], out + "\\b") +
              Heading(4, 4, files[3], out + "\\c") + "Could not make the folder.\r\nFolder: " + out + "\\c\r\nReason: " +
              Reason(ERROR_ALREADY_EXISTS) + "\r\n\r\nSummary of 4 help files: 3 decompiled, 1 could not start.\r\n1. " +
              files[0] + ": decompiled\r\n2. " + files[1] + ": decompiled\r\n3. " + files[2] + ": decompiled\r\n4. " +
              files[3] + ": could not start (error 183)\r\n",
              RunStandin("record"));
}

// A start that fails in the middle of a batch is told, as a single run
// tells it, and the batch goes on. A decompiler that crashes must end at
// once, not wait for a click on Windows' crash dialog: Wine passes no error
// mode to a child, so what is tested is the one every start hands it, from
// a program's own of 0, which is put back after.
TEST(Batch, AFailedStartInTheMiddleLeavesTheRestToRun)
{
    const UINT testsOwn = SetErrorMode(0);
    const std::string out = FreshFolder("batch-start"), exit = "The decompiler ended with exit code 2.\r\n";
    const std::vector<std::string> files = {"a.hlp", "b.hlp", "c.hlp"};
    ASSERT_NO_FATAL_FAILURE(ComposeBatch(out, files));
    const auto helpFile = [&](int i) { return out + "\\" + files[static_cast<size_t>(i)]; };
    const auto folder = [&](int i) { return out + "\\" + files[static_cast<size_t>(i)].substr(0, 1); };
    EXPECT_EQ(Heading(1, 3, helpFile(0), folder(0)) + Recorded(helpFile(0), folder(0)) + exit +
              Heading(2, 3, helpFile(1), folder(1)) +
              StartFailure(StandinPath() + " \"" + helpFile(1) + "\" /y", folder(1), ERROR_ACCESS_DENIED) +
              Heading(3, 3, helpFile(2), folder(2)) + Recorded(helpFile(2), folder(2)) + exit +
              "\r\nSummary of 3 help files: 2 ended with an exit code, 1 could not start.\r\n1. " + helpFile(0) +
              ": ended with exit code 2\r\n2. " + helpFile(1) + ": could not start (error 5)\r\n3. " + helpFile(2) +
              ": ended with exit code 2\r\n",
              RunWatchingStarts("record;exit=2", 2));
    EXPECT_EQ(0u, SetErrorMode(testsOwn)) << "the program's own error mode was not put back";
    const std::vector<UINT> noDialogs(3, SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    EXPECT_EQ(noDialogs, starts.errorModes) << "the error modes the starts handed the decompiler";
}

// "Stop" during the second of three ends that decompiler and starts no
// other; the summary tells the third as not run.
TEST(Batch, StopDuringTheSecondRunsNoMore)
{
    const std::string out = FreshFolder("batch-stop");
    ASSERT_NO_FATAL_FAILURE(ComposeBatch(out, {"a.hlp", "b.hlp", "c.hlp"}));
    const DWORD runThread = GetCurrentThreadId();
    std::thread user([&] {
        const HWND box = ProgressBoxOf(runThread);
        const HWND log = GetDlgItem(GetParent(box), IDC_LOG_TEXT);
        const std::string second = out + "\\b.hlp\" /y\r\n";  // the second decompiler's command, as it records it
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::Text(log).find(second) != std::string::npos; }, 20000));
        RequestStop(box);
        PostMessageA(box, WM_NULL, 0, 0);
    });
    const std::string log = RunWatchingStarts("record;sleep=3000");
    user.join();
    const auto helpFile = [&](const char* name) { return out + "\\" + name + ".hlp"; };
    EXPECT_EQ(Heading(1, 3, helpFile("a"), out + "\\a") + Recorded(helpFile("a"), out + "\\a") +
              Heading(2, 3, helpFile("b"), out + "\\b") + Recorded(helpFile("b"), out + "\\b") +
              "The decompiler was stopped.\r\n\r\nSummary of 3 help files: 1 decompiled, 1 stopped, 1 not run.\r\n1. " +
              helpFile("a") + ": decompiled\r\n2. " + helpFile("b") + ": stopped\r\n3. " + helpFile("c") + ": not run\r\n",
              log);
    EXPECT_EQ(2u, starts.errorModes.size()) << "decompilers started";
}

// The log's limit holds for the whole batch, and the summary follows the
// output that filled it: the log says once, where the output stopped, that
// the rest was left out.
TEST(Batch, SummaryFollowsAFullLog)
{
    const std::string out = FreshFolder("batch-full"), first = out + "\\a.hlp", second = out + "\\b.hlp";
    const size_t printed = 3 * 1024 * 1024;
    ASSERT_NO_FATAL_FAILURE(ComposeBatch(out, {"a.hlp", "b.hlp"}));
    const std::string log = RunStandin("text=" + std::to_string(printed) + "/65536");
    const std::string leftOut = "\r\nThe rest of the output was left out: the log is full.\r\n";
    const std::string summary = "\r\nSummary of 2 help files: 2 decompiled.\r\n1. " + first + ": decompiled\r\n2. " +
                                second + ": decompiled\r\n";
    const std::string output = KnownText(printed), lineEnd = output.back() == '\n' ? "" : "\r\n";
    const std::string before = Heading(1, 2, first, out + "\\a") + output + lineEnd + Heading(2, 2, second, out + "\\b");
    const size_t cut = log.find(leftOut);
    ASSERT_NE(std::string::npos, cut) << "the log does not say that output was left out";
    EXPECT_LE(log.size(), static_cast<size_t>(kLogTextLimit));
    EXPECT_EQ(0u, log.compare(0, before.size(), before)) << "the log does not start with the first help file's output";
    EXPECT_TRUE(log.size() >= before.size() && KnownText(cut - before.size()) == log.substr(before.size(), cut - before.size()))
        << "the second help file's output is not its start";
    EXPECT_EQ(leftOut + summary, log.substr(cut)) << "the log does not end with the summary after the note";
}
