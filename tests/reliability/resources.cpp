#include "reliability/resources.h"

#include <cstddef>
#include <vector>

namespace {

// ---- Kernel handles: the system's handle table, filtered by process -------

const ULONG kSystemExtendedHandleInformation = 64;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry
{
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct SystemHandleTable
{
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry entries[1];
};

typedef LONG(NTAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
typedef LONG(NTAPI* QueryInformationProcess)(HANDLE, ULONG, PVOID, ULONG, PULONG);

// A function of ntdll, found at run time: the build links no ntdll import
// library.
template <typename Function>
Function NtFunction(const char* name)
{
    // Through the generic function pointer type, which every compiler
    // accepts as a cast between function types.
    typedef void (*AnyFunction)();
    return reinterpret_cast<Function>(
        reinterpret_cast<AnyFunction>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

bool CountHandlesInSystemTable(DWORD processId, DWORD* count)
{
    const auto query = NtFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query)
        return false;
    std::vector<char> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) ==
           kStatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return false;
    const SystemHandleTable* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    *count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        *count += table->entries[i].processId == processId;
    return true;
}

// ---- GDI objects: the process's GDI handle table, as Wine lays it out -----
// The table hangs off the process environment block; an entry is in use
// while its type is not zero. Its fields are 64 bits wide on both targets.

struct GdiHandleEntry
{
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};

const size_t kGdiHandleCount = 0x10000;
const ULONG kProcessBasicInformation = 0;

struct ProcessBasics
{
    PVOID exitStatus;
    PVOID pebAddress;
    PVOID reserved[4];
};

// Where the environment block keeps the GDI table's address.
const size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

bool CountGdiTableEntries(HANDLE process, DWORD* count)
{
    const auto query = NtFunction<QueryInformationProcess>("NtQueryInformationProcess");
    ProcessBasics basics = {};
    ULONG length = 0;
    if (!query || query(process, kProcessBasicInformation, &basics, sizeof basics, &length) != 0)
        return false;
    PVOID table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, static_cast<char*>(basics.pebAddress) + kGdiTableOffset,
                           &table, sizeof table, &read) ||
        !table)
        return false;
    std::vector<GdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof entries[0],
                           &read))
        return false;
    *count = 0;
    for (const GdiHandleEntry& entry : entries)
        *count += entry.type != 0;
    return true;
}

// ---- USER objects: the windows of the process -----------------------------
// Windows are the USER objects a program makes and destroys all the time;
// an icon or cursor it leaked would also leave its bitmaps in the GDI count.

struct WindowCount
{
    DWORD processId;
    DWORD count;
};

BOOL CALLBACK CountOwnChild(HWND window, LPARAM context)
{
    WindowCount& windows = *reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    windows.count += owner == windows.processId;
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM context)
{
    // Children of a window of another process may still be ours, so every
    // top-level window's children are looked at.
    CountOwnChild(window, context);
    EnumChildWindows(window, CountOwnChild, context);
    return TRUE;
}

DWORD CountWindows(DWORD processId)
{
    WindowCount windows = {processId, 0};
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

}  // namespace

testing::AssertionResult CountResources(DWORD processId, ResourceCounts* counts, std::string* how)
{
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return testing::AssertionFailure()
               << "could not open process " << processId << " (error " << GetLastError() << ")";
    *counts = ResourceCounts{0, 0, 0};
    how->clear();
    bool counted = true;
    if (GetProcessHandleCount(process, &counts->handles) && counts->handles > 0) {
        *how += "handles: GetProcessHandleCount; ";
    } else {
        counted = counted && CountHandlesInSystemTable(processId, &counts->handles);
        *how += "handles: system handle table (GetProcessHandleCount gave 0); ";
    }
    counts->gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    if (counts->gdiObjects > 0) {
        *how += "GDI: GetGuiResources; ";
    } else {
        counted = counted && CountGdiTableEntries(process, &counts->gdiObjects);
        *how += "GDI: the process's GDI handle table (GetGuiResources gave 0); ";
    }
    counts->userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (counts->userObjects > 0) {
        *how += "USER: GetGuiResources";
    } else {
        counts->userObjects = CountWindows(processId);
        *how += "USER: the process's windows (GetGuiResources gave 0)";
    }
    CloseHandle(process);
    if (!counted)
        return testing::AssertionFailure() << "could not count the resources of process "
                                           << processId << "; tried " << *how;
    if (counts->handles == 0 || counts->gdiObjects == 0 || counts->userObjects == 0)
        return testing::AssertionFailure()
               << "a living program holds some of each, but counted " << Describe(*counts)
               << " (" << *how << ")";
    return testing::AssertionSuccess();
}

std::string Describe(const ResourceCounts& counts)
{
    return std::to_string(counts.handles) + " handles, " + std::to_string(counts.gdiObjects) +
           " GDI objects, " + std::to_string(counts.userObjects) + " USER objects";
}
