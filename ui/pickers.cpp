#include "ui/pickers.h"

#include "core/app_state.h"

#include <commdlg.h>
#include <shlobj.h>

const char kHelpFileFilter[] = "WinHelp Files (*.hlp)\0*.hlp\0";
const char kExecutableFilter[] = "Executable Files (*.exe)\0*.exe\0";

bool PickFile(HWND owner, const char* filter)
{
    char fileName[MAX_PATH] = "";
    char fileTitle[80] = "";
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the older, shorter record
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = fileName;
    request.nMaxFile = sizeof fileName;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = sizeof fileTitle;
    // The picker must not move our current directory: a decompiler path
    // without a folder is searched for there, and the usage run starts there.
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&request) != TRUE)
        return false;
    return StoreText(AppState.pickedFile, {fileName});
}

bool PickFolder(HWND owner)
{
    StoreText(AppState.destDir, {""});
    BROWSEINFOA request = {};
    request.hwndOwner = owner;
    request.pszDisplayName = AppState.destDir;
    request.lpszTitle = "Select Destination Folder.";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderA(&request);
    if (!folder)
        return false;
    // The display name written above is not a path; only a real path counts.
    const bool isPath = SHGetPathFromIDListA(folder, AppState.destDir) != FALSE;
    if (!isPath)
        StoreText(AppState.destDir, {""});
    IMalloc* shellAllocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellAllocator))) {
        shellAllocator->Free(folder);
        shellAllocator->Release();
    }
    return isPath;
}
