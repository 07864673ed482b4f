#include "ui/message_boxes.h"

#include "core/ansi_path.h"
#include "core/app_state.h"

#include <string>

namespace {

const char kCaption[] = "Quorvantel";
const char kPathTooLong[] = "The path is too long.\nA path may have at most 259 characters.";

// A warning that names a path in its wide form, which the ANSI form could
// not spell.
void ShowWideWarning(HWND owner, const std::wstring& text)
{
    MessageBoxW(owner, text.c_str(), Widen(kCaption).c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace

void ShowWarning(HWND owner, const char* text)
{
    MessageBoxA(owner, text, kCaption, MB_OK | MB_ICONWARNING);
}

void ShowFatalError(const char* text)
{
    MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
}

void ShowConfirmation(HWND owner, const char* text)
{
    MessageBoxA(owner, text, kCaption, MB_OK);
}

void ShowPathTooLong(HWND owner, const wchar_t* path)
{
    if (!path) {
        ShowWarning(owner, kPathTooLong);
        return;
    }
    ShowWideWarning(owner, Widen(kPathTooLong) + L"\n\n" + path);
}

void ShowCommandTooLong(HWND owner, const char* helpFile)
{
    const std::string text = "The command line is too long.\nPlease choose shorter paths.";
    ShowWarning(owner, helpFile ? (text + "\n\n" + helpFile).c_str() : text.c_str());
}

void ShowPathNotSpelled(HWND owner, const wchar_t* path)
{
    ShowWideWarning(owner, L"The decompiler cannot be given this path: its name has characters that Windows' "
                           L"language for non-Unicode programs lacks, and Windows keeps no short name for it "
                           L"without them.\n\n" + std::wstring(path) +
                           L"\n\nPlease rename it, or move it into a folder whose names have only characters "
                           L"of that language.");
}

void ShowQuestionMarkInPath(HWND owner)
{
    ShowWarning(owner, "A path cannot hold \"?\". It may stand for a character that Windows' language for "
                       "non-Unicode programs lacks, lost as it was typed or pasted.\nPlease pick the file or "
                       "folder with \"Browse ...\", or drop it on the window.");
}

void ShowTooManyHelpFiles(HWND owner)
{
    ShowWarning(owner, ("Too many help files: at most " + std::to_string(kMaxHelpFiles) +
                        " can be decompiled in one go.").c_str());
}
