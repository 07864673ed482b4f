#include "ui/path_field.h"

#include "core/ansi_path.h"
#include "core/app_state.h"
#include "core/help_files.h"
#include "ui/message_boxes.h"

#include <string>

bool TakePath(HWND owner, const wchar_t* path, char (&ansi)[MAX_PATH], bool naming)
{
    switch (SpellPath(CP_ACP, path, ansi)) {
    case PathSpelling::kSpelled: return true;
    case PathSpelling::kTooLong: ShowPathTooLong(owner, naming ? path : nullptr); return false;
    case PathSpelling::kNotSpelled: ShowPathNotSpelled(owner, path); return false;
    }
    return false;
}

bool TakeHelpFiles(HWND owner, const std::vector<std::wstring>& files)
{
    if (files.size() > static_cast<size_t>(kMaxHelpFiles)) {
        ShowTooManyHelpFiles(owner);
        return false;
    }
    std::vector<std::string> paths;
    for (const std::wstring& file : files) {
        char path[MAX_PATH] = "";
        if (!TakePath(owner, file.c_str(), path, files.size() > 1))
            return false;
        paths.push_back(path);
    }
    return StoreHelpFileList(paths);
}

std::wstring FieldText(HWND window, int id)
{
    const HWND field = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool TakeTypedPath(HWND owner, const std::wstring& text, char (&path)[MAX_PATH], bool naming)
{
    // A field that kept the text only in the code page holds "?" where it
    // lost a character; no file name holds one.
    if (text.find(L'?') != std::wstring::npos) {
        ShowQuestionMarkInPath(owner);
        return false;
    }
    return TakePath(owner, text.c_str(), path, naming);
}

bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH])
{
    return TakeTypedPath(window, FieldText(window, id), path);
}
