#include "ui/pickers.h"

#include "core/app_state.h"
#include "ui/message_boxes.h"
#include "ui/path_field.h"

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <string>
#include <vector>

const wchar_t kHelpFileFilter[] = L"WinHelp Files (*.hlp)\0*.hlp\0";
const wchar_t kExecutableFilter[] = L"Executable Files (*.exe)\0*.exe\0";

namespace {

// Shows the Open picker for existing files of FILTER, with FLAGS besides;
// yes when the user confirmed, with the picker's answer in FILES.
bool ShowOpenPicker(HWND owner, const wchar_t* filter, DWORD flags, std::wstring& files)
{
    wchar_t fileTitle[80] = L"";
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the older, shorter record
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = &files[0];
    request.nMaxFile = static_cast<DWORD>(files.size());
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = 80;
    // The picker must not move our current directory: a decompiler path
    // without a folder is searched for there, and the usage run starts there.
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | flags;
    return GetOpenFileNameW(&request) == TRUE;
}

}  // namespace

bool PickFile(HWND owner, const wchar_t* filter)
{
    std::wstring fileName(MAX_PATH, L'\0');
    if (!ShowOpenPicker(owner, filter, 0, fileName))
        return false;
    char picked[MAX_PATH] = "";
    return TakePath(owner, fileName.c_str(), picked) && StoreText(AppState.pickedFile, {picked});
}

// With several picked, the picker answers their folder and then each name,
// each ended by a NUL, and an empty name last; with one, its full path.
bool PickHelpFiles(HWND owner)
{
    std::wstring answer(static_cast<size_t>(kMaxHelpFiles) * MAX_PATH, L'\0');
    if (!ShowOpenPicker(owner, kHelpFileFilter, OFN_ALLOWMULTISELECT | OFN_EXPLORER, answer)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowTooManyHelpFiles(owner);
        return false;
    }
    const std::wstring folder = answer.c_str();
    const wchar_t* separator = folder.back() == L'\\' ? L"" : L"\\";  // none after a drive's root
    std::vector<std::wstring> picked;
    for (size_t at = folder.size() + 1; answer[at] != L'\0';) {
        const std::wstring name = answer.c_str() + at;
        picked.push_back(folder + separator + name);
        at += name.size() + 1;
    }
    if (picked.empty())
        picked.push_back(folder);
    return TakeHelpFiles(owner, picked);
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
