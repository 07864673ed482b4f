#include "core/settings.h"

#include "core/app_state.h"

#include <cctype>
#include <cstring>

namespace {

const char kSection[] = "Config";
const char kKey[] = "DecoPath";

bool IsFullPath(const char* path)
{
    const bool driveRooted = isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                             (path[2] == '\\' || path[2] == '/');
    const bool uncPath = path[0] == '\\' && path[1] == '\\';
    return driveRooted || uncPath;
}

// Length of the quoted head of the command line, without its quotation
// marks; 0 when the command line does not start with a quoted text.
size_t QuotedHeadLength(const char* commandLineText)
{
    if (commandLineText[0] != '"')
        return 0;
    const char* end = strchr(commandLineText + 1, '"');
    return end ? static_cast<size_t>(end - commandLineText - 1) : 0;
}

// The executable's path as the module knows it; false when it is too long.
bool TakeModulePath(char (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path;
}

// Cuts the path at the last dot of its file name. The walk goes character by
// character, since a trail byte of a two-byte character can look like '\'.
void CutExtension(char* path)
{
    char* dot = nullptr;
    for (char* p = path; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            dot = nullptr;
        else if (*p == '.')
            dot = p;
    }
    if (dot)
        *dot = '\0';
}

}  // namespace

void DeriveSettingsPath(const char* commandLineText)
{
    // The shell starts programs with their full path quoted at the head of
    // the command line; for a start by a bare or relative name the module
    // knows its own path.
    char executable[MAX_PATH] = "";
    const char* head = commandLineText + 1;
    const size_t headLength = QuotedHeadLength(commandLineText);
    bool found = false;
    if (headLength > 0 && IsFullPath(head)) {
        found = headLength < sizeof executable;
        if (found) {
            memcpy(executable, head, headLength);
            executable[headLength] = '\0';
        }
    } else {
        found = TakeModulePath(executable);
    }
    if (!found) {
        StoreText(AppState.settingsPath, {""});
        return;
    }
    CutExtension(executable);
    StoreText(AppState.settingsPath, {executable, ".ini"});
}

bool LoadDecompilerPath()
{
    // Never hand the profile functions an empty name: they would read the
    // system's own profile in the Windows folder.
    if (AppState.settingsPath[0] == '\0') {
        StoreText(AppState.decompilerPath, {""});
        return false;
    }
    // A value longer than a path counts as no path: cut short, it could name
    // another program. One byte more than a path shows whether it was longer.
    char value[MAX_PATH + 1] = "";
    GetPrivateProfileStringA(kSection, kKey, "", value, sizeof value, AppState.settingsPath);
    return StoreText(AppState.decompilerPath, {value}) && AppState.decompilerPath[0] != '\0';
}

void SaveDecompilerPath(const char* text)
{
    StoreText(AppState.decompilerPath, {text});
    if (AppState.settingsPath[0] != '\0')
        WritePrivateProfileStringA(kSection, kKey, AppState.decompilerPath, AppState.settingsPath);
}
