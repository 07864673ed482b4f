// The unit test program loads what the program loads at start-up. It is
// windowed, as the program is, so a console child gets no console of ours.
#include "core/app_state.h"

#include <gtest/gtest.h>

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
