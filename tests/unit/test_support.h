// Helpers the unit tests share: a scratch folder of their own, files read
// and written whole, and where the test program and the stand-in live.
#pragma once

#include "common/files.h"

#include <windows.h>

#include <string>
#include <vector>

// A fresh, empty folder under the temp folder, removed with all the test
// left in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The test program's own path, and the folder it sits in.
std::string ModulePath();
std::string ModuleFolder();

// The stand-in decompiler, built beside the test program.
std::string StandinPath();

// The module path with its extension (if any) replaced by ".ini".
std::string ModuleSettingsPath();


// The names of the files in a folder that match a pattern such as "*.ini".
std::vector<std::string> ListFiles(const std::string& folder, const char* pattern);

// The handles open in this process. GetProcessHandleCount cannot serve: on
// Wine it always answers 0.
unsigned CountOpenHandles();
