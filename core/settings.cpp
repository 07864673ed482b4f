// The settings file is named by its wide path, so that a program in a
// folder whose name the code page cannot spell (a Cyrillic user name on an
// English Windows) still finds it beside itself. The value is the
// decompiler path, spelled in the code page, and the file stays ANSI.
#include "core/settings.h"

#include "core/ansi_path.h"
#include "core/app_state.h"

#include <cwchar>
#include <string>

namespace {

const wchar_t kSection[] = L"Config";
const wchar_t kKey[] = L"DecoPath";

}  // namespace

void DeriveSettingsPath(const wchar_t* executablePath)
{
    const std::wstring executable = executablePath;
    const size_t nameStart = executable.find_last_of(L"\\/") + 1;  // 0 when there is no folder
    const size_t dot = executable.rfind(L'.');
    const size_t stemLength = dot != std::wstring::npos && dot >= nameStart ? dot : executable.size();
    const std::wstring settings = executable.substr(0, stemLength) + L".ini";
    StoreText(AppState.settingsPath, {executable.empty() ? L"" : settings.c_str()});
}

bool LoadDecompilerPath()
{
    // Never hand the profile functions an empty name: they would read the
    // system's own profile in the Windows folder.
    StoreText(AppState.decompilerPath, {""});
    if (AppState.settingsPath[0] == L'\0')
        return false;
    // A value longer than a path counts as no path: cut short, it could name
    // another program. One character more than a path shows whether it was longer.
    wchar_t value[MAX_PATH + 1] = L"";
    GetPrivateProfileStringW(kSection, kKey, L"", value, MAX_PATH + 1, AppState.settingsPath);
    std::string spelled;
    return SpellExactly(CP_ACP, value, spelled) && StoreText(AppState.decompilerPath, {spelled.c_str()}) &&
           AppState.decompilerPath[0] != '\0';
}

void SaveDecompilerPath(const char* text)
{
    StoreText(AppState.decompilerPath, {text});
    if (AppState.settingsPath[0] != L'\0')
        WritePrivateProfileStringW(kSection, kKey, Widen(AppState.decompilerPath).c_str(), AppState.settingsPath);
}
