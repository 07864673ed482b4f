// The settings file: one INI file beside the executable, carrying its base
// name, holding only the decompiler path (section Config, key DecoPath).
#pragma once

// Fills AppState.settingsPath from the executable's path: its extension
// replaced by ".ini". Leaves it empty when the path would not fit, and then
// there is no settings file at all.
void DeriveSettingsPath(const wchar_t* executablePath);

// Reads the stored decompiler path; yes when it is not empty.
bool LoadDecompilerPath();

// Makes the text the decompiler path and stores it. A failed write goes
// unnoticed: the path still holds until the program ends.
void SaveDecompilerPath(const char* text);
