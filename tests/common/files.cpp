#include "common/files.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

std::string BuildFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::string module = Utf8(std::wstring(path, length < MAX_PATH ? length : 0));
    return module.substr(0, module.find_last_of('\\'));
}

std::string FreshFolder(const std::string& name)
{
    const std::string folder = BuildFolder() + "\\scratch\\" + name;
    std::filesystem::remove_all(Wide(folder));
    std::filesystem::create_directories(Wide(folder));
    return folder;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(std::filesystem::path(Wide(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::path(Wide(path)), std::ios::binary) << bytes;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string ShortPath(const std::string& path)
{
    wchar_t shortPath[MAX_PATH] = L"";
    const DWORD length = GetShortPathNameW(Wide(path).c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Utf8(shortPath) : "";
}
