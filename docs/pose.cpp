// Holds the real program in one state for scripts/screenshots.sh, which
// takes the pictures in this folder:
//   pose main|log|batch|progress|path|options DONE_FILE
// Prints "pose WxH+X+Y", the window's place on the screen, and ends the
// program once DONE_FILE exists.
#include "common/files.h"
#include "e2e/driver.h"
#include "res/resource.h"

#include <cstdio>
#include <string>

using namespace driver;

namespace {

// The window that shows STATE, of the program started in FOLDER.
HWND Pose(Program& program, const std::string& state, const std::string& folder)
{
    const bool path = state == "path", run = state == "log" || state == "batch" || state == "progress";
    const std::string decompiler = path ? "" : run ? StandinPath() : "C:\\Tools\\HELPDECO.EXE";
    if (!Start(program, folder, decompiler, state == "progress" ? "stdout=Decompiling manual.hlp ...\r\n;sleep=120000" : ""))
        return nullptr;
    const HWND main = WaitFor(program, "Quorvantel", path ? IDC_PATH_FIELD : IDC_HELP_FILE, 15000);
    if (!main || path)
        return main && Type(main, IDC_PATH_FIELD, "C:\\Tools\\HELPDECO.EXE") ? main : nullptr;
    Type(main, IDC_HELP_FILE, state == "batch" ? "\"C:\\CD\\manual.hlp\" \"C:\\CD\\tools\\manual.hlp\" \"C:\\CD\\setup.hlp\""
                                               : "C:\\Help\\manual.hlp");
    Type(main, IDC_DEST_DIR, run ? folder : "C:\\Help\\manual");
    if (state == "main")
        return main;
    Click(main, state == "options" ? IDC_CHANGE_OPTIONS : IDC_START);
    if (state == "progress")
        return WaitFor(program, "", IDC_PROGRESS_BAR);
    if (state == "log" || state == "batch") {  // the stand-in's made-up report
        const HWND log = WaitFor(program, "Decompiler Log : ", IDC_LOG_TEXT);
        return WaitUntil([&] { return Enabled(log, IDOK) && !WaitFor(program, "", IDC_PROGRESS_BAR, 0); }) ? log : nullptr;
    }
    const HWND options = WaitFor(program, "Decompiler Options : ", IDC_OPTION_HEX_DUMP);
    Click(options, IDC_OPTION_CNT);
    Click(options, IDC_OPTION_HEX_DUMP);
    return options;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: pose main|log|batch|progress|path|options DONE_FILE\n");
        return 2;
    }
    Program program;
    const HWND window = Pose(program, argv[1], FreshFolder(std::string("pose-") + argv[1]));
    if (window) {
        SendMessageA(window, WM_NCACTIVATE, TRUE, 0);  // an active caption, as the user sees it
        Sleep(500);
        RECT box;
        GetWindowRect(window, &box);
        printf("pose %ldx%ld+%ld+%ld\n", box.right - box.left, box.bottom - box.top, box.left, box.top);
        fflush(stdout);
        WaitUntil([&] { return GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES; }, 120000);
    }
    End(program);
    return window ? 0 : 1;
}
