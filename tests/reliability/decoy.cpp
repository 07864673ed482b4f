// A program that must never be run: it only leaves a marker file beside
// itself (its own path with ".ran" appended), so a test can see that it ran.
// Copied to C:\...\Program.exe it stands for whatever a hostile user may put
// where an unquoted "C:\Program Files\..." would find it.
#include <windows.h>

#include <cstdio>

int main()
{
    char marker[MAX_PATH + 8] = "";
    const DWORD length = GetModuleFileNameA(nullptr, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    FILE* file = fopen(lstrcatA(marker, ".ran"), "wb");
    if (!file)
        return 1;
    fputs(GetCommandLineA(), file);
    fclose(file);
    return 0;
}
