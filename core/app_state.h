// The one program-wide record. Every dialog reads and writes it directly;
// there is one UI thread, so it needs no locking.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>

// Help files decompiled in one go, at most; the help-file field holds them
// as full paths, each in double quotation marks, a blank between them.
const int kMaxHelpFiles = 256;
const size_t kHelpFileListSize = kMaxHelpFiles * (MAX_PATH + 2);

// What became of a help file of a batch.
enum class RunResult
{
    kNotRun,         // not run (yet): the batch was stopped before it
    kDecompiled,     // the decompiler ended with exit code 0
    kExitCode,       // it ended with another exit code (code)
    kCouldNotStart,  // its folder could not be made, or the decompiler not started (code: the error)
    kStopped,        // stopped by the user
};

struct BatchFile
{
    char helpFile[MAX_PATH];  // a full path, or one taken from the destination
    char folder[MAX_PATH];    // the destination's folder named after the help file
    RunResult result;
    DWORD code;
};

struct ApplicationState
{
    HINSTANCE instance;
    HICON icon;  // icon 101: main window's icons

    wchar_t settingsPath[MAX_PATH];        // empty: there is no settings file
    char commandLine[500];                 // the next decompiler process
    char switches[28];                     // " /y" and the ticked options
    char decompilerPath[MAX_PATH];         // as the user gave it
    char pickedFile[MAX_PATH];             // last file pick; the help file from "S T A R T" on
    char helpFileList[kHelpFileListSize];  // the help files of the last pick or drop
    char destDir[MAX_PATH];                // destination, or kNoWorkingDirectory

    // The help files of a batch, in order; batchSize 0 when a run is
    // commandLine in destDir alone.
    BatchFile batch[kMaxHelpFiles];
    int batchSize;
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
