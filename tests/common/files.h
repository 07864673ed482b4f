// File helpers the unit and end-to-end tests share.
#pragma once

#include <string>

bool FileExists(const std::string& path);
// The whole file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// Deletes FOLDER with everything in it, read-only files too.
void DeleteTree(const std::string& folder);
