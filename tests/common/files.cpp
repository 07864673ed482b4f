#include "common/files.h"

#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

std::string BuildFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string module(path, length < sizeof path ? length : 0);
    return module.substr(0, module.find_last_of('\\'));
}

std::string StandinPath()
{
    return BuildFolder() + "\\standin.exe";
}

std::string FreshFolder(const std::string& name)
{
    const std::string scratch = BuildFolder() + "\\scratch";
    const std::string folder = scratch + "\\" + name;
    // The shell's delete takes a list of names, ended by an empty one.
    const std::string doomed = folder + '\0';
    SHFILEOPSTRUCTA remove = {};
    remove.wFunc = FO_DELETE;
    remove.pFrom = doomed.c_str();
    remove.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&remove);
    CreateDirectoryA(scratch.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
