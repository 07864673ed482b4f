#include "test_support.h"

#include <cstdio>


ScratchFolder::ScratchFolder()
{
    static unsigned counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[64];
    snprintf(name, sizeof name, "qv_unit_%lu_%u", GetCurrentProcessId(), ++counter);
    path_ = std::string(temp) + name;
    DeleteTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    DeleteTree(path_);
}

std::string ModulePath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

std::string ModuleFolder()
{
    const std::string path = ModulePath();
    return path.substr(0, path.find_last_of('\\'));
}

std::string StandinPath()
{
    return ModuleFolder() + "\\standin.exe";
}

std::string ModuleSettingsPath()
{
    const std::string path = ModulePath();
    const size_t nameStart = path.find_last_of('\\') + 1;
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    return (hasExtension ? path.substr(0, dot) : path) + ".ini";
}

std::vector<std::string> ListFiles(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

unsigned CountOpenHandles()
{
    unsigned count = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    return count;
}
