// The program from its start, its windows run by their own procedures on
// their own templates and worked by a script as a user works them. What the
// user sees is written down as it comes and compared whole.
#include "common/files.h"
#include "core/app_state.h"
#include "core/start.h"
#include "e2e/driver.h"
#include "res/resource.h"
#include "standin/output.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using driver::Text;

namespace {

// A script's steps are separated by "|". Each names a control by its id, or
// "box" (a message box's text), "filters" (a file picker's) or "tree" (the
// folder picker's), then "=" and a text to type, or ":" and what to do: click;
// enter, esc or altf4 (the title bar's close) after a click into it; show it;
// look at its window (icons, controls, tab order); edit it: click into it,
// type a letter, paste; clip: the clipboard; files or folders: what a picker
// offers. Show and edit work on a disabled control too.
struct Step
{
    int id;
    std::string action, text;
};

const int kBoxIcon = 0x440, kBoxText = 0xFFFF;

struct User
{
    std::vector<Step> steps;
    size_t next;
    DWORD since;
    std::string seen;
} user;

std::vector<Step> Parse(const std::string& script)
{
    std::vector<Step> steps;
    std::istringstream list(script);
    for (std::string step, name; std::getline(list, step, '|');) {
        const size_t mark = step.find_first_of("=:");
        name = step.substr(0, mark);
        const int id = name == "box" ? kBoxText : name == "filters" ? 0x470 : name == "tree" ? 0x3741 : std::stoi(name);
        steps.push_back({id, step[mark] == '=' ? "type" : step.substr(mark + 1), step.substr(mark + 1)});
    }
    return steps;
}

LRESULT Handle(HICON icon) { return reinterpret_cast<LRESULT>(icon); }
LRESULT AppIcon() { return Handle(LoadIconA(AppState.instance, MAKEINTRESOURCEA(IDI_APP))); }

// A control's id and text ("image" for a picture's, the size of a button's
// image), "+" when ticked.
std::string Describe(HWND control)
{
    std::string text = Text(control);
    BITMAP image = {};
    if (GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(control, BM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof image, &image))
        text = std::to_string(image.bmWidth) + "x" + std::to_string(image.bmHeight);
    return " " + std::to_string(static_cast<short>(GetDlgCtrlID(control))) + "[" + (text.find('\xFF') == 0 ? "image" : text) +
           "]" + (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "+" : "");
}

// The window's icons, its controls, and those Tab reaches from the focus on.
std::string Look(HWND window)
{
    std::string seen = std::string(SendMessageA(window, WM_GETICON, ICON_BIG, 0) == AppIcon() ? " big" : "") +
                       (SendMessageA(window, WM_GETICON, ICON_SMALL, 0) == AppIcon() ? " small" : "");
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        seen += Describe(control);
    seen += " tab";
    HWND control = GetFocus();
    do
        seen += " " + std::to_string(GetDlgCtrlID(control));
    while ((control = GetNextDlgTabItem(window, control, FALSE)) != GetFocus() && seen.size() < 4000);
    return seen;
}

// A message box's caption, icon ("!" a warning, "x" an error), buttons,
// whether it has an owner, and text.
std::string BoxSeen(HWND box)
{
    const LRESULT icon = SendDlgItemMessageA(box, kBoxIcon, STM_GETICON, 0, 0);
    std::string seen = " " + Text(box) + (icon == Handle(LoadIconA(nullptr, IDI_WARNING)) ? " !" :
                                          icon == Handle(LoadIconA(nullptr, IDI_ERROR)) ? " x" : icon ? " ?" : "");
    for (HWND button = GetWindow(box, GW_CHILD); button; button = GetWindow(button, GW_HWNDNEXT))
        seen += GetDlgCtrlID(button) < kBoxIcon && IsWindowVisible(button) ? " [" + Text(button) + "]" : "";
    return seen + (GetWindow(box, GW_OWNER) ? " " : " unowned ") + Text(GetDlgItem(box, kBoxText));
}

// A file picker's filters and the files it lists.
std::string FilesSeen(HWND picker, HWND filters)
{
    std::string seen;
    char text[MAX_PATH];
    for (WPARAM i = 0; SendMessageA(filters, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) > 0; ++i)
        seen += std::string(" [") + text + "]";
    const HWND list = FindWindowExA(FindWindowExA(picker, nullptr, "SHELLDLL_DefView", nullptr), nullptr, WC_LISTVIEWA, nullptr);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        ListView_GetItemText(list, i, 0, text, sizeof text);
        seen += std::string(" ") + text;
    }
    return seen;
}

// The folder picker's title and whether it takes My Computer, no folder of
// the file system; the build folder is chosen then.
std::string FoldersSeen(HWND picker)
{
    PIDLIST_ABSOLUTE computer = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    SendMessageA(picker, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
    const bool taken = IsWindowEnabled(GetDlgItem(picker, IDOK));
    CoTaskMemFree(computer);
    SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(BuildFolder().c_str()));
    return " " + Text(GetDlgItem(picker, 0x3742)) + (taken ? " takes My Computer" : "");
}

std::string ClipboardSeen()
{
    std::string text;
    const HANDLE data = OpenClipboard(nullptr) ? GetClipboardData(CF_TEXT) : nullptr;
    if (data)
        text = static_cast<const char*>(GlobalLock(data)), GlobalUnlock(data);
    CloseClipboard();
    return " clip[" + text + "]";
}

void Take(const Step& step, HWND window, HWND control)
{
    const std::string& action = step.action;
    user.seen += action == "show" ? Describe(control) : action == "look" ? Look(window) : action == "clip" ? ClipboardSeen() :
                 action == "files" ? FilesSeen(window, control) : action == "folders" ? FoldersSeen(window) :
                 step.id == kBoxText ? BoxSeen(window) : "";
    if (action == "type")
        SetWindowTextA(control, step.text.c_str());
    if (action == "click")
        PostMessageA(control, BM_CLICK, 0, 0);
    const WPARAM key = action == "enter" ? VK_RETURN : action == "esc" ? VK_ESCAPE : action == "altf4" ? VK_F4 : 0;
    if (!key && action != "edit")
        return;
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);  // a disabled control takes no focus
    const UINT message = key == VK_F4 ? WM_SYSKEYDOWN : key ? WM_KEYDOWN : WM_CHAR;
    PostMessageA(GetFocus(), message, key ? key : 'x', key == VK_F4 ? KF_ALTDOWN << 16 : 0);
    if (!key)
        PostMessageA(GetFocus(), WM_PASTE, 0, 0);
}

// A window the script cannot go on in, or that is left open at its end, is
// told and closed, so no script can hang. Two windows the user can reach at
// once are told too: one of them should be modal.
void CALLBACK TakeStep(HWND, UINT, UINT_PTR, DWORD)
{
    std::vector<HWND> reachable;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowVisible(window) &&
            IsWindowEnabled(window))
            reachable.push_back(window);
    const HWND window = reachable.empty() ? nullptr : reachable[0];
    const Step* step = user.next < user.steps.size() ? &user.steps[user.next] : nullptr;
    const HWND control = step && window ? GetDlgItem(window, step->id) : nullptr;
    if (control && (IsWindowEnabled(control) || step->action == "show" || step->action == "edit")) {
        user.seen += reachable.size() > 1 ? " also[" + Text(reachable[1]) + "]" : "";
        user.next++;
        user.since = GetTickCount();
        Take(*step, window, control);
    } else if (window && GetTickCount() - user.since > (step ? 5000u : 1000u)) {
        user.seen += " open[" + Text(window) + "]";
        user.next = user.steps.size();
        EndDialog(window, 0);
    }
}

// The progress box: where its bar stands after each step ("+" once the log's
// buttons are usable) and when the box goes, and what it shows.
LRESULT CALLBACK WatchProgress(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT& sent = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    const HWND bar = GetDlgItem(sent.hwnd, IDC_PROGRESS_BAR);
    if (sent.message == PBM_STEPIT)
        user.seen += " bar " + std::to_string(SendMessageA(sent.hwnd, PBM_GETPOS, 0, 0)) +
                     (IsWindowEnabled(GetDlgItem(GetWindow(GetParent(sent.hwnd), GW_OWNER), IDOK)) ? "+" : "");
    if (sent.message == WM_WINDOWPOSCHANGED && bar && (reinterpret_cast<WINDOWPOS*>(sent.lParam)->flags & SWP_HIDEWINDOW))
        user.seen += " gone at " + std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)) + "/" +
                     std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) + " " + Text(GetWindow(bar, GW_HWNDPREV)) +
                     (SendMessageA(GetWindow(sent.hwnd, GW_CHILD), STM_GETICON, 0, 0) == AppIcon() ? " icon" : "");
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const std::string kSettings = BuildFolder() + "\\unit_tests.ini";

std::string Stored(const std::string& path)
{
    return path.empty() ? "" : "[Config]\r\nDecoPath=" + path + "\r\n";
}

// Starts the program with PATH stored (an empty settings file if none), lets
// the user follow SCRIPT, and gives what the user saw.
std::string Use(const std::string& path, const std::string& script)
{
    WriteWholeFile(kSettings, Stored(path));
    OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard();
    user = {Parse(script), 0, GetTickCount(), ""};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, TakeStep);
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchProgress, nullptr, GetCurrentThreadId());
    EXPECT_EQ(0, RunStart(GetModuleHandleA(nullptr)));
    UnhookWindowsHookEx(hook);
    KillTimer(nullptr, timer);
    return user.seen;
}

}  // namespace

// Every way out of every window (each button, Enter, Escape and the title
// bar's close) and what it leaves stored and shown; what each window shows,
// where Tab goes, what a field takes; that a refusal leaves everything as it
// was; what the pickers offer.
TEST(Windows, EveryWayOutLeavesWhatTheUserChose)
{
    SetEnvironmentVariableA("STANDIN_ACTIONS", "record");
    const auto warned = [](const std::string& text) { return " Quorvantel ! [OK] " + text; };
    const std::string standin = StandinPath(), command = standin + " \"manual.hlp\" /y";
    const std::string folder = FreshFolder("windows"), out = folder + "\\out", longPath = "C:\\" + std::string(257, 'p');
    const std::string none = warned("Please Specify WinHelp File And Destination Folder\nBefore Begining.");
    const std::string noPath = warned("Please Enter Decompiler Path.");
    const std::string tooLong = warned("The path is too long.\nA path may have at most 259 characters.");
    const std::string fatal = " Quorvantel x [OK] unowned Decompiler path is not set.\r\nNow Application will quit.";
    const std::string run = " bar 25 bar 50 bar 75 bar 100+ gone at 100/100 Please Wait Processing ... icon";
    const auto log = [&](const std::string& command, const std::string& folder) {
        return run + " 1012[" + Ran(standin, command, folder) + "] 1[Close] 1013[Copy To Clipboard] tab 1012 1 1013";
    };
    CreateDirectoryA(out.c_str(), nullptr);
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    for (const char* name : {"\\a.hlp", "\\b.exe", "\\c.txt", "\\sub\\d.hlp"})
        WriteWholeFile(folder + name, "");

    // Refused starts, with /b chosen: a decompiler path of 240 characters and
    // a help file of 254 make a command of 503.
    const std::string decompiler = "C:\\" + std::string(233, 'd') + ".exe";
    std::string refused = "1005:click|1016:click|1:click", refusedSeen;
    for (const auto& [helpFile, destination, warning] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "", none}, {"", "out", none}, {"manual.hlp", "", none}, {"C:\\" + std::string(257, 'h'), "out", tooLong},
             {"manual.hlp", "C:\\" + std::string(257, 'o'), tooLong},
             {std::string(254, 'h'), "out", warned("The command line is too long.\nPlease choose shorter paths.")}}) {
        refused += "|1000=" + helpFile + "|1002=" + destination + "|1007:click|box:enter|1000:show|1002:show";
        refusedSeen += warning + " 1000[" + helpFile + "] 1002[" + destination + "]";
    }

    // The stored path before, the script, what the user saw, the stored path after.
    const std::tuple<std::string, std::string, std::string, std::string> rows[] = {
        {"", "1:look|1:click|box:esc|1010=" + longPath + "|1010:enter|box:enter|1010:show|2:click|box:enter",
         " 1[OK] 2[Cancel] -1[Set Deompiler Path ( HELPDECO.EXE ) : ] 1010[] 1011[Browse ...] tab 1 2 1010 1011" + noPath +
             tooLong + " 1010[" + longPath + "]" + fatal, ""},
        {"", "1010=C:\\d.exe|1010:enter|1000:look|1008:edit|1004:edit|1008:show|1004:show|1000:esc|1002:enter|box:altf4|1000:altf4",
         " big small -1[image] -1[image] -1[] -1[WinHelp File To Decompile : ] -1[] -1[] 1000[] 1001[Browse ...] 1002[]"
         " 1003[Browse ...] -1[Destination Directory : ] -1[Current Options : ] 1004[ /y] 1005[Change ...] 1006[16x16]"
         " 1007[S T A R T] -1[Decompiler Path : ] 1008[C:\\d.exe] 1009[Reset ...] tab 1000 1001 1002 1003 1005 1006 1007 1009"
         " 1008[C:\\d.exe] 1004[ /y]" + none, "C:\\d.exe"},
        {standin, "1005:click|1:look|1021:click|1017:click|1016:enter|1004:show|1005:click|1018:click|1018:esc|1004:show|1005:click|"
                  "1018:click|1018:altf4|1004:show|1005:click|1018:click|2:click|1004:show|1005:click|1019:click|1:click|1004:show|"
                  "1000:altf4",
         " 1[OK] 2[Cancel] -1[] -1[General Options : ] -1[Listing Only : ] 1015[OverWrite [/y]]+"
         " 1016[Stop Resolving Browse Sequence [/b]] 1017[Generate .CNT [/c] ] 1018[Stop Marse Macro [/m]]"
         " 1019[Turn Off Guissing [/g]] 1020[Display Internel Directory [/d]] 1021[Display HEX Dump [/x] ] tab 1 2 1016 1017"
         " 1018 1019 1020 1021 1004[ /y /c /x] 1004[ /y /c /x] 1004[ /y /c /x] 1004[ /y /c /x] 1004[ /y /g]", standin},
        {standin, "1009:click|1010:show|1010=C:\\g.exe|1:click|1008:show|1009:click|1010=C:\\e.exe|1010:enter|1008:show|1009:click|"
                  "1010=f|1010:esc|1008:show|1009:click|1010=f|1010:altf4|1008:show|1009:click|1010=f|2:click|1008:show|1000:altf4",
         " 1010[] 1008[C:\\g.exe] 1008[C:\\e.exe] 1008[C:\\e.exe] 1008[C:\\e.exe] 1008[C:\\e.exe]", "C:\\e.exe"},
        // The log window once its run has ended (with Copy usable). The usage
        // button runs the decompiler alone in the current folder, as "NONE"
        // does, and leaves the destination to the next "S T A R T".
        {standin, "1000=manual.hlp|1002=" + out + "|1002:enter|1013:look|1013:enter|box:esc|1013:clip|1012:edit|1012:show|1:esc|"
                  "1012:esc|1006:click|1013:look|1012:enter|1007:click|1013:look|1012:altf4|1002=NONE|1007:click|1013:look|1:click|"
                  "1000:altf4",
         log(command, out) + " Quorvantel [OK] Text Copied to Clipboard Successfuly clip[" + Ran(standin, command, out) +
             "] 1012[" + Ran(standin, command, out) + "]" + log(standin, folder) + log(command, out) + log(command, folder), standin},
        {decompiler, refused + "|1009:click|1:click|box:enter|1010=" + longPath + "|1:click|box:altf4|1010:show|2:click|1004:show|"
                     "1008:show|1000:altf4",
         refusedSeen + noPath + tooLong + " 1010[" + longPath + "] 1004[ /y /b] 1008[" + decompiler + "]", decompiler},
        // The file pickers, taken to the folder first (they open where the last
        // pick was), offer only their kind of file; a cancel changes no field.
        {standin, "1000=kept|1001:click|1148=" + folder + "|1:click|filters:files|2:click|1000:show|1009:click|1011:click|1148=" +
                  folder + "|1:click|filters:files|2:click|1010:show|2:click|1002=kept|1003:click|tree:folders|2:click|1002:show|" +
                  "1003:click|tree:folders|1:click|1002:show|1001:click|1148=" + folder + "\\sub\\d.hlp|1:click|1000:show|1000:altf4",
         " [WinHelp Files (*.hlp)] out sub a.hlp 1000[kept] [Executable Files (*.exe)] out sub b.exe 1010[] Select Destination"
         " Folder. 1002[kept] Select Destination Folder. 1002[" + BuildFolder() + "] 1000[" + folder + "\\sub\\d.hlp]", standin},
    };
    char current[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(folder.c_str());
    for (const auto& [path, script, seen, stored] : rows) {
        EXPECT_EQ(seen, Use(path, script)) << script.substr(0, 60);
        EXPECT_EQ(Stored(stored), ReadWholeFile(kSettings)) << script.substr(0, 60);
    }
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_EQ(folder, after) << "a picker moved the current folder";
    SetCurrentDirectoryA(current);
}
