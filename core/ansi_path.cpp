#include "core/ansi_path.h"

#include "core/app_state.h"

#include <cwchar>

namespace {

bool IsFullPath(const std::wstring& path)
{
    const bool driveRooted = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' &&
                             (path[2] == L'\\' || path[2] == L'/');
    const bool uncPath = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return driveRooted || uncPath;
}

// The short form of a full PATH, by which Windows also knows the file or
// folder; no when it has none. Past 259 characters the system looks a path
// up only in its extended form, "\\?\" ahead of it.
bool ShortForm(const wchar_t* path, std::wstring& shortForm)
{
    std::wstring name = path;
    if (!IsFullPath(name))
        return false;  // relative to a folder the system does not know
    const std::wstring extended = name.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC" : L"\\\\?\\";
    const size_t dropped = name.compare(0, 2, L"\\\\") == 0 ? 1 : 0;  // UNC's first backslash
    const bool lengthy = name.size() >= MAX_PATH && name.compare(0, 4, L"\\\\?\\") != 0;
    if (lengthy)
        name = extended + name.substr(dropped);
    const DWORD needed = GetShortPathNameW(name.c_str(), nullptr, 0);
    if (needed == 0)
        return false;
    shortForm.assign(needed, L'\0');
    const DWORD length = GetShortPathNameW(name.c_str(), &shortForm[0], needed);
    if (length == 0 || length >= needed)
        return false;
    shortForm.resize(length);
    if (lengthy && shortForm.compare(0, extended.size(), extended) == 0)
        shortForm = std::wstring(dropped, L'\\') + shortForm.substr(extended.size());
    return true;
}

}  // namespace

bool SpellExactly(UINT codePage, const wchar_t* text, std::string& spelled)
{
    spelled.clear();
    const int wideLength = static_cast<int>(wcslen(text));
    if (wideLength == 0)
        return true;
    const int length = WideCharToMultiByte(codePage, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    if (length == 0)
        return false;
    spelled.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text, wideLength, &spelled[0], length, nullptr, nullptr);
    // A character without a spelling of its own comes back as another one.
    std::wstring back(static_cast<size_t>(wideLength), L'\0');
    const int backLength = MultiByteToWideChar(codePage, 0, spelled.data(), length, &back[0], wideLength);
    const bool exact = backLength == wideLength && back.compare(0, std::wstring::npos, text) == 0;
    if (!exact)
        spelled.clear();
    return exact;
}

PathSpelling SpellPath(UINT codePage, const wchar_t* path, char (&ansi)[MAX_PATH])
{
    std::string spelled;
    const bool spellsItself = SpellExactly(codePage, path, spelled);
    if (spellsItself && StoreText(ansi, {spelled.c_str()}))
        return PathSpelling::kSpelled;
    std::wstring shortForm;
    bool shortFormSpells = false;
    if (ShortForm(path, shortForm) && shortForm != path) {
        shortFormSpells = SpellExactly(codePage, shortForm.c_str(), spelled);
        if (shortFormSpells && StoreText(ansi, {spelled.c_str()}))
            return PathSpelling::kSpelled;
    }
    StoreText(ansi, {""});
    return spellsItself || shortFormSpells ? PathSpelling::kTooLong : PathSpelling::kNotSpelled;
}

std::wstring Widen(const char* ansi)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}
