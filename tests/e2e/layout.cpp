#include "e2e/layout.h"

#include "e2e/driver.h"

#include <commctrl.h>

#include <cstring>
#include <sstream>

namespace e2e {

namespace {

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], length, nullptr, nullptr);
    text.resize(length - 1);
    return text;
}

// A name or ordinal field of a template: an ordinal comes back as "#N".
const WORD* ReadNameOrOrdinal(const WORD* field, std::string* text)
{
    if (field[0] == 0xFFFF) {
        *text = "#" + std::to_string(field[1]);
        return field + 2;
    }
    std::wstring wide;
    while (*field)
        wide.push_back(static_cast<wchar_t>(*field++));
    *text = Narrow(wide);
    return field + 1;
}

std::string PredefinedClass(const std::string& name)
{
    static const char* const kClasses[] = {"Button",  "Edit",      "Static",
                                           "ListBox", "ScrollBar", "ComboBox"};
    if (name.size() > 1 && name[0] == '#') {
        const int atom = std::stoi(name.substr(1));
        if (atom >= 0x80 && atom <= 0x85)
            return kClasses[atom - 0x80];
    }
    return name;
}

const WORD* AlignToDword(const WORD* field, const void* start)
{
    const size_t offset = reinterpret_cast<const BYTE*>(field) - static_cast<const BYTE*>(start);
    return field + ((offset % 4) ? 1 : 0);
}

// Parses both the classic and the extended template layout.
void ParseTemplate(const void* resource, TemplateInfo* info)
{
    const WORD* field = static_cast<const WORD*>(resource);
    const bool extended = field[0] == 1 && field[1] == 0xFFFF;
    int itemCount = 0;
    if (extended) {
        const DWORD* header =
            reinterpret_cast<const DWORD*>(field + 2);  // help id, ex style, style
        info->style = header[2];
        field = reinterpret_cast<const WORD*>(header + 3);
    } else {
        const DWORD* header = reinterpret_cast<const DWORD*>(field);  // style, ex style
        info->style = header[0];
        field = reinterpret_cast<const WORD*>(header + 2);
    }
    itemCount = field[0];
    info->width = static_cast<short>(field[3]);
    info->height = static_cast<short>(field[4]);
    field += 5;
    std::string menu, windowClass;
    field = ReadNameOrOrdinal(field, &menu);
    field = ReadNameOrOrdinal(field, &windowClass);
    field = ReadNameOrOrdinal(field, &info->caption);
    if (info->style & DS_SETFONT) {
        info->pointSize = field[0];
        field += extended ? 3 : 1;  // weight, italic and charset follow in the extended form
        field = ReadNameOrOrdinal(field, &info->fontFace);
    }
    for (int i = 0; i < itemCount; ++i) {
        field = AlignToDword(field, resource);
        TemplateItem item = {};
        const DWORD* header = reinterpret_cast<const DWORD*>(field);
        if (extended) {
            item.extendedStyle = header[1];
            item.style = header[2];
            field = reinterpret_cast<const WORD*>(header + 3);
        } else {
            item.style = header[0];
            item.extendedStyle = header[1];
            field = reinterpret_cast<const WORD*>(header + 2);
        }
        item.units = {static_cast<short>(field[0]), static_cast<short>(field[1]),
                      static_cast<short>(field[2]), static_cast<short>(field[3])};
        field += 4;
        if (extended) {
            item.id = static_cast<int>(*reinterpret_cast<const DWORD*>(field));
            field += 2;
        } else {
            item.id = field[0];
            field += 1;
        }
        field = ReadNameOrOrdinal(field, &item.className);
        item.className = PredefinedClass(item.className);
        field = ReadNameOrOrdinal(field, &item.text);
        const WORD extraBytes = field[0];
        field =
            reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(field + 1) + extraBytes);
        info->items.push_back(item);
    }
}

void EnsureControlClasses()
{
    static bool loaded = false;
    if (loaded)
        return;
    InitCommonControls();
    LoadLibraryA("riched32.dll");  // kept for the whole test run
    loaded = true;
}

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

bool SameName(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

RECT RectIn(HWND control, HWND dialog)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Describe(const RECT& rect)
{
    std::ostringstream text;
    text << "(" << rect.left << "," << rect.top << " " << rect.right - rect.left << "x"
         << rect.bottom - rect.top << ")";
    return text.str();
}

// Units as a template keeps them: left, top, width, height.
std::string DescribeUnits(const RECT& units)
{
    return Describe({units.left, units.top, units.left + units.right, units.top + units.bottom});
}

SIZE BitmapSize(int resourceId)
{
    SIZE size = {0, 0};
    const HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    if (bitmap)
        DeleteObject(bitmap);
    return size;
}

// Share of the pixels of AREA on the screen that equal bitmap RESOURCE_ID.
double PictureLikeness(const RECT& area, int resourceId)
{
    const std::vector<DWORD> seen = CaptureScreen(area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (seen.empty())
        return 0;
    DWORD* drawn = nullptr;
    const HBITMAP canvas = MakeDib(width, height, &drawn);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HDC source = CreateCompatibleDC(nullptr);
    const HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
    size_t equal = 0;
    if (canvas && picture) {
        const HGDIOBJ oldCanvas = SelectObject(memory, canvas);
        const HGDIOBJ oldPicture = SelectObject(source, picture);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        for (size_t i = 0; i < seen.size(); ++i)
            equal += (drawn[i] & 0xFFFFFF) == (seen[i] & 0xFFFFFF);
        SelectObject(source, oldPicture);
        SelectObject(memory, oldCanvas);
    }
    if (picture)
        DeleteObject(picture);
    if (canvas)
        DeleteObject(canvas);
    DeleteDC(source);
    DeleteDC(memory);
    return static_cast<double>(equal) / seen.size();
}

bool IsEditable(const std::string& className)
{
    return SameName(className, "Edit") || SameName(className, "RICHEDIT");
}

bool IsBitmapPicture(const TemplateItem& item)
{
    return SameName(item.className, "Static") && (item.style & SS_TYPEMASK) == SS_BITMAP;
}

// Compares one live control with its template item, adding every
// difference to PROBLEMS.
void CompareControl(HWND dialog, HWND live, HWND own, HWND ownDialog, const TemplateItem& item,
                    DWORD ignoredStyle, std::ostringstream& problems)
{
    std::ostringstream name;
    name << "control id " << static_cast<short>(item.id) << " " << Quoted(item.text) << ": ";
    const int liveId = GetDlgCtrlID(live);
    if (static_cast<WORD>(liveId) != static_cast<WORD>(item.id))
        problems << name.str() << "id expected " << static_cast<WORD>(item.id) << ", seen "
                 << liveId << "; ";
    if (!SameName(ClassOf(live), item.className))
        problems << name.str() << "class expected " << item.className << ", seen " << ClassOf(live)
                 << "; ";
    const bool ordinalText = !item.text.empty() && item.text[0] == '#';
    if (!ordinalText && !IsEditable(item.className) && TextOf(live) != item.text)
        problems << name.str() << "text expected " << Quoted(item.text) << ", seen "
                 << Quoted(TextOf(live)) << "; ";
    const DWORD liveStyle = static_cast<DWORD>(GetWindowLongA(live, GWL_STYLE)) & ~ignoredStyle;
    const DWORD ownStyle = static_cast<DWORD>(GetWindowLongA(own, GWL_STYLE)) & ~ignoredStyle;
    if (liveStyle != ownStyle)
        problems << name.str() << "style expected " << std::hex << ownStyle << ", seen "
                 << liveStyle << std::dec << "; ";
    const DWORD liveExStyle = static_cast<DWORD>(GetWindowLongA(live, GWL_EXSTYLE));
    const DWORD ownExStyle = static_cast<DWORD>(GetWindowLongA(own, GWL_EXSTYLE));
    if (liveExStyle != ownExStyle)
        problems << name.str() << "extended style expected " << std::hex << ownExStyle << ", seen "
                 << liveExStyle << std::dec << "; ";

    RECT expected = item.units;  // left, top, width, height
    MapDialogRect(ownDialog, &expected);
    expected.right += expected.left;
    expected.bottom += expected.top;
    if (IsBitmapPicture(item)) {
        // A bitmap picture takes the size of its bitmap.
        const SIZE size = BitmapSize(std::stoi(item.text.substr(1)));
        expected.right = expected.left + size.cx;
        expected.bottom = expected.top + size.cy;
    }
    const RECT seen = RectIn(live, dialog);
    if (!EqualRect(&seen, &expected))
        problems << name.str() << "rectangle expected " << Describe(expected) << ", seen "
                 << Describe(seen) << "; ";
    if (IsBitmapPicture(item)) {
        RECT onScreen;
        GetWindowRect(live, &onScreen);
        const double likeness = PictureLikeness(onScreen, std::stoi(item.text.substr(1)));
        if (likeness < 0.99)
            problems << name.str() << "shows bitmap " << item.text << " in only "
                     << static_cast<int>(likeness * 100) << "% of its pixels; ";
    }
}

}  // namespace

bool ReadDialogTemplate(int resourceId, TemplateInfo* info)
{
    *info = TemplateInfo{};
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(5));
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* resource = loaded ? LockResource(loaded) : nullptr;
    if (!resource)
        return false;
    ParseTemplate(resource, info);
    return true;
}

testing::AssertionResult TemplateMatchesPlan(const DialogPlan& plan)
{
    TemplateInfo info;
    if (!ReadDialogTemplate(plan.templateId, &info))
        return testing::AssertionFailure() << "no dialog template " << plan.templateId;
    std::ostringstream problems;
    if (info.caption != plan.caption)
        problems << "caption expected " << Quoted(plan.caption) << ", seen " << Quoted(info.caption)
                 << "; ";
    if (info.width != plan.width || info.height != plan.height)
        problems << "size expected " << plan.width << "x" << plan.height << ", seen " << info.width
                 << "x" << info.height << "; ";
    if ((info.style & plan.requiredStyle) != plan.requiredStyle)
        problems << "style lacks " << std::hex << (plan.requiredStyle & ~info.style) << std::dec
                 << "; ";
    if (info.style & plan.forbiddenStyle)
        problems << "style has " << std::hex << (info.style & plan.forbiddenStyle) << std::dec
                 << "; ";
    if (info.fontFace != "MS Sans Serif" || info.pointSize != 8)
        problems << "font expected 'MS Sans Serif' 8, seen " << Quoted(info.fontFace) << " "
                 << info.pointSize << "; ";
    if (info.items.size() != plan.controls.size())
        problems << "control count expected " << plan.controls.size() << ", seen "
                 << info.items.size() << "; ";
    for (size_t i = 0; i < info.items.size() && i < plan.controls.size(); ++i) {
        const TemplateItem& item = info.items[i];
        const ControlPlan& want = plan.controls[i];
        std::ostringstream name;
        name << "control #" << i << " (id " << want.id << "): ";
        if (static_cast<WORD>(item.id) != static_cast<WORD>(want.id))
            problems << name.str() << "id " << static_cast<short>(item.id) << "; ";
        if (!SameName(item.className, want.className))
            problems << name.str() << "class " << item.className << "; ";
        const bool image = !item.text.empty() && item.text[0] == '#';
        if (want.text ? item.text != want.text : !image)
            problems << name.str() << "text " << Quoted(item.text) << "; ";
        RECT units = {want.x, want.y, want.width, want.height};
        // Resource compilers drop the size of an icon picture: it always
        // takes the size of its icon.
        if (SameName(want.className, "Static") && want.type == SS_ICON) {
            units.right = item.units.right;
            units.bottom = item.units.bottom;
        }
        if (!EqualRect(&item.units, &units))
            problems << name.str() << "units " << DescribeUnits(item.units) << " instead of "
                     << DescribeUnits(units) << "; ";
        if ((item.style & want.requiredStyle) != want.requiredStyle)
            problems << name.str() << "style " << std::hex << item.style << " lacks "
                     << (want.requiredStyle & ~item.style) << std::dec << "; ";
        if (item.style & want.forbiddenStyle)
            problems << name.str() << "style " << std::hex << item.style << " has "
                     << (item.style & want.forbiddenStyle) << std::dec << "; ";
        const DWORD typeMask = SameName(want.className, "Button")   ? BS_TYPEMASK
                               : SameName(want.className, "Static") ? SS_TYPEMASK
                                                                    : 0;
        if ((item.style & typeMask) != want.type)
            problems << name.str() << "type " << (item.style & typeMask) << " instead of "
                     << want.type << "; ";
    }
    if (problems.str().empty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "template " << plan.templateId << " differs from its plan: " << problems.str();
}

testing::AssertionResult DialogMatchesTemplate(HWND dialog, int templateId, DWORD ignoredStyle)
{
    TemplateInfo info;
    if (!ReadDialogTemplate(templateId, &info))
        return testing::AssertionFailure() << "no dialog template " << templateId;
    EnsureControlClasses();
    const HWND own = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                        nullptr, DoNothingProc, 0);
    if (!own)
        return testing::AssertionFailure() << "could not make template " << templateId
                                           << " in the driver (error " << GetLastError() << ")";
    std::ostringstream problems;
    char caption[256] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    if (info.caption != caption)
        problems << "caption expected " << Quoted(info.caption) << ", seen " << Quoted(caption)
                 << "; ";
    const DWORD windowBits = WS_VISIBLE | WS_DISABLED;
    const DWORD liveStyle = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & ~windowBits;
    const DWORD ownStyle = static_cast<DWORD>(GetWindowLongA(own, GWL_STYLE)) & ~windowBits;
    if (liveStyle != ownStyle)
        problems << "window style expected " << std::hex << ownStyle << ", seen " << liveStyle
                 << std::dec << "; ";
    RECT client = {0, 0, info.width, info.height};
    MapDialogRect(own, &client);
    RECT liveClient;
    GetClientRect(dialog, &liveClient);
    if (!EqualRect(&client, &liveClient))
        problems << "client area expected " << Describe(client) << ", seen " << Describe(liveClient)
                 << "; ";

    const std::vector<HWND> live = ChildrenOf(dialog);
    const std::vector<HWND> made = ChildrenOf(own);
    if (live.size() != info.items.size() || made.size() != info.items.size())
        problems << "control count expected " << info.items.size() << ", seen " << live.size()
                 << "; ";
    for (size_t i = 0; i < info.items.size() && i < live.size() && i < made.size(); ++i)
        CompareControl(dialog, live[i], made[i], own, info.items[i], ignoredStyle, problems);
    DestroyWindow(own);

    if (problems.str().empty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "dialog " << Quoted(caption) << " differs from template "
                                       << templateId << ": " << problems.str();
}

}  // namespace e2e
