#include "e2e/driver.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace e2e {

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

namespace {

// A 32-bit top-down device-independent bitmap of the given size: one DWORD
// a pixel, rows from the top, as screen captures and comparisons read them.
BITMAPINFO TopDownRgbInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The caption as the window manager keeps it: readable even while the
// program's thread is busy in a run.
std::string CaptionOf(HWND window)
{
    char caption[512] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

struct WindowSearch
{
    DWORD processId;
    bool dialogsOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(context);
    if (ProcessOf(window) != search.processId || !IsWindowVisible(window))
        return TRUE;
    if (!search.dialogsOnly || ClassOf(window) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool dialogsOnly)
{
    WindowSearch search = {processId, dialogsOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Hex(const void* handle)
{
    char text[32];
    snprintf(text, sizeof text, "%p", handle);
    return text;
}

// Does the dialog carry one of the program's own controls?
bool HasProgramControl(HWND dialog)
{
    for (HWND child : ChildrenOf(dialog)) {
        const int id = GetDlgCtrlID(child);
        if (id >= 1000 && id <= 1021)
            return true;
    }
    return false;
}

bool IsIconStatic(HWND child)
{
    return ClassOf(child) == "Static" &&
           (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// The system icon that looks most like the picture on the screen in
// AREA: each candidate is drawn on the area's own corner colour and the
// differing pixels are counted.
BoxIcon ClassifyIcon(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return BoxIcon::Unknown;
    const std::vector<DWORD> seen = CaptureScreen(area);
    if (seen.empty())
        return BoxIcon::Unknown;
    struct Candidate
    {
        BoxIcon icon;
        int resource;
    };
    const Candidate candidates[] = {{BoxIcon::Error, 32513},
                                    {BoxIcon::Question, 32514},
                                    {BoxIcon::Warning, 32515},
                                    {BoxIcon::Information, 32516}};
    BoxIcon best = BoxIcon::Unknown;
    size_t bestDifferences = seen.size();
    for (const Candidate& candidate : candidates) {
        const BITMAPINFO info = TopDownRgbInfo(width, height);
        void* bits = nullptr;
        const HDC memory = CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) {
            DeleteDC(memory);
            continue;
        }
        const HGDIOBJ old = SelectObject(memory, bitmap);
        DWORD* pixels = static_cast<DWORD*>(bits);
        for (size_t i = 0; i < seen.size(); ++i)
            pixels[i] = seen[0];
        const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(candidate.resource));
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        size_t differences = 0;
        for (size_t i = 0; i < seen.size(); ++i)
            differences += (pixels[i] & 0xFFFFFF) != (seen[i] & 0xFFFFFF);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        if (differences < bestDifferences) {
            bestDifferences = differences;
            best = candidate.icon;
        }
    }
    // A picture that matches no candidate well is not one of them.
    return bestDifferences * 10 <= seen.size() ? best : BoxIcon::Unknown;
}

bool ReadMessageBox(HWND dialog, const char* caption, MessageBoxSeen* box)
{
    if ((caption && CaptionOf(dialog) != caption) || HasProgramControl(dialog))
        return false;
    MessageBoxSeen seen = {
        dialog, GetWindow(dialog, GW_OWNER), CaptionOf(dialog), "", BoxIcon::None, 0};
    HWND iconControl = nullptr;
    for (HWND child : ChildrenOf(dialog)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string className = ClassOf(child);
        if (className != "Button" && className != "Static")
            return false;  // a box holds nothing but its texts, its icon and its buttons
        if (className == "Button") {
            ++seen.buttonCount;
        } else if (IsIconStatic(child)) {
            DWORD_PTR icon = 0;
            if (SendBounded(child, STM_GETICON, 0, 0, &icon) && icon)
                iconControl = child;
        } else if (className == "Static" && seen.text.empty()) {
            seen.text = TextOf(child);
        }
    }
    if (seen.buttonCount == 0 || seen.text.empty())
        return false;
    if (iconControl) {
        RECT area;
        GetWindowRect(iconControl, &area);
        seen.icon = ClassifyIcon(area);
    }
    *box = seen;
    return true;
}

}  // namespace

std::string BuildFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return FolderOf(path);
}

std::string StandinPath()
{
    return JoinPath(BuildFolder(), "standin.exe");
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + "\\" + name;
}

std::string MakeFreshFolder(const std::string& name)
{
    const std::string runs = JoinPath(BuildFolder(), "e2e-runs");
    CreateDirectoryA(runs.c_str(), nullptr);
    const std::string folder = JoinPath(runs, name);
    DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string MakeSubfolder(const std::string& folder, const std::string& name)
{
    const std::string path = JoinPath(folder, name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void WriteSettings(const std::string& folder, const std::string& decoPath)
{
    WriteWholeFile(JoinPath(folder, "Quorvantel.ini"), "[Config]\r\nDecoPath=" + decoPath + "\r\n");
}

StandinRecord ReadStandinRecord(const std::string& path)
{
    StandinRecord record = {false, "", ""};
    const std::string bytes = ReadWholeFile(path);
    const size_t first = bytes.find('\n');
    if (first == std::string::npos)
        return record;
    const size_t second = bytes.find('\n', first + 1);
    record.present = true;
    record.commandLine = bytes.substr(0, first);
    record.workingDirectory = bytes.substr(
        first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    return record;
}

testing::AssertionResult StartProgram(const std::string& folder, const std::string& standinActions,
                                      Program* program)
{
    *program = Program{folder, nullptr, 0, nullptr};
    const std::string source = JoinPath(BuildFolder(), "Quorvantel.exe");
    const std::string executable = JoinPath(folder, "Quorvantel.exe");
    if (!CopyFileA(source.c_str(), executable.c_str(), FALSE))
        return testing::AssertionFailure() << "could not copy " << source << " to " << executable
                                           << " (error " << GetLastError() << ")";
    SetEnvironmentVariableA("STANDIN_ACTIONS",
                            standinActions.empty() ? nullptr : standinActions.c_str());

    // The job takes the stand-ins along when a test ends the program.
    program->job = CreateJobObjectA(nullptr, nullptr);
    if (program->job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(program->job, JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    std::string commandLine = "\"" + executable + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, folder.c_str(), &startup, &started))
        return testing::AssertionFailure()
               << "could not start " << commandLine << " (error " << GetLastError() << ")";
    if (program->job)
        AssignProcessToJobObject(program->job, started.hProcess);
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    program->process = started.hProcess;
    program->processId = started.dwProcessId;
    return testing::AssertionSuccess();
}

testing::AssertionResult WaitForExit(const Program& program, DWORD* exitCode, DWORD timeoutMs)
{
    if (!program.process)
        return testing::AssertionFailure() << "the program was never started";
    if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0)
        return testing::AssertionFailure()
               << "expected the program to end within " << timeoutMs
               << " ms; still running with: " << DescribeWindows(program.processId);
    GetExitCodeProcess(program.process, exitCode);
    return testing::AssertionSuccess();
}

void EndProgram(Program* program)
{
    if (program->job) {
        TerminateJobObject(program->job, 1);
    }
    if (program->process) {
        if (WaitForSingleObject(program->process, 0) != WAIT_OBJECT_0)
            TerminateProcess(program->process, 1);
        WaitForSingleObject(program->process, kWaitMs);
        CloseHandle(program->process);
        program->process = nullptr;
    }
    if (program->job) {
        CloseHandle(program->job);
        program->job = nullptr;
    }
}

std::vector<HWND> DialogsOf(DWORD processId)
{
    return TopLevelWindowsOf(processId, true);
}

std::string DescribeWindows(DWORD processId)
{
    std::ostringstream text;
    const std::vector<HWND> windows = TopLevelWindowsOf(processId, false);
    if (windows.empty())
        return "no visible window";
    for (HWND window : windows) {
        text << "['" << CaptionOf(window) << "' " << ClassOf(window) << " " << Hex(window);
        if (HWND owner = GetWindow(window, GW_OWNER))
            text << " owner " << Hex(owner);
        text << " controls";
        for (HWND child : ChildrenOf(window))
            text << " " << GetDlgCtrlID(child) << ":" << ClassOf(child);
        text << "] ";
    }
    return text.str();
}

testing::AssertionResult WaitForDialog(const Program& program, const std::string& caption,
                                       int controlId, HWND* found, DWORD timeoutMs)
{
    *found = nullptr;
    const bool seen = WaitUntil(
        [&] {
            for (HWND dialog : DialogsOf(program.processId)) {
                if (CaptionOf(dialog) == caption &&
                    (controlId == 0 || GetDlgItem(dialog, controlId))) {
                    *found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    if (seen)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "expected a dialog '" << caption << "' with control " << controlId << " within "
           << timeoutMs << " ms; seen: " << DescribeWindows(program.processId);
}

testing::AssertionResult WaitForGone(HWND window, const char* what, DWORD timeoutMs)
{
    if (WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "expected " << what << " to close within " << timeoutMs
                                       << " ms; seen: " << DescribeWindows(ProcessOf(window));
}

testing::AssertionResult NoDialogAppears(const Program& program, const std::string& caption,
                                         int controlId, DWORD settleMs)
{
    HWND found = nullptr;
    if (!WaitForDialog(program, caption, controlId, &found, settleMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "expected no dialog '" << caption << "' with control " << controlId
           << "; seen: " << DescribeWindows(program.processId);
}

bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR answer = 0;
    const bool answered =
        SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &answer) != 0;
    if (result)
        *result = answer;
    return answered;
}

std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!window || !SendBounded(window, WM_GETTEXTLENGTH, 0, 0, &length))
        return std::string();
    // Room for a length counted in characters of another code page.
    std::string text(length * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &copied))
        return std::string();
    text.resize(strlen(text.c_str()));
    return text;
}

std::string ItemText(HWND dialog, int controlId)
{
    return TextOf(GetDlgItem(dialog, controlId));
}

testing::AssertionResult SetItemText(HWND dialog, int controlId, const std::string& text)
{
    const HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return testing::AssertionFailure()
               << "no control " << controlId << " to type into in '" << CaptionOf(dialog) << "'";
    DWORD_PTR accepted = 0;
    if (!SendBounded(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &accepted))
        return testing::AssertionFailure()
               << "control " << controlId << " did not answer WM_SETTEXT";
    const std::string now = TextOf(control);
    if (now != text)
        return testing::AssertionFailure() << "typed '" << text << "' into control " << controlId
                                           << " but it holds '" << now << "'";
    return testing::AssertionSuccess();
}

testing::AssertionResult Click(HWND dialog, int controlId)
{
    HWND button = GetDlgItem(dialog, controlId);
    for (HWND child : ChildrenOf(dialog)) {
        if (GetDlgCtrlID(child) == controlId && ClassOf(child) == "Button") {
            button = child;
            break;
        }
    }
    if (!button)
        return testing::AssertionFailure()
               << "no button " << controlId << " to press in '" << CaptionOf(dialog)
               << "'; seen: " << DescribeWindows(ProcessOf(dialog));
    PostMessageA(button, BM_CLICK, 0, 0);
    return testing::AssertionSuccess();
}

void PostCommand(HWND dialog, int commandId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), 0);
}

void PostClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

bool IsItemEnabled(HWND dialog, int controlId)
{
    const HWND control = GetDlgItem(dialog, controlId);
    return control && IsWindowEnabled(control);
}

bool IsItemChecked(HWND dialog, int controlId)
{
    DWORD_PTR state = 0;
    return SendBounded(GetDlgItem(dialog, controlId), BM_GETCHECK, 0, 0, &state) &&
           state == BST_CHECKED;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

const char* BoxIconName(BoxIcon icon)
{
    switch (icon) {
        case BoxIcon::None: return "no icon";
        case BoxIcon::Error: return "the error icon";
        case BoxIcon::Warning: return "the warning icon";
        case BoxIcon::Information: return "the information icon";
        case BoxIcon::Question: return "the question icon";
        case BoxIcon::Unknown: break;
    }
    return "an unknown icon";
}

testing::AssertionResult WaitForMessageBox(const Program& program, const char* caption,
                                           MessageBoxSeen* box, DWORD timeoutMs)
{
    const bool seen = WaitUntil(
        [&] {
            for (HWND dialog : DialogsOf(program.processId)) {
                if (ReadMessageBox(dialog, caption, box))
                    return true;
            }
            return false;
        },
        timeoutMs);
    if (!seen)
        return testing::AssertionFailure()
               << "expected a message box '" << (caption ? caption : "*") << "' within "
               << timeoutMs << " ms; seen: " << DescribeWindows(program.processId);
    // The icon is read from the screen, so give the box time to paint it.
    if (box->icon == BoxIcon::Unknown) {
        WaitUntil(
            [&] {
                return ReadMessageBox(box->window, caption, box) && box->icon != BoxIcon::Unknown;
            },
            1000);
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult AnswerMessageBox(const MessageBoxSeen& box)
{
    HWND button = nullptr;
    for (HWND child : ChildrenOf(box.window)) {
        if (IsWindowVisible(child) && ClassOf(child) == "Button") {
            button = child;
            break;
        }
    }
    if (!button)
        return testing::AssertionFailure() << "the message box '" << box.text << "' has no button";
    PostMessageA(button, BM_CLICK, 0, 0);
    return WaitForGone(box.window, "the message box");
}

namespace {

HWND FindDescendant(HWND parent, const char* className)
{
    for (HWND child : ChildrenOf(parent)) {
        if (lstrcmpiA(ClassOf(child).c_str(), className) == 0)
            return child;
        if (HWND found = FindDescendant(child, className))
            return found;
    }
    return nullptr;
}

const int kPickerFileNameEdit = 0x480;   // edt1
const int kPickerFileNameCombo = 0x47c;  // cmb13

}  // namespace

testing::AssertionResult WaitForFilePicker(const Program& program, HWND owner, HWND* picker)
{
    testing::AssertionResult found = WaitForDialog(program, kFilePickerCaption, 0, picker);
    if (!found)
        return found;
    if (GetWindow(*picker, GW_OWNER) != owner)
        return testing::AssertionFailure()
               << "the file picker belongs to " << Hex(GetWindow(*picker, GW_OWNER)) << ", not to "
               << Hex(owner);
    if (!FileNameField(*picker))
        return testing::AssertionFailure() << "the file picker has no file-name field; seen: "
                                           << DescribeWindows(program.processId);
    return testing::AssertionSuccess();
}

HWND FileNameField(HWND picker)
{
    const HWND edit = GetDlgItem(picker, kPickerFileNameEdit);
    if (edit && ClassOf(edit) == "Edit")
        return edit;
    const HWND combo = GetDlgItem(picker, kPickerFileNameCombo);
    return combo ? FindDescendant(combo, "Edit") : nullptr;
}

testing::AssertionResult TypeFileNameAndOpen(HWND picker, const std::string& name)
{
    const HWND field = FileNameField(picker);
    if (!field)
        return testing::AssertionFailure() << "the file picker has no file-name field";
    if (!SendBounded(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), nullptr))
        return testing::AssertionFailure() << "the file-name field did not take the text";
    return Click(picker, IDOK);
}

namespace {

bool OpenClipboardBounded()
{
    return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, kWaitMs);
}

}  // namespace

void EmptyClipboardNow()
{
    if (OpenClipboardBounded()) {
        EmptyClipboard();
        CloseClipboard();
    }
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboardBounded())
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

HBITMAP MakeDib(int width, int height, DWORD** pixels)
{
    const BITMAPINFO info = TopDownRgbInfo(width, height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<DWORD*>(bits);
    return bitmap;
}

std::vector<DWORD> CaptureScreen(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    const BITMAPINFO info = TopDownRgbInfo(width, height);
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const DWORD* captured = static_cast<const DWORD*>(bits);
        pixels.assign(captured, captured + static_cast<size_t>(width) * height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace e2e
