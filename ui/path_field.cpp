#include "ui/path_field.h"

#include "core/ansi_path.h"
#include "ui/message_boxes.h"

#include <cwchar>
#include <string>

bool TakePath(HWND owner, const wchar_t* path, char (&ansi)[MAX_PATH])
{
    switch (SpellPath(CP_ACP, path, ansi)) {
    case PathSpelling::kSpelled: return true;
    case PathSpelling::kTooLong: ShowPathTooLong(owner); return false;
    case PathSpelling::kNotSpelled: ShowPathNotSpelled(owner, path); return false;
    }
    return false;
}

bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH])
{
    const HWND field = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    GetWindowTextW(field, &text[0], static_cast<int>(text.size()));
    // A field that kept the text only in the code page holds "?" where it
    // lost a character; no file name holds one.
    if (wcschr(text.c_str(), L'?')) {
        ShowQuestionMarkInPath(window);
        return false;
    }
    return TakePath(window, text.c_str(), path);
}
