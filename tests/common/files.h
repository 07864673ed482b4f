// Files and folders for the test programs.
#pragma once

#include <string>

// The folder of the running test program, where the build also put
// Quorvantel.exe and the stand-in decompiler.
std::string BuildFolder();
inline std::string StandinPath() { return BuildFolder() + "\\standin.exe"; }

// An empty folder BuildFolder()\scratch\NAME, made afresh.
std::string FreshFolder(const std::string& name);

std::string ReadWholeFile(const std::string& path);  // empty when it cannot be read
void WriteWholeFile(const std::string& path, const std::string& bytes);

