#include "ui/dropped_files.h"

#include "core/app_state.h"
#include "res/resource.h"
#include "ui/path_field.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

bool IsShortcut(const std::wstring& path)
{
    return path.size() > 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".lnk") == 0;
}

// The file or folder a shortcut points to, as the file picker follows it:
// by the shell's item list that the shortcut keeps, which holds every name
// whole (its stored path may be spelled in a code page); the shortcut
// itself where it points to no file or folder.
std::wstring FollowShortcut(const std::wstring& shortcut)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t target[MAX_PATH] = L"";
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        PIDLIST_ABSOLUTE item = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) && link->GetIDList(&item) == S_OK &&
                !SHGetPathFromIDListW(item, target))
                target[0] = L'\0';
            file->Release();
        }
        CoTaskMemFree(item);
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return target[0] ? target : shortcut;
}

// The I-th dropped name, whole however long it is.
std::wstring DroppedName(HDROP drop, UINT i)
{
    std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    DragQueryFileW(drop, i, &name[0], static_cast<UINT>(name.size() + 1));
    return IsShortcut(name) ? FollowShortcut(name) : name;
}

}  // namespace

void TakeDroppedFiles(HWND window, HDROP drop)
{
    std::vector<std::wstring> files;
    std::wstring folder;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const std::wstring name = DroppedName(drop, i);
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(name);
        else if (folder.empty())
            folder = name;
    }
    DragFinish(drop);

    char destination[MAX_PATH] = "";
    if ((!folder.empty() && !TakePath(window, folder.c_str(), destination)) ||
        (!files.empty() && !TakeHelpFiles(window, files)))
        return;
    if (!files.empty())
        SetDlgItemTextA(window, IDC_HELP_FILE, AppState.helpFileList);
    if (!folder.empty())
        SetDlgItemTextA(window, IDC_DEST_DIR, destination);
}
