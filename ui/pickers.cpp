#include "ui/pickers.h"

#include "core/app_state.h"
#include "ui/path_field.h"

#include <commdlg.h>
#include <shlobj.h>

const wchar_t kHelpFileFilter[] = L"WinHelp Files (*.hlp)\0*.hlp\0";
const wchar_t kExecutableFilter[] = L"Executable Files (*.exe)\0*.exe\0";

bool PickFile(HWND owner, const wchar_t* filter)
{
    wchar_t fileName[MAX_PATH] = L"";
    wchar_t fileTitle[80] = L"";
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the older, shorter record
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = fileName;
    request.nMaxFile = MAX_PATH;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = 80;
    // The picker must not move our current directory: a decompiler path
    // without a folder is searched for there, and the usage run starts there.
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&request) != TRUE)
        return false;
    char picked[MAX_PATH] = "";
    return TakePath(owner, fileName, picked) && StoreText(AppState.pickedFile, {picked});
}

bool PickFolder(HWND owner)
{
    StoreText(AppState.destDir, {""});
    wchar_t displayName[MAX_PATH] = L"";
    BROWSEINFOW request = {};
    request.hwndOwner = owner;
    request.pszDisplayName = displayName;
    request.lpszTitle = L"Select Destination Folder.";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&request);
    if (!folder)
        return false;
    // The display name written above is not a path; only a real path counts.
    wchar_t path[MAX_PATH] = L"";
    const bool isPath = SHGetPathFromIDListW(folder, path) != FALSE;
    IMalloc* shellAllocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellAllocator))) {
        shellAllocator->Free(folder);
        shellAllocator->Release();
    }
    return isPath && TakePath(owner, path, AppState.destDir);
}
