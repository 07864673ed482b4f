// Test program entry: loads what the program itself loads at start-up.
#include <gtest/gtest.h>

#include "core/app_state.h"

#include <windows.h>
#include <commctrl.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    InitCommonControls();
    const HMODULE richEdit = LoadLibraryA("riched32.dll");
    AppState.instance = GetModuleHandleA(nullptr);
    const int result = RUN_ALL_TESTS();
    FreeLibrary(richEdit);
    return result;
}
