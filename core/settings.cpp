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

// The executable's path from a quoted full path at the head of the command
// line, as the shell starts programs; false for any other head.
bool TakeQuotedHead(const char* commandLineText, char (&path)[MAX_PATH])
{
    if (commandLineText[0] != '"')
        return false;
    const char* start = commandLineText + 1;
    const char* end = strchr(start, '"');
    const size_t length = end ? static_cast<size_t>(end - start) : 0;
    if (length == 0 || length >= sizeof path)
        return false;
    memcpy(path, start, length);
    path[length] = '\0';
    return IsFullPath(path);
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
    char executable[MAX_PATH];
    if (!TakeQuotedHead(commandLineText, executable)) {
        // Started by a bare or relative name: the module knows its own path.
        const DWORD length = GetModuleFileNameA(nullptr, executable, sizeof executable);
        if (length == 0 || length >= sizeof executable) {
            StoreText(AppState.settingsPath, {""});
            return;
        }
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
    GetPrivateProfileStringA(kSection, kKey, "", AppState.decompilerPath,
                             sizeof AppState.decompilerPath, AppState.settingsPath);
    return AppState.decompilerPath[0] != '\0';
}

void SaveDecompilerPath(const char* text)
{
    StoreText(AppState.decompilerPath, {text});
    if (AppState.settingsPath[0] != '\0')
        WritePrivateProfileStringA(kSection, kKey, AppState.decompilerPath, AppState.settingsPath);
}
