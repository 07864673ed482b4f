// Windows looks for a DLL that is not one of its "known DLLs" in the
// program's own folder first. A download folder, a shared folder or a USB
// stick may hold a DLL of someone else's making under such a name, and it
// would run with the user's rights as soon as the program started. So the
// program loads every DLL it loads itself from the system folder by its
// full path, and tells Windows to look nowhere else for the DLLs loaded
// after that, its pickers' among them. (Common Controls, which the program
// imports, comes from the system's side-by-side store: the manifest names
// version 6.)
#include "core/system_dlls.h"

#include "core/app_state.h"

void RestrictDllSearchToSystem()
{
    // Windows 8 has it, Vista and 7 with their updates; XP never: asked for
    // by name, so the program still starts where it is missing.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories)
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name)
{
    char folder[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    char path[MAX_PATH] = "";
    if (length == 0 || length >= sizeof folder || !StoreText(path, {folder, "\\", name}))
        return nullptr;
    // The DLLs it imports are looked for in its own folder first, also
    // where the search cannot be restricted.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
