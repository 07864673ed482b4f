// The one program-wide record. Every dialog reads and writes it directly;
// there is one UI thread, so it needs no locking.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>

struct ApplicationState
{
    HINSTANCE instance;
    HICON icon;  // icon 101: main window's icons

    wchar_t settingsPath[MAX_PATH];  // empty: there is no settings file
    char commandLine[500];           // the next decompiler process
    char switches[28];               // " /y" and the ticked options
    char decompilerPath[MAX_PATH];   // as the user gave it
    char pickedFile[MAX_PATH];       // last file pick; the help file from "S T A R T" on
    char destDir[MAX_PATH];          // destination, or kNoWorkingDirectory
};

extern ApplicationState AppState;

// The destination that means "start the child in our own current directory".
extern const char kNoWorkingDirectory[];  // "NONE"

// Every fixed-capacity text field is written here and nowhere else. The
// pieces are joined into the field when the whole text fits; otherwise the
// field is left empty and the answer is false, so a field never holds a
// silently shortened text and nothing is ever written past its end.
// Only the first piece may be the field itself.
template <typename Char>
bool StoreText(Char* field, size_t capacity, std::initializer_list<const Char*> pieces);

// The field's own type decides the pieces' type.
template <typename Char>
struct TextOf
{
    typedef const Char* Piece;
};

template <typename Char, size_t Capacity>
bool StoreText(Char (&field)[Capacity], std::initializer_list<typename TextOf<Char>::Piece> pieces)
{
    return StoreText<Char>(field, Capacity, pieces);
}
