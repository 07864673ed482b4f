// Puts the program into one state for a screenshot and holds it there:
//   e2e_pose STATE READY_FILE DONE_FILE
// STATE is main, log, path or options. When the window is up and painted,
// READY_FILE gets its screen rectangle ("x y width height"); the program
// is ended once DONE_FILE appears (or after two minutes).
#include "e2e/driver.h"
#include "res/resource.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace e2e;

namespace {

const char kHelpFile[] = "C:\\Help\\manual.hlp";
const char kDecompiler[] = "C:\\Tools\\HELPDECO.EXE";

// What the stand-in prints for the log window's picture: the progress of
// a decompile, as a decompiler might report it.
const char* const kDecompileReport[] = {
    "Decompiling C:\\Help\\manual.hlp\r\n",
    "Reading system file: Windows 3.1 help file, 4 KB topic blocks, LZ77 compressed\r\n",
    "Title: Widget Manager Help\r\n",
    "Writing project file manual.hpj\r\n",
    "Writing contents file manual.cnt\r\n",
    "Writing phrase file manual.ph\r\n",
    "Writing topics to manual.rtf\r\n",
    "  128 topics, 37 keywords, 12 browse sequences\r\n",
    "Extracting pictures\r\n",
    "  bm0.bmp  bm1.bmp  bm2.shg  bm3.bmp  bm4.wmf\r\n",
    "Writing macro file manual.mac\r\n",
    "Warning: topic 'Glossary' refers to missing context id IDH_OLD_INDEX\r\n",
    "Done: 128 topics, 5 pictures, 1 warning.\r\n",
};

std::string ReportActions()
{
    std::string actions;
    for (const char* line : kDecompileReport)
        actions += std::string(actions.empty() ? "" : ";") + "stdout=" + line;
    return actions;
}

bool Fail(const testing::AssertionResult& result)
{
    if (result)
        return false;
    fprintf(stderr, "e2e_pose: %s\n", result.message());
    return true;
}

// Started from another program, the first window comes up inactive, with
// a grey caption. A child dialog opened from it and closed again hands
// the activation back to it; the focus then goes back to FOCUS, where the
// window puts it when it opens.
bool ActivateThroughChild(const Program& program, HWND window, int button, const char* caption,
                          int focus)
{
    HWND child = nullptr;
    if (Fail(Click(window, button)) || Fail(WaitForDialog(program, caption, 0, &child)))
        return false;
    PostCommand(child, IDCANCEL);
    if (Fail(WaitForGone(child, "the child dialog")))
        return false;
    SendBounded(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, focus)), TRUE,
                nullptr);
    return true;
}

// Picks the window to show and brings the program there.
HWND Pose(const std::string& state, const std::string& folder, Program* program)
{
    HWND main = nullptr;
    if (state == "path") {
        if (Fail(StartProgram(folder, "", program)))
            return nullptr;
        HWND dialog = nullptr;
        if (Fail(WaitForDialog(*program, kProgramCaption, IDC_PATH_FIELD, &dialog, kStartWaitMs)) ||
            !ActivateThroughChild(*program, dialog, IDC_BROWSE_DECOMPILER, kFilePickerCaption,
                                  IDOK) ||
            Fail(SetItemText(dialog, IDC_PATH_FIELD, kDecompiler)))
            return nullptr;
        return dialog;
    }
    const bool run = state == "log";
    WriteSettings(folder, run ? StandinPath() : kDecompiler);
    if (Fail(StartProgram(folder, run ? ReportActions() : "", program)) ||
        Fail(WaitForDialog(*program, kProgramCaption, IDC_HELP_FILE, &main, kStartWaitMs)) ||
        !ActivateThroughChild(*program, main, IDC_CHANGE_OPTIONS, kOptionsCaption, IDC_HELP_FILE))
        return nullptr;
    if (Fail(SetItemText(main, IDC_HELP_FILE, kHelpFile)) ||
        Fail(SetItemText(main, IDC_DEST_DIR,
                         run ? MakeSubfolder(folder, "manual") : "C:\\Help\\manual")))
        return nullptr;
    if (state == "main") {
        // The caret after the typed name, as if the user had just typed it.
        const DWORD end = static_cast<DWORD>(strlen(kHelpFile));
        SendBounded(GetDlgItem(main, IDC_HELP_FILE), EM_SETSEL, end, end, nullptr);
        return main;
    }
    if (state == "options") {
        HWND options = nullptr;
        if (Fail(Click(main, IDC_CHANGE_OPTIONS)) ||
            Fail(WaitForDialog(*program, kOptionsCaption, IDC_OPTION_OVERWRITE, &options)) ||
            Fail(Click(options, IDC_OPTION_CNT)) || Fail(Click(options, IDC_OPTION_HEX_DUMP)))
            return nullptr;
        WaitUntil([&] { return IsItemChecked(options, IDC_OPTION_HEX_DUMP); });
        // The focus back on OK, where it starts.
        PostMessageA(options, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(options, IDOK)),
                     TRUE);
        return options;
    }
    if (run) {
        HWND log = nullptr;
        if (Fail(Click(main, IDC_START)) ||
            Fail(WaitForDialog(*program, kLogCaption, IDC_LOG_TEXT, &log)))
            return nullptr;
        WaitUntil(
            [&] { return IsItemEnabled(log, IDOK) && DialogsOf(program->processId).size() == 2; });
        return log;
    }
    fprintf(stderr, "e2e_pose: unknown state '%s'\n", state.c_str());
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: e2e_pose main|log|path|options READY_FILE DONE_FILE\n");
        return 2;
    }
    const std::string state = argv[1];
    Program program = {};
    const HWND window = Pose(state, MakeFreshFolder("pose-" + state), &program);
    int result = 1;
    if (window) {
        Sleep(500);  // let every control paint
        RECT area;
        GetWindowRect(window, &area);
        WriteWholeFile(argv[2], std::to_string(area.left) + " " + std::to_string(area.top) + " " +
                                    std::to_string(area.right - area.left) + " " +
                                    std::to_string(area.bottom - area.top) + "\n");
        WaitUntil([&] { return FileExists(argv[3]); }, 120000);
        result = 0;
    }
    EndProgram(&program);
    return result;
}
