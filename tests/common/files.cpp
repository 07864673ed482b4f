#include "common/files.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

std::string BuildFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string module(path, length < sizeof path ? length : 0);
    return module.substr(0, module.find_last_of('\\'));
}

std::string FreshFolder(const std::string& name)
{
    const std::string folder = BuildFolder() + "\\scratch\\" + name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
