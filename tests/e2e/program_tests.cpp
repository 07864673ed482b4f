// The real program, started as the shell starts it and worked from outside.
#include "common/files.h"
#include "e2e/driver.h"
#include "res/resource.h"
#include "standin/output.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace driver;

namespace {

const char kCaption[] = "Quorvantel";
const char kLog[] = "Decompiler Log : ";
// The folder picker's tree of folders.
const int kFolderTree = 0x3741;

// The DLLs that WINEDLLOVERRIDES tells Wine to look for in a program's
// folder first, as Windows does: "name,name=n,b".
std::vector<std::string> DllsLookedForBesideTheProgram()
{
    char overrides[1024] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    std::istringstream names(std::string(overrides).substr(0, std::string(overrides).find('=')));
    std::vector<std::string> dlls;
    for (std::string name; std::getline(names, name, ',');)
        dlls.push_back(name + ".dll");
    return dlls;
}

class ProgramTest : public testing::Test
{
protected:
    void SetUp() override { folder_ = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()); }
    void TearDown() override { End(program_); }

    // The stand-in first tells in the log how it was started, then does ACTIONS.
    void StartAtMainWindow(const std::string& actions = "", const std::string& decompiler = StandinPath())
    {
        ASSERT_TRUE(Start(program_, folder_, decompiler, "record;" + actions));
        ASSERT_TRUE(main_ = WaitFor(program_, kCaption, IDC_HELP_FILE, 15000)) << Windows(program_);
    }

    void Fill(const std::string& helpFile, const std::string& destination)
    {
        EXPECT_TRUE(Type(main_, IDC_HELP_FILE, helpFile) && Type(main_, IDC_DEST_DIR, destination));
    }

    // Presses BUTTON and gives the log of the run to its end; the log window
    // is closed.
    std::string Logged(int button = IDC_START)
    {
        Click(main_, button);
        const HWND log = WaitFor(program_, kLog, IDC_LOG_TEXT);
        EXPECT_TRUE(WaitUntil([&] {
            return Enabled(log, IDOK) && Enabled(log, IDC_COPY_TO_CLIPBOARD) && !WaitFor(program_, "", IDC_PROGRESS_BAR, 0);
        })) << "the run did not end: " << Windows(program_);
        const std::string text = Text(log, IDC_LOG_TEXT);
        Click(log, IDOK);
        EXPECT_TRUE(Gone(log) && WaitUntil([&] { return IsWindowEnabled(main_); })) << Windows(program_);
        return text;
    }

    std::string folder_;
    Program program_;
    HWND main_ = nullptr;
};

}  // namespace

// Unquoted, "...\Program Files\HELPDECO.EXE" would start "...\Program.exe".
TEST_F(ProgramTest, NoOtherProgramRunsInTheDecompilersPlace)
{
    const std::string tools = folder_ + "\\Program Files", decompiler = tools + "\\HELPDECO.EXE";
    CreateDirectoryA(tools.c_str(), nullptr);
    for (const std::string& copy : {decompiler, folder_ + "\\Program.exe"})
        ASSERT_TRUE(CopyFileA(StandinPath().c_str(), copy.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow("", decompiler));
    Fill("manual.hlp", folder_);
    const std::string quoted = "\"" + decompiler + "\"";
    EXPECT_EQ(Ran(decompiler, quoted + " \"manual.hlp\" /y", folder_), Logged());
    EXPECT_EQ(Ran(decompiler, quoted, folder_), Logged(IDC_USAGE));
}

// A program in a folder whose name the code page (1252 here) cannot spell
// keeps its settings beside itself, under its own base name: the first start
// asks for the path and stores it there, the next start reads it, and
// "Reset ..." stores a new one, which the next run starts.
TEST_F(ProgramTest, KeepsItsSettingsInAFolderTheCodePageCannotSpell)
{
    ASSERT_EQ(1252u, GetACP()) << "the program is tested in code page 1252";
    const std::string folder = folder_ + "\\Программа Ωμέγα 程序", settings = folder + "\\Quorvantel.ini";
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    const auto setPath = [&](const std::string& path) {
        const HWND dialog = WaitFor(program_, kCaption, IDC_PATH_FIELD, 15000);
        ASSERT_TRUE(dialog && Type(dialog, IDC_PATH_FIELD, path)) << Windows(program_);
        Click(dialog, IDOK);
        ASSERT_TRUE(Gone(dialog)) << Windows(program_);
    };
    ASSERT_TRUE(Start(program_, folder, "", ""));
    ASSERT_NO_FATAL_FAILURE(setPath(StandinPath()));
    EXPECT_EQ("[Config]\r\nDecoPath=" + StandinPath() + "\r\n", ReadWholeFile(settings));
    ASSERT_TRUE(main_ = WaitFor(program_, kCaption, IDC_HELP_FILE)) << Windows(program_);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, End(program_, kWaitMs));

    ASSERT_TRUE(Start(program_, folder, "", ""));
    ASSERT_TRUE(main_ = WaitFor(program_, kCaption, IDC_HELP_FILE, 15000)) << "the path is asked for again: "
                                                                            << Windows(program_);
    EXPECT_EQ(StandinPath(), Text(main_, IDC_DECOMPILER_PATH));
    Click(main_, IDC_RESET_DECOMPILER);
    ASSERT_NO_FATAL_FAILURE(setPath("HELPDECO.EXE"));
    EXPECT_EQ("[Config]\r\nDecoPath=HELPDECO.EXE\r\n", ReadWholeFile(settings));
    const std::string log = Logged(IDC_USAGE);
    EXPECT_EQ(0u, log.find("Could not start the decompiler.\r\nCommand: HELPDECO.EXE\r\n")) << log;
}

// Windows looks for a DLL that is not a known one in the program's folder
// first. DLLs of our own making laid there under the names of those the
// program loads, at its start, for its log and for its pickers, are never
// loaded: not at the start, not by a picker, not by a run. The session
// looks for those names beside a program first, as Windows does; the
// stand-in, loading them by name from beside itself, shows that it does.
TEST_F(ProgramTest, NoDllLaidBesideTheProgramIsLoaded)
{
    const std::vector<std::string> dlls = DllsLookedForBesideTheProgram();
    ASSERT_FALSE(dlls.empty()) << "WINEDLLOVERRIDES names no DLLs to look for beside a program first";
    const auto loadedBeside = [&] {
        std::string loaded;
        for (const std::string& dll : dlls)
            loaded += GetFileAttributesA((folder_ + "\\" + dll + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES ? " " + dll : "";
        return loaded;
    };
    for (const std::string& dll : dlls)
        ASSERT_TRUE(CopyFileA((BuildFolder() + "\\planted.dll").c_str(), (folder_ + "\\" + dll).c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(StartAtMainWindow()) << "loaded from beside the program:" << loadedBeside();
    // Each picker opened and cancelled, then a run.
    for (const auto& [button, pickerControl] : {std::make_pair(IDC_BROWSE_HELP_FILE, cmb1),
                                               std::make_pair(IDC_BROWSE_DEST_DIR, kFolderTree)}) {
        Click(main_, button);
        const HWND picker = WaitFor(program_, nullptr, pickerControl);
        ASSERT_TRUE(picker) << "no picker: " << Windows(program_);
        Click(picker, IDCANCEL);
        ASSERT_TRUE(Gone(picker) && WaitUntil([&] { return IsWindowEnabled(main_); })) << Windows(program_);
    }
    Fill("manual.hlp", folder_);
    EXPECT_EQ(0u, Logged().find(StandinPath())) << "the run did not show the stand-in's report";
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, End(program_, kWaitMs)) << "the program did not end by itself with exit code 0";
    EXPECT_EQ("", loadedBeside()) << "loaded from beside the program";

    // The stand-in beside them, loading each by its name, takes them all.
    std::string loadByName, all;
    for (const std::string& dll : dlls) {
        loadByName += "load=" + dll + ";";
        all += " " + dll;
    }
    Program standin;
    ASSERT_TRUE(Start(standin, folder_, "", loadByName, "standin.exe"));
    End(standin, kWaitMs);
    EXPECT_EQ(all, loadedBeside()) << "this session does not look beside a program first";
}

// A decompiler that prints and falls silent, or whose grandchild holds the
// pipe, or that prints without a break, is stopped at once by "Stop", Escape
// or the close command (Alt+F4); Enter, which "S T A R T" may have been
// pressed with, stops nothing. The log keeps what came and says so on a line
// of its own; the decompiler is gone.
TEST_F(ProgramTest, StopEndsTheRunAtOnceAndKeepsTheLog)
{
    const std::string ran = Ran(StandinPath(), StandinPath() + " \"manual.hlp\" /y", folder_);
    // What came is the known text up to some length; the stop line follows on
    // a line of its own, after a line end unless what came ended a line (a
    // bare CR ends one too).
    const auto logAfter = [&ran](size_t came) {
        const std::string text = KnownText(came);
        const bool endsLine = text.empty() || text.back() == '\r' || text.back() == '\n';
        return ran + text + (endsLine ? "" : "\r\n") + "The decompiler was stopped.\r\n";
    };
    // The decompiler's actions, the bytes it printed before the stop (0: any), whether it still runs then, the way.
    // 76 bytes end in the CR of the first line's CR LF.
    const std::tuple<std::string, size_t, int, const char*, UINT, WPARAM> rows[] = {
        {"text=100/100;sleep=30000", 100, 1, "Stop", BM_CLICK, 0},
        {"text=100/100;sleep=30000", 100, 1, "Escape", WM_KEYDOWN, VK_ESCAPE},
        {"text=100/100;sleep=30000", 100, 1, "Alt+F4", WM_SYSCOMMAND, SC_CLOSE},
        {"text=76/76;grandchild=30000", 76, 0, "Stop", BM_CLICK, 0},
        {"text=8388608/4096", 0, 1, "Stop", BM_CLICK, 0},
    };
    for (const auto& [actions, printed, running, way, message, wParam] : rows) {
        SCOPED_TRACE(actions + ", " + way);
        ASSERT_NO_FATAL_FAILURE(StartAtMainWindow(actions));
        Fill("manual.hlp", folder_);
        Click(main_, IDC_START);
        const HWND log = WaitFor(program_, kLog, IDC_LOG_TEXT), box = WaitFor(program_, "", IDC_PROGRESS_BAR);
        ASSERT_TRUE(log && box) << Windows(program_);
        PressKey(box, VK_RETURN);
        Sleep(1000);
        EXPECT_TRUE(IsWindow(box) && KeyTarget(box) != GetDlgItem(box, IDCANCEL)) << "Enter stopped, or Stop has the focus";
        EXPECT_EQ(running, RunningChildren(program_));
        const DWORD stoppedAt = GetTickCount();
        if (message == WM_KEYDOWN)
            PressKey(box, static_cast<WORD>(wParam));
        else
            PostMessageA(message == BM_CLICK ? GetDlgItem(box, IDCANCEL) : box, message, wParam, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && Enabled(log, IDOK) && Enabled(log, IDC_COPY_TO_CLIPBOARD); },
                              2000)) << "the run did not end within 2 s: " << Windows(program_);
        printf("%s: the run ended %lu ms after the stop\n", way, GetTickCount() - stoppedAt);
        EXPECT_EQ(0, RunningChildren(program_)) << "the decompiler still runs";
        const std::string text = Text(log, IDC_LOG_TEXT);
        size_t came = text.size() - std::min(text.size(), logAfter(0).size());
        if (logAfter(came) != text && came >= 2)
            came -= 2;  // the line end before the stop line is the program's
        EXPECT_EQ(logAfter(came), text);
        EXPECT_TRUE(printed == 0 || came == printed) << came << " bytes came, not " << printed;
        End(program_);
    }
}
