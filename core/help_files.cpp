#include "core/help_files.h"

#include "core/app_state.h"

#include <cstring>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Whether the text ends with a path separator. The walk goes character by
// character, since a trail byte of a two-byte character can look like '\'.
bool EndsInSeparator(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; p = CharNextA(p))
        last = p;
    return last && IsSeparator(*last);
}

// The help file as the decompiler would find it from FOLDER, where a single
// run starts: a path that names a drive or a server stands, a rooted one
// takes the folder's drive, any other is taken from the folder.
std::string Anchored(const std::string& folder, const std::string& path)
{
    const bool namesDrive = path.size() >= 2 && path[1] == ':';
    const bool rooted = !path.empty() && IsSeparator(path[0]);
    const bool namesServer = rooted && path.size() >= 2 && IsSeparator(path[1]);
    if (namesDrive || namesServer)
        return path;
    if (rooted)
        return folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + path : path;
    return folder + (EndsInSeparator(folder.c_str()) ? "" : "\\") + path;
}

// The help file's name without its extension. Windows drops blanks and dots
// at the end of a folder's name, which would make two names one.
std::string FolderName(const char* path)
{
    const char* name = path;
    const char* dot = nullptr;
    for (const char* p = path; *p; p = CharNextA(p)) {
        if (IsSeparator(*p) || *p == ':') {
            name = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    std::string stem(name, dot ? dot : name + strlen(name));
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.'))
        stem.pop_back();
    return stem.empty() ? "help file" : stem;
}

bool TakenBefore(int index, const std::string& folder)
{
    for (int earlier = 0; earlier < index; ++earlier)
        if (lstrcmpiA(AppState.batch[earlier].folder, folder.c_str()) == 0)
            return true;
    return false;
}

}  // namespace

bool SplitHelpFileList(const std::wstring& text, std::vector<std::wstring>& paths)
{
    paths.clear();
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos || text[first] != L'"') {
        if (!text.empty())
            paths.push_back(text);
        return true;
    }
    for (size_t at = first; at != std::wstring::npos; at = text.find_first_not_of(L' ', at)) {
        const size_t end = text.find(L'"', at + 1);
        if (text[at] != L'"' || end == std::wstring::npos || end == at + 1)
            return false;
        paths.push_back(text.substr(at + 1, end - at - 1));
        at = end + 1;
        if (at < text.size() && text[at] != L' ')
            return false;
    }
    return true;
}

bool StoreHelpFileList(const std::vector<std::string>& paths)
{
    std::string text = paths.size() == 1 ? paths[0] : "";
    for (size_t i = 0; paths.size() > 1 && i < paths.size(); ++i)
        text += (i > 0 ? " \"" : "\"") + paths[i] + "\"";
    return paths.size() <= kMaxHelpFiles && StoreText(AppState.helpFileList, {text.c_str()});
}

bool PlanBatchFile(int index)
{
    BatchFile& file = AppState.batch[index];
    StoreText(file.folder, {""});
    char folder[MAX_PATH] = "";
    if (strcmp(AppState.destDir, kNoWorkingDirectory) != 0)
        StoreText(folder, {AppState.destDir});
    else if (GetCurrentDirectoryA(MAX_PATH, folder) >= MAX_PATH)
        return false;
    // Kept as given where it does not fit, so a warning can name it.
    const std::string anchored = Anchored(folder, file.helpFile);
    if (anchored.size() >= MAX_PATH)
        return false;
    StoreText(file.helpFile, {anchored.c_str()});
    const std::string base = folder + std::string(EndsInSeparator(folder) ? "" : "\\") + FolderName(file.helpFile);
    std::string own = base;
    for (int copy = 2; TakenBefore(index, own); ++copy)
        own = base + " (" + std::to_string(copy) + ")";
    file.result = RunResult::kNotRun;
    file.code = 0;
    return StoreText(file.folder, {own.c_str()});
}
