// Files and folders for the test programs. Paths are UTF-8, so a test can
// name files that the ANSI code page cannot spell; ASCII paths are the same
// in every code page.
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
bool Exists(const std::string& path);

// UTF-8 text in its wide form and back.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The short (8.3) form of a path; empty where it has none.
std::string ShortPath(const std::string& path);
