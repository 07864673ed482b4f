// The program from its start, its windows run by their own procedures on
// their own templates and worked by a script as a user works them. What the
// user sees is written down as it comes and compared whole.
#include "common/files.h"
#include "core/app_state.h"
#include "core/start.h"
#include "e2e/driver.h"
#include "imports.h"
#include "res/resource.h"
#include "standin/output.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using driver::Text;
using driver::Utf8Text;

namespace {

// Controls of the system's windows that have no name of their own: a
// message box's icon and text, the folder picker's tree and title.
const int kBoxIcon = 0x440, kBoxText = 0xFFFF, kFolderTree = 0x3741, kFolderTitle = 0x3742;

// The names scripts and what the user saw give controls: the program's own,
// the platform's, and those of the pickers (dlgs.h) and message boxes.
#define NAMED(id) {#id, id}
const std::pair<std::string, int> kNames[] = {
    NAMED(IDOK), NAMED(IDCANCEL), NAMED(IDC_HELP_FILE), NAMED(IDC_BROWSE_HELP_FILE), NAMED(IDC_DEST_DIR),
    NAMED(IDC_BROWSE_DEST_DIR), NAMED(IDC_SWITCHES), NAMED(IDC_CHANGE_OPTIONS), NAMED(IDC_USAGE), NAMED(IDC_START),
    NAMED(IDC_DECOMPILER_PATH), NAMED(IDC_RESET_DECOMPILER), NAMED(IDC_PATH_FIELD), NAMED(IDC_BROWSE_DECOMPILER),
    NAMED(IDC_LOG_TEXT), NAMED(IDC_COPY_TO_CLIPBOARD), NAMED(IDC_PROGRESS_BAR), NAMED(IDC_OPTION_OVERWRITE),
    NAMED(IDC_OPTION_BROWSE_SEQUENCE), NAMED(IDC_OPTION_CNT), NAMED(IDC_OPTION_MACROS), NAMED(IDC_OPTION_GUESSING),
    NAMED(IDC_OPTION_DIRECTORY), NAMED(IDC_OPTION_HEX_DUMP), NAMED(IDC_FOOTER), NAMED(IDC_BANNER), NAMED(IDC_STATIC),
    NAMED(cmb1), NAMED(cmb13), {"box", kBoxText}, {"tree", kFolderTree}};

std::string NameOf(int id)
{
    for (const auto& [name, named] : kNames)
        if (static_cast<short>(named) == static_cast<short>(id))
            return name;
    return std::to_string(id);
}

int IdOf(const std::string& name)
{
    for (const auto& [named, id] : kNames)
        if (named == name)
            return id;
    ADD_FAILURE() << "no control is named " << name;
    return 0;
}

// A script's steps are separated by "|". Each names a control, then "=" and a
// text to type, or ":" and what to do: click; enter, esc or altf4 (the title
// bar's close) after a click into it; show it; look at its window (icons,
// frame, controls, how texts and pictures fit, tab order); edit it: click
// into it, type a letter, paste; clip: the clipboard; files, folders: what a
// picker offers; drop=PATHS: those separated by ";" dropped on the window;
// size: the window larger, maximized, smaller; log: the log's text, once the
// control is usable (the log's buttons: once the run has ended). Show and
// edit work disabled. A text typed into the folder picker's tree selects
// that folder.
struct Step
{
    int id;
    std::string action, text;
};

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
    for (std::string step; std::getline(list, step, '|');) {
        const size_t mark = step.find_first_of("=:");
        const std::string rest = step.substr(mark + 1);
        const size_t argument = step[mark] == '=' ? std::string::npos : rest.find('=');
        steps.push_back({IdOf(step.substr(0, mark)), step[mark] == '=' ? "type" : rest.substr(0, argument),
                         step[mark] == '=' ? rest : argument == std::string::npos ? "" : rest.substr(argument + 1)});
    }
    return steps;
}

LRESULT Handle(HICON icon) { return reinterpret_cast<LRESULT>(icon); }
LRESULT AppIcon() { return Handle(LoadIconA(AppState.instance, MAKEINTRESOURCEA(IDI_APP))); }

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The 100 % drawing of one of the main window's pictures.
int DrawnAt100(HWND control)
{
    const int id = GetDlgCtrlID(control);
    return id == IDC_BANNER ? IDB_BANNER : id == IDC_FOOTER ? IDB_FOOTER : IDB_USAGE;
}

SIZE SizeOf(const RECT& rect) { return {rect.right - rect.left, rect.bottom - rect.top}; }

// The box around what a bitmap shows on its ground, the colour of its corner.
RECT DrawnBox(HBITMAP bitmap, SIZE& size)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    size = {info.bmWidth, info.bmHeight};
    BITMAPINFO format = {{sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx * size.cy) + 1);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    RECT box = {size.cx, size.cy, 0, 0};
    for (LONG i = 0; i < size.cx * size.cy; ++i)
        if (pixels[static_cast<size_t>(i)] != pixels[0])
            box = {std::min(box.left, i % size.cx), std::min(box.top, i / size.cx), std::max(box.right, i % size.cx + 1),
                   std::max(box.bottom, i / size.cx + 1)};
    return box;
}

// "image" when a picture fills its frame as far as pixel art allows (else
// what is wrong): it is the frame's size, what it shows clear of the edges
// (a button's picture lies within the button's edge), and at least as large
// as the 100 % drawing REFERENCE grown by whole pixels to the display's
// scale, where the frame has room for that.
std::string PictureSeen(HBITMAP image, SIZE frame, bool exactFrame, int reference)
{
    SIZE size = {}, ignored = {};
    const RECT drawn = DrawnBox(image, size);
    const HBITMAP referenceImage = LoadBitmapA(AppState.instance, MAKEINTRESOURCEA(reference));
    const SIZE wanted = SizeOf(DrawnBox(referenceImage, ignored));
    DeleteObject(referenceImage);
    int factor = std::max(1, ScreenDpi() / 96);
    while (factor > 1 && (factor * wanted.cx > frame.cx || factor * wanted.cy > frame.cy))
        --factor;
    std::ostringstream wrong;
    if (exactFrame ? size.cx != frame.cx || size.cy != frame.cy : size.cx > frame.cx || size.cy > frame.cy)
        wrong << " " << size.cx << "x" << size.cy << " in a frame of " << frame.cx << "x" << frame.cy;
    if (exactFrame && (drawn.left == 0 || drawn.top == 0 || drawn.right == size.cx || drawn.bottom == size.cy))
        wrong << " cut";
    if (SizeOf(drawn).cx < factor * wanted.cx || SizeOf(drawn).cy < factor * wanted.cy)
        wrong << " drawn " << SizeOf(drawn).cx << "x" << SizeOf(drawn).cy << ", not " << factor << " times "
              << wanted.cx << "x" << wanted.cy;
    return "image" + wrong.str();
}

// A button's picture, its image list's one image, within the button's edge.
std::string ButtonPictureSeen(HWND button)
{
    BUTTON_IMAGELIST list = {};
    ICONINFO icon = {};
    RECT room = {};
    GetClientRect(button, &room);
    InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const HICON image = SendMessageA(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))
                            ? ImageList_GetIcon(list.himl, 0, ILD_NORMAL) : nullptr;
    if (!image || !GetIconInfo(image, &icon))
        return "";
    const std::string seen = PictureSeen(icon.hbmMask, SizeOf(room), false, DrawnAt100(button));  // opaque where drawn
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);
    DestroyIcon(image);
    return seen;
}

// Whether a label's or button's text fits it as drawn: a label may take the
// lines it has room for, a button's text one line, beside a check box's box.
bool TextFits(HWND control)
{
    char kind[32] = "";
    GetClassNameA(control, kind, sizeof kind);
    const std::string text = Text(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const bool label = lstrcmpiA(kind, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
    const bool button = lstrcmpiA(kind, "Button") == 0 && (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (text.empty() || (!label && !button))
        return true;
    const bool checkBox = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX || (style & BS_TYPEMASK) == BS_CHECKBOX;
    RECT client = {};
    GetClientRect(control, &client);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const LONG room = client.right - (label ? 0 : checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + 2 * edge : 4 * edge);
    RECT needed = {0, 0, room, 0};
    const HDC dc = GetDC(control);
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | (label ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE));
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return needed.right <= room && needed.bottom <= client.bottom;
}

// A control's name and text (for a picture whether it fills its frame), "+"
// when ticked, " cut" when its text does not fit it; the log's text limit.
std::string Describe(HWND control)
{
    char kind[32] = "";
    GetClassNameA(control, kind, sizeof kind);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    std::string text = Text(control);
    if (lstrcmpiA(kind, "Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP) {
        // The frame stays as large as the template made it (SS_REALSIZECONTROL).
        RECT frame = {};
        GetClientRect(control, &frame);
        text = PictureSeen(reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)), SizeOf(frame),
                           true, DrawnAt100(control)) + (style & SS_REALSIZECONTROL ? "" : " frame shrunk");
    }
    if (lstrcmpiA(kind, "Button") == 0 && text.empty())
        text = ButtonPictureSeen(control);
    std::string seen = " " + NameOf(GetDlgCtrlID(control)) + "[" + text + "]" +
                       (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "+" : "") + (TextFits(control) ? "" : " cut");
    if (lstrcmpiA(kind, "RICHEDIT") == 0)
        seen += " limit " + std::to_string(SendMessageA(control, EM_GETLIMITTEXT, 0, 0));
    return seen;
}

// The window's icons, whether it can be maximized and sized, its controls,
// the fields that take more than an edit's default, and those Tab reaches
// from the focus on.
std::string Look(HWND window)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    std::string seen = std::string(SendMessageA(window, WM_GETICON, ICON_BIG, 0) == AppIcon() ? " big" : "") +
                       (SendMessageA(window, WM_GETICON, ICON_SMALL, 0) == AppIcon() ? " small" : "") +
                       (style & WS_MAXIMIZEBOX ? " maximize" : "") + (style & WS_THICKFRAME ? " sizing" : "");
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        seen += Describe(control);
    // A field that takes more text than an edit's default, and how much.
    char kind[32] = "";
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const LRESULT limit = SendMessageA(control, EM_GETLIMITTEXT, 0, 0);
        if (GetClassNameA(control, kind, sizeof kind) && lstrcmpiA(kind, "Edit") == 0 && limit > 32767)
            seen += " " + NameOf(GetDlgCtrlID(control)) + " takes " + std::to_string(limit);
    }
    seen += " tab";
    HWND control = GetFocus();
    do
        seen += " " + NameOf(GetDlgCtrlID(control));
    while ((control = GetNextDlgTabItem(window, control, FALSE)) != GetFocus() && seen.size() < 4000);
    return seen;
}

// Each control's distances from the client area's four edges, and its size.
std::vector<std::array<LONG, 6>> Places(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    std::vector<std::array<LONG, 6>> places;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT place = {};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        places.push_back({place.left, place.top, client.right - place.right, client.bottom - place.bottom,
                          place.right - place.left, place.bottom - place.top});
    }
    return places;
}

// What became of each control since the window OPENED: it grew with the
// window, kept its distance from the lower right corner, or neither.
std::string FollowSeen(HWND window, const std::vector<std::array<LONG, 6>>& opened)
{
    const std::vector<std::array<LONG, 6>> now = Places(window);
    std::string seen;
    HWND control = GetWindow(window, GW_CHILD);
    for (size_t i = 0; i < now.size() && i < opened.size(); ++i, control = GetWindow(control, GW_HWNDNEXT)) {
        const bool grew = std::equal(&now[i][0], &now[i][4], &opened[i][0]);
        const bool kept = std::equal(&now[i][2], &now[i][6], &opened[i][2]);
        seen += " " + NameOf(GetDlgCtrlID(control)) + (grew ? " grows" : kept ? " keeps its corner" : " moved");
    }
    return seen;
}

// The window made larger, maximized, and smaller than it opened.
std::string SizingSeen(HWND window)
{
    RECT outline = {};
    GetWindowRect(window, &outline);
    const SIZE size = SizeOf(outline);
    const std::vector<std::array<LONG, 6>> opened = Places(window);
    SetWindowPos(window, nullptr, 0, 0, size.cx + 160, size.cy + 120, SWP_NOMOVE | SWP_NOZORDER);
    std::string seen = " larger:" + FollowSeen(window, opened);
    ShowWindow(window, SW_MAXIMIZE);
    seen += (IsZoomed(window) ? " maximized:" : " not maximized:") + FollowSeen(window, opened);
    ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, nullptr, 0, 0, size.cx / 2, size.cy / 2, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(window, &outline);
    return seen + (SizeOf(outline).cx == size.cx && SizeOf(outline).cy == size.cy ? " no smaller than it opened" : " smaller");
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
    return seen + (GetWindow(box, GW_OWNER) ? " " : " unowned ") + Utf8Text(GetDlgItem(box, kBoxText));
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
    return " " + Text(GetDlgItem(picker, kFolderTitle)) + (taken ? " takes My Computer" : "");
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

// Drops PATHS (separated by ";", relative to the current folder, UTF-8) on
// the window, as the shell drops files: whole, in their wide form. The shell
// drops only on a window that accepts files; the window frees them.
std::string Drop(HWND window, const std::string& paths)
{
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
        return " takes no drop";
    std::wstring names;
    std::istringstream list(paths);
    for (std::string path; std::getline(list, path, ';');) {
        wchar_t full[MAX_PATH] = L"";
        GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr);
        names += std::wstring(full) + L'\0';
    }
    const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(files + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return "";
}

void Take(const Step& step, HWND window, HWND control)
{
    const std::string& action = step.action;
    user.seen += action == "show" ? Describe(control) : action == "log" ? Describe(GetDlgItem(window, IDC_LOG_TEXT)) :
                 action == "look" ? Look(window) : action == "clip" ? ClipboardSeen() :
                 action == "files" ? FilesSeen(window, control) : action == "folders" ? FoldersSeen(window) :
                 action == "size" ? SizingSeen(window) : step.id == kBoxText ? BoxSeen(window) : "";
    // Typed whole, in the wide form, as a keyboard types; into the folder
    // picker's tree, a path selects its folder.
    if (action == "type" && step.id == kFolderTree)
        SendMessageA(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(Wide(step.text).c_str()));
    else if (action == "type")
        SetWindowTextW(control, Wide(step.text).c_str());
    if (action == "click")
        PostMessageA(control, BM_CLICK, 0, 0);
    if (action == "drop")
        user.seen += Drop(window, step.text);
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
    if (sent.message == WM_WINDOWPOSCHANGED && bar && (reinterpret_cast<WINDOWPOS*>(sent.lParam)->flags & SWP_HIDEWINDOW)) {
        const HWND label = GetWindow(bar, GW_HWNDPREV);
        user.seen += " gone at " + std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)) + "/" +
                     std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) + " " + Text(label) +
                     (TextFits(label) ? "" : " cut") +
                     (SendMessageA(GetWindow(sent.hwnd, GW_CHILD), STM_GETICON, 0, 0) == AppIcon() ? " icon" : "");
    }
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

// A row: its name, the path stored before, the script, what the user saw,
// the path stored after.
struct Row
{
    std::string name, stored, script, seen, storedAfter;
};

// What a run shows of the progress box: its bar at every step, "+" once the
// log's buttons are usable, and what it showed when it went.
const std::string kRunSeen = " bar 25 bar 50 bar 75 bar 100+ gone at 100/100 Please Wait Processing ... icon";

std::string Warned(const std::string& text)
{
    return " Quorvantel ! [OK] " + text;
}

// Every row of both tests below, in the folder it works in.
std::vector<Row> Rows(const std::string& folder)
{
    const std::string standin = StandinPath(), command = standin + " \"manual.hlp\" /y";
    const std::string out = folder + "\\out", longPath = "C:\\" + std::string(257, 'p');
    const std::string none = Warned("Please Specify WinHelp File And Destination Folder\nBefore Begining.");
    const std::string noPath = Warned("Please Enter Decompiler Path.");
    const std::string tooLong = Warned("The path is too long.\nA path may have at most 259 characters.");
    const std::string fatal = " Quorvantel x [OK] unowned Decompiler path is not set.\r\nNow Application will quit.";
    const auto log = [&](const std::string& command, const std::string& folder) {
        return kRunSeen + " maximize sizing IDC_LOG_TEXT[" + Ran(standin, command, folder) +
               "] limit 4194304 IDOK[Close] IDC_COPY_TO_CLIPBOARD[Copy To Clipboard] tab IDC_LOG_TEXT IDOK IDC_COPY_TO_CLIPBOARD";
    };

    // Refused starts, with /b chosen: a decompiler path of 240 characters and
    // a help file of 254 make a command of 503. Of several help files, the
    // warning names the one refused.
    std::string refused = "IDC_CHANGE_OPTIONS:click|IDC_OPTION_BROWSE_SEQUENCE:click|IDOK:click", refusedSeen, tooMany;
    for (int i = 0; i <= kMaxHelpFiles; ++i)
        tooMany += "\"a.hlp\" ";
    for (const auto& [helpFile, destination, warning] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "", none}, {"", "out", none}, {"manual.hlp", "", none}, {"C:\\" + std::string(257, 'h'), "out", tooLong},
             {"manual.hlp", "C:\\" + std::string(257, 'o'), tooLong},
             {std::string(254, 'h'), "out", Warned("The command line is too long.\nPlease choose shorter paths.")},
             {"\"a.hlp\" \"" + std::string(254, 'h') + "\"", "out",
              Warned("The command line is too long.\nPlease choose shorter paths.\n\nout\\" + std::string(254, 'h'))},
             {"\"a.hlp\" \"C:\\" + std::string(257, 'h') + "\"", "out",
              Warned("The path is too long.\nA path may have at most 259 characters.\n\nC:\\" + std::string(257, 'h'))},
             {"\"C:\\a.hlp\" \"C:\\bcdefg.hlp\"", "C:\\" + std::string(250, 'o'),  // its folder: 260 characters
              Warned("The path is too long.\nA path may have at most 259 characters.\n\nC:\\bcdefg.hlp")},
             {"\"a.hlp\" \"b.hlp", "out", Warned("Several help files are given each in double quotation marks, a blank "
                                                "between them:\n\"C:\\CD\\a.hlp\" \"C:\\CD\\b.hlp\"")},
             {tooMany, "out", Warned("Too many help files: at most 256 can be decompiled in one go.")}}) {
        refused += "|IDC_HELP_FILE=" + helpFile + "|IDC_DEST_DIR=" + destination +
                   "|IDC_START:click|box:enter|IDC_HELP_FILE:show|IDC_DEST_DIR:show";
        refusedSeen += warning + " IDC_HELP_FILE[" + helpFile + "] IDC_DEST_DIR[" + destination + "]";
    }
    const std::string decompiler = "C:\\" + std::string(233, 'd') + ".exe";

    return {
        {"first start, cancelled", "",
         "IDOK:look|IDOK:click|box:esc|IDC_PATH_FIELD=" + longPath + "|IDC_PATH_FIELD:enter|box:enter|IDC_PATH_FIELD:show|"
         "IDCANCEL:click|box:enter",
         " IDOK[OK] IDCANCEL[Cancel] IDC_STATIC[Set Deompiler Path ( HELPDECO.EXE ) : ] IDC_PATH_FIELD[]"
         " IDC_BROWSE_DECOMPILER[Browse ...] tab IDOK IDCANCEL IDC_PATH_FIELD IDC_BROWSE_DECOMPILER" +
             noPath + tooLong + " IDC_PATH_FIELD[" + longPath + "]" + fatal, ""},
        {"first start, path stored, main window", "",
         "IDC_PATH_FIELD=C:\\d.exe|IDC_PATH_FIELD:enter|IDC_HELP_FILE:look|IDC_DECOMPILER_PATH:edit|IDC_SWITCHES:edit|"
         "IDC_DECOMPILER_PATH:show|IDC_SWITCHES:show|IDC_HELP_FILE:esc|IDC_DEST_DIR:enter|box:altf4|IDC_HELP_FILE:altf4",
         " big small IDC_FOOTER[image] IDC_BANNER[image] IDC_STATIC[] IDC_STATIC[WinHelp File To Decompile : ] IDC_STATIC[]"
         " IDC_STATIC[] IDC_HELP_FILE[] IDC_BROWSE_HELP_FILE[Browse ...] IDC_DEST_DIR[] IDC_BROWSE_DEST_DIR[Browse ...]"
         " IDC_STATIC[Destination Directory : ] IDC_STATIC[Current Options : ] IDC_SWITCHES[ /y]"
         " IDC_CHANGE_OPTIONS[Change ...] IDC_USAGE[image] IDC_START[S T A R T] IDC_STATIC[Decompiler Path : ]"
         " IDC_DECOMPILER_PATH[C:\\d.exe] IDC_RESET_DECOMPILER[Reset ...] IDC_HELP_FILE takes 67071"  // 256 quoted paths of 259
         " tab IDC_HELP_FILE IDC_BROWSE_HELP_FILE IDC_DEST_DIR"
         " IDC_BROWSE_DEST_DIR IDC_CHANGE_OPTIONS IDC_USAGE IDC_START IDC_RESET_DECOMPILER IDC_DECOMPILER_PATH[C:\\d.exe]"
         " IDC_SWITCHES[ /y]" + none, "C:\\d.exe"},
        {"options", standin,
         "IDC_CHANGE_OPTIONS:click|IDOK:look|IDC_OPTION_HEX_DUMP:click|IDC_OPTION_CNT:click|IDC_OPTION_BROWSE_SEQUENCE:enter|"
         "IDC_SWITCHES:show|IDC_CHANGE_OPTIONS:click|IDC_OPTION_MACROS:click|IDC_OPTION_MACROS:esc|IDC_SWITCHES:show|"
         "IDC_CHANGE_OPTIONS:click|IDC_OPTION_MACROS:click|IDC_OPTION_MACROS:altf4|IDC_SWITCHES:show|IDC_CHANGE_OPTIONS:click|"
         "IDC_OPTION_MACROS:click|IDCANCEL:click|IDC_SWITCHES:show|IDC_CHANGE_OPTIONS:click|IDC_OPTION_GUESSING:click|"
         "IDOK:click|IDC_SWITCHES:show|IDC_HELP_FILE:altf4",
         " IDOK[OK] IDCANCEL[Cancel] IDC_STATIC[] IDC_STATIC[General Options : ] IDC_STATIC[Listing Only : ]"
         " IDC_OPTION_OVERWRITE[OverWrite [/y]]+ IDC_OPTION_BROWSE_SEQUENCE[Stop Resolving Browse Sequence [/b]]"
         " IDC_OPTION_CNT[Generate .CNT [/c] ] IDC_OPTION_MACROS[Stop Marse Macro [/m]]"
         " IDC_OPTION_GUESSING[Turn Off Guissing [/g]] IDC_OPTION_DIRECTORY[Display Internel Directory [/d]]"
         " IDC_OPTION_HEX_DUMP[Display HEX Dump [/x] ] tab IDOK IDCANCEL IDC_OPTION_BROWSE_SEQUENCE IDC_OPTION_CNT"
         " IDC_OPTION_MACROS IDC_OPTION_GUESSING IDC_OPTION_DIRECTORY IDC_OPTION_HEX_DUMP IDC_SWITCHES[ /y /c /x]"
         " IDC_SWITCHES[ /y /c /x] IDC_SWITCHES[ /y /c /x] IDC_SWITCHES[ /y /c /x] IDC_SWITCHES[ /y /g]", standin},
        {"reset the decompiler path", standin,
         "IDC_RESET_DECOMPILER:click|IDC_PATH_FIELD:show|IDC_PATH_FIELD=C:\\g.exe|IDOK:click|IDC_DECOMPILER_PATH:show|"
         "IDC_RESET_DECOMPILER:click|IDC_PATH_FIELD=C:\\e.exe|IDC_PATH_FIELD:enter|IDC_DECOMPILER_PATH:show|"
         "IDC_RESET_DECOMPILER:click|IDC_PATH_FIELD=f|IDC_PATH_FIELD:esc|IDC_DECOMPILER_PATH:show|IDC_RESET_DECOMPILER:click|"
         "IDC_PATH_FIELD=f|IDC_PATH_FIELD:altf4|IDC_DECOMPILER_PATH:show|IDC_RESET_DECOMPILER:click|IDC_PATH_FIELD=f|"
         "IDCANCEL:click|IDC_DECOMPILER_PATH:show|IDC_HELP_FILE:altf4",
         " IDC_PATH_FIELD[] IDC_DECOMPILER_PATH[C:\\g.exe] IDC_DECOMPILER_PATH[C:\\e.exe] IDC_DECOMPILER_PATH[C:\\e.exe]"
         " IDC_DECOMPILER_PATH[C:\\e.exe] IDC_DECOMPILER_PATH[C:\\e.exe]", "C:\\e.exe"},
        // The log window once its run has ended (with Copy usable). The usage
        // button runs the decompiler alone in the current folder, as "NONE"
        // does, and leaves the destination to the next "S T A R T".
        {"runs and their logs", standin,
         "IDC_HELP_FILE=manual.hlp|IDC_DEST_DIR=" + out + "|IDC_DEST_DIR:enter|IDC_COPY_TO_CLIPBOARD:look|"
         "IDC_LOG_TEXT:size|IDC_COPY_TO_CLIPBOARD:enter|box:esc|IDC_COPY_TO_CLIPBOARD:clip|IDC_LOG_TEXT:edit|"
         "IDC_LOG_TEXT:show|IDOK:esc|IDC_LOG_TEXT:esc|IDC_USAGE:click|IDC_COPY_TO_CLIPBOARD:look|IDC_LOG_TEXT:enter|"
         "IDC_START:click|IDC_COPY_TO_CLIPBOARD:look|IDC_LOG_TEXT:altf4|IDC_DEST_DIR=NONE|IDC_START:click|"
         "IDC_COPY_TO_CLIPBOARD:look|IDOK:click|IDC_HELP_FILE:altf4",
         log(command, out) +
             " larger: IDC_LOG_TEXT grows IDOK keeps its corner IDC_COPY_TO_CLIPBOARD keeps its corner"
             " maximized: IDC_LOG_TEXT grows IDOK keeps its corner IDC_COPY_TO_CLIPBOARD keeps its corner"
             " no smaller than it opened Quorvantel [OK] Text Copied to Clipboard Successfuly clip[" +
             Ran(standin, command, out) + "] IDC_LOG_TEXT[" + Ran(standin, command, out) + "] limit 4194304" +
             log(standin, folder) + log(command, out) + log(command, folder), standin},
        {"refused starts", decompiler,
         refused + "|IDC_RESET_DECOMPILER:click|IDOK:click|box:enter|IDC_PATH_FIELD=" + longPath + "|IDOK:click|box:altf4|"
         "IDC_PATH_FIELD:show|IDCANCEL:click|IDC_SWITCHES:show|IDC_DECOMPILER_PATH:show|IDC_HELP_FILE:altf4",
         refusedSeen + noPath + tooLong + " IDC_PATH_FIELD[" + longPath + "] IDC_SWITCHES[ /y /b] IDC_DECOMPILER_PATH[" +
             decompiler + "]", decompiler},
        // The file pickers, taken to the folder first (they open where the last
        // pick was), offer only their kind of file; a cancel changes no field,
        // a pick puts the full path in it.
        {"pickers", standin,
         "IDC_HELP_FILE=kept|IDC_BROWSE_HELP_FILE:click|cmb13=" + folder + "|IDOK:click|cmb1:files|IDCANCEL:click|"
         "IDC_HELP_FILE:show|IDC_RESET_DECOMPILER:click|IDC_PATH_FIELD=kept|IDC_BROWSE_DECOMPILER:click|cmb13=" + folder +
             "|IDOK:click|cmb1:files|IDCANCEL:click|IDC_PATH_FIELD:show|IDC_BROWSE_DECOMPILER:click|cmb13=" + folder +
             "\\b.exe|IDOK:click|IDC_PATH_FIELD:show|IDCANCEL:click|IDC_DEST_DIR=kept|IDC_BROWSE_DEST_DIR:click|"
             "tree:folders|IDCANCEL:click|IDC_DEST_DIR:show|IDC_BROWSE_DEST_DIR:click|tree:folders|IDOK:click|"
             "IDC_DEST_DIR:show|IDC_BROWSE_HELP_FILE:click|cmb13=" + folder + "|IDOK:click|cmb13=\"e.hlp\" \"a.hlp\"|"
             "IDOK:click|IDC_HELP_FILE:show|IDC_BROWSE_HELP_FILE:click|cmb13=" + folder + "\\sub\\d.hlp|IDOK:click|"
             "IDC_HELP_FILE:show|IDC_HELP_FILE:altf4",
         " [WinHelp Files (*.hlp)] out sub a.hlp e.hlp IDC_HELP_FILE[kept] [Executable Files (*.exe)] out sub b.exe"
         " IDC_PATH_FIELD[kept] IDC_PATH_FIELD[" + folder + "\\b.exe] Select Destination Folder. IDC_DEST_DIR[kept]"
         " Select Destination Folder. IDC_DEST_DIR[" + BuildFolder() + "] IDC_HELP_FILE[\"" + folder + "\\e.hlp\" \"" + folder +
             "\\a.hlp\"] IDC_HELP_FILE[" + folder + "\\sub\\d.hlp]", standin},
        // Dropped on the window, files go into the help-file field, as typed,
        // and the first folder into the destination field. Nothing runs,
        // nothing else changes.
        {"drops", standin,
         "IDC_HELP_FILE=kept|IDC_DEST_DIR=kept|IDC_BANNER:drop=a.hlp|IDC_HELP_FILE:show|IDC_DEST_DIR:show|"
         "IDC_START:drop=sub|IDC_HELP_FILE:show|IDC_DEST_DIR:show|IDC_FOOTER:drop=out;c.txt;sub;sub\\d.hlp|"
         "IDC_HELP_FILE:show|IDC_DEST_DIR:show|IDC_SWITCHES:show|IDC_DECOMPILER_PATH:show|IDC_HELP_FILE:altf4",
         " IDC_HELP_FILE[" + folder + "\\a.hlp] IDC_DEST_DIR[kept] IDC_HELP_FILE[" + folder + "\\a.hlp] IDC_DEST_DIR[" +
             folder + "\\sub] IDC_HELP_FILE[\"" + folder + "\\c.txt\" \"" + folder + "\\sub\\d.hlp\"] IDC_DEST_DIR[" + folder +
             "\\out] IDC_SWITCHES[ /y] IDC_DECOMPILER_PATH[" + standin + "]", standin},
        // Several help files run one after another, each in its folder in
        // the destination; the bar moves across them all.
        {"several help files", standin,
         "IDC_BANNER:drop=e.hlp;sub\\d.hlp;out|IDC_START:click|IDOK:log|IDOK:click|IDC_HELP_FILE:altf4",
         " bar 25 bar 50 bar 75 bar 100 bar 125 bar 150 bar 175 bar 200+ gone at 200/200 Please Wait Processing ... icon"
         " IDC_LOG_TEXT[Help file 1 of 2: " + folder + "\\e.hlp, in the folder " + out + "\\e\r\n" +
             Ran(standin, standin + " \"" + folder + "\\e.hlp\" /y", out + "\\e") + "\r\nHelp file 2 of 2: " + folder +
             "\\sub\\d.hlp, in the folder " + out + "\\d\r\n" +
             Ran(standin, standin + " \"" + folder + "\\sub\\d.hlp\" /y", out + "\\d") +
             "\r\nSummary of 2 help files: 2 decompiled.\r\n1. " + folder + "\\e.hlp: decompiled\r\n2. " + folder +
             "\\sub\\d.hlp: decompiled\r\n] limit 4194304", standin},
    };
}

// Compares what the user saw and what was stored, following a row's script.
void ExpectRow(const Row& row)
{
    const std::string seen = Use(row.stored, row.script);
    const size_t differ = std::mismatch(row.seen.begin(), row.seen.end(), seen.begin(), seen.end()).first - row.seen.begin();
    EXPECT_TRUE(row.seen == seen) << row.name << ": from character " << differ << " the user saw\n  "
                                  << seen.substr(differ) << "\nnot\n  " << row.seen.substr(differ);
    EXPECT_EQ(Stored(row.storedAfter), ReadWholeFile(kSettings)) << row.name << ": what was stored";
}

// Runs the rows whose scripts look at a window, or the others, in a folder
// of their own.
void RunRows(const char* folderName, bool looking)
{
    SetEnvironmentVariableA("STANDIN_ACTIONS", "record");
    const std::string folder = FreshFolder(folderName);
    CreateDirectoryA((folder + "\\out").c_str(), nullptr);
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    for (const char* name : {"\\a.hlp", "\\b.exe", "\\c.txt", "\\e.hlp", "\\sub\\d.hlp"})
        WriteWholeFile(folder + name, "");
    char current[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(folder.c_str());
    for (const Row& row : Rows(folder))
        if ((row.script.find(":look") != std::string::npos) == looking)
            ExpectRow(row);
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_EQ(folder, after) << "a picker moved the current folder";
    SetCurrentDirectoryA(current);
}

// A shortcut to TARGET, as Explorer makes one.
void MakeShortcut(const std::string& shortcut, const std::string& target)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(Wide(target).c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(Wide(shortcut).c_str(), TRUE);
        file->Release();
    }
    if (link)
        link->Release();
    CoUninitialize();
    ASSERT_TRUE(Exists(shortcut)) << shortcut;
}

// As on a drive where Windows keeps no short names: the long path itself.
DWORD WINAPI NoShortNames(LPCWSTR path, LPWSTR shortPath, DWORD capacity)
{
    const DWORD length = lstrlenW(path);
    if (length < capacity)
        lstrcpyW(shortPath, path);
    return length < capacity ? length : length + 1;
}

std::vector<std::string> loadedByName;
HMODULE(WINAPI* loadLibrary)(LPCSTR);
HMODULE(WINAPI* loadLibraryEx)(LPCSTR, HANDLE, DWORD);
HMODULE WINAPI WatchLoadLibrary(LPCSTR name)
{
    loadedByName.push_back(name);
    return loadLibrary(name);
}
HMODULE WINAPI WatchLoadLibraryEx(LPCSTR name, HANDLE file, DWORD flags)
{
    loadedByName.push_back(name);
    return loadLibraryEx(name, file, flags);
}

}  // namespace

// Every window as it opens, at the display scale the session was started
// with: its icons, its texts, each whole in its control, its pictures, each
// filling its frame, where Tab goes; the log window grows.
TEST(Windows, LookWholeAtThisScale)
{
    char scale[8] = "96";
    GetEnvironmentVariableA("QV_DPI", scale, sizeof scale);
    ASSERT_EQ(atoi(scale), ScreenDpi()) << "the display's scale is not the one asked for";
    RunRows("windows-look", true);
}

// Every way out of every window (each button, Enter, Escape and the title
// bar's close) and what it leaves stored and shown; what a field takes;
// that a refusal leaves everything as it was; what the pickers offer and
// leave; what a drop fills in.
TEST(Windows, EveryWayOutLeavesWhatTheUserChose)
{
    RunRows("windows", false);
}

// Every DLL the program loads itself is named by its full path in the
// system folder, so it comes from there even where Windows cannot be told
// to look nowhere else (XP, Vista and 7 without their update); where it
// can, from the start on no DLL is found beside the program, where one of
// ours lies. The loader is watched at the program's import table.
TEST(Windows, StartLoadsDllsFromTheSystemFolderOnly)
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);  // the program's folder first, as at a start
    const HMODULE beside = LoadLibraryA("planted.dll");
    ASSERT_TRUE(beside) << "the DLL beside the test program is not found at all";
    FreeLibrary(beside);
    loadedByName.clear();
    loadLibrary = reinterpret_cast<decltype(loadLibrary)>(PatchImport("LoadLibraryA", reinterpret_cast<void*>(WatchLoadLibrary)));
    loadLibraryEx = reinterpret_cast<decltype(loadLibraryEx)>(
        PatchImport("LoadLibraryExA", reinterpret_cast<void*>(WatchLoadLibraryEx)));
    ASSERT_TRUE(loadLibrary && loadLibraryEx) << "the loader is not imported from kernel32.dll";
    const std::string seen = Use("", "IDCANCEL:click|box:enter");
    PatchImport("LoadLibraryA", reinterpret_cast<void*>(loadLibrary));
    PatchImport("LoadLibraryExA", reinterpret_cast<void*>(loadLibraryEx));
    EXPECT_EQ(" Quorvantel x [OK] unowned Decompiler path is not set.\r\nNow Application will quit.", seen);
    char system[MAX_PATH] = "";
    const std::string folder(system, GetSystemDirectoryA(system, sizeof system));
    std::string loaded;
    for (const std::string& name : loadedByName)
        loaded += " " + (name.rfind(folder + "\\", 0) == 0 ? "SYSTEM" + name.substr(folder.size()) : name);
    EXPECT_EQ(" SYSTEM\\msimg32.dll SYSTEM\\riched32.dll", loaded) << "the DLLs loaded, the system folder as SYSTEM";
    EXPECT_EQ(nullptr, LoadLibraryA("planted.dll")) << "after the start, the DLL beside the program was found";
    DeleteFileA((BuildFolder() + "\\planted.dll.loaded").c_str());
}

// The icon holds every size Windows asks for, at 100 to 200 %, for the title
// bar, the taskbar, Alt+Tab and Explorer; each is drawn for its size.
TEST(Windows, IconHoldsEverySizeWindowsAsksFor)
{
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_APP), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    const BYTE* directory = found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    ASSERT_TRUE(directory);
    std::string sizes;
    for (WORD i = 0; i < *reinterpret_cast<const WORD*>(directory + 4); ++i)  // entries of 14 bytes, width first
        sizes += " " + std::to_string(directory[6 + 14 * i] ? directory[6 + 14 * i] : 256);
    EXPECT_EQ(" 16 20 24 28 32 40 48 56 64 256", sizes);
}

// Names that the code page, 1252 here, cannot spell: Cyrillic, Greek and
// Chinese, as a user picks, drops (shortcuts too) and types them. The fields
// hold, and the decompiler is given, their short forms, which name the same
// files: the stand-in opens the help file and runs in the destination. With
// no short names the user is told at once, and nothing changes or runs.
TEST(NamesOutsideTheCodePage, ReachTheDecompilerByTheirShortForms)
{
    ASSERT_EQ(1252u, GetACP()) << "these names are tested in code page 1252";
    SetEnvironmentVariableA("STANDIN_ACTIONS", "record;open");
    const std::string folder = FreshFolder("names"), standin = StandinPath();
    const std::string help = folder + "\\Справка\\手册.hlp", dest = folder + "\\Ωμέγα";
    const std::string tools = folder + "\\Программа", decompiler = tools + "\\деко.exe";
    for (const std::string& made : {folder + "\\Справка", dest, tools})
        CreateDirectoryW(Wide(made).c_str(), nullptr);
    WriteWholeFile(help, "");
    ASSERT_TRUE(CopyFileW(Wide(standin).c_str(), Wide(decompiler).c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(MakeShortcut(folder + "\\Справка.lnk", help));
    ASSERT_NO_FATAL_FAILURE(MakeShortcut(folder + "\\Ωμέγα.lnk", dest));
    const std::string helpShort = ShortPath(help), destShort = ShortPath(dest), decompilerShort = ShortPath(decompiler);
    ASSERT_TRUE(helpShort != help && destShort != dest && decompilerShort != decompiler) << "no short names here";
    const auto log = [&](const std::string& decompilerSeen, const std::string& command) {
        return kRunSeen + " IDC_LOG_TEXT[" + Ran(decompilerSeen, command + " \"" + helpShort + "\" /y", destShort) +
               "Opened " + helpShort + "\r\n] limit 4194304";
    };
    const std::string shown = " IDC_HELP_FILE[" + helpShort + "] IDC_DEST_DIR[" + destShort + "]";
    const std::string kept = " IDC_HELP_FILE[kept] IDC_DEST_DIR[kept]";
    const std::string fields = "|IDC_HELP_FILE:show|IDC_DEST_DIR:show";
    const auto notSpelled = [](const std::string& path) {
        return Warned("The decompiler cannot be given this path: its name has characters that Windows' language for "
                      "non-Unicode programs lacks, and Windows keeps no short name for it without them.\n\n" + path +
                      "\n\nPlease rename it, or move it into a folder whose names have only characters of that language.");
    };
    const Row rows[] = {
        {"picked", standin,
         "IDC_BROWSE_HELP_FILE:click|cmb13=" + help + "|IDOK:click|IDC_BROWSE_DEST_DIR:click|tree=" + dest +
             "|IDOK:click" + fields + "|IDC_START:click|IDOK:log|IDOK:click|IDC_RESET_DECOMPILER:click|"
             "IDC_BROWSE_DECOMPILER:click|cmb13=" + decompiler + "|IDOK:click|IDC_PATH_FIELD:show|IDOK:click|"
             "IDC_DECOMPILER_PATH:show|IDC_START:click|IDOK:log|IDOK:click|IDC_HELP_FILE:altf4",
         shown + log(standin, standin) + " IDC_PATH_FIELD[" + decompilerShort + "] IDC_DECOMPILER_PATH[" +
             decompilerShort + "]" + log(decompiler, decompilerShort), decompilerShort},
        {"dropped, shortcuts too", standin,
         "IDC_HELP_FILE=kept|IDC_DEST_DIR=kept|IDC_BANNER:drop=" + help + ";" + dest + fields +
             "|IDC_HELP_FILE=kept|IDC_DEST_DIR=kept|IDC_FOOTER:drop=" + folder + "\\Ωμέγα.lnk;" + folder +
             "\\Справка.lnk" + fields + "|IDC_START:click|IDOK:log|IDOK:click|IDC_HELP_FILE:altf4",
         shown + shown + log(standin, standin), standin},
        // A "?" is what a field that keeps text in the code page leaves of a
        // character it lacks.
        {"typed", standin,
         "IDC_HELP_FILE=" + help + "|IDC_DEST_DIR=" + dest + "|IDC_START:click|IDOK:log|IDOK:click|"
         "IDC_HELP_FILE=C:\\??\\a.hlp|IDC_START:click|box:enter|IDC_HELP_FILE:altf4",
         log(standin, standin) +
             Warned("A path cannot hold \"?\". It may stand for a character that Windows' language for non-Unicode "
                    "programs lacks, lost as it was typed or pasted.\nPlease pick the file or folder with \"Browse "
                    "...\", or drop it on the window."), standin},
        {"no short names", standin,
         "IDC_HELP_FILE=kept|IDC_DEST_DIR=kept|IDC_BROWSE_HELP_FILE:click|cmb13=" + help + "|IDOK:click|box:enter|"
         "IDC_BANNER:drop=" + dest + "|box:enter" + fields + "|IDC_DEST_DIR=" + dest + "|IDC_START:click|box:enter|"
         "IDC_HELP_FILE:altf4",
         notSpelled(help) + notSpelled(dest) + kept + notSpelled(dest), standin},
    };
    for (const Row& row : rows) {
        void* const shortPaths = row.name == "no short names" ? PatchImport("GetShortPathNameW",
                                                                             reinterpret_cast<void*>(NoShortNames)) : nullptr;
        ExpectRow(row);
        if (shortPaths)
            PatchImport("GetShortPathNameW", shortPaths);
    }
}
