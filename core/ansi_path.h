// The decompiler is an ANSI console program: every path it is given is
// spelled in the system's code page. Paths from the system come whole, in
// their wide form, and are turned here, in one place, into paths that the
// code page spells and that name the same file or folder.
#pragma once

#include <windows.h>

#include <string>

enum class PathSpelling
{
    kSpelled,     // the path itself, or its short (8.3) form
    kNotSpelled,  // neither: a character the code page lacks, and no short form without it
    kTooLong,     // spelled, but longer than 259 characters even in its short form
};

// TEXT in CODE_PAGE, when every character of it has its own exact spelling
// there: a character that the conversion would replace by "?" or by a
// look-alike (as code page 1252 turns an omega into an O) is not spelled,
// since such a path could name another file.
bool SpellExactly(UINT codePage, const wchar_t* text, std::string& spelled);

// PATH as the decompiler can be given it, in CODE_PAGE (the program's is
// CP_ACP): the path itself where the code page spells it exactly and it
// fits; else its short form, which Windows keeps for most files and folders
// of a full path, where the code page spells that and it fits. ANSI is
// left empty unless the answer is kSpelled.
PathSpelling SpellPath(UINT codePage, const wchar_t* path, char (&ansi)[MAX_PATH]);

// ANSI text of the system's code page in its wide form.
std::wstring Widen(const char* ansi);
