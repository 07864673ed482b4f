// The unit test program loads what the program loads at start-up. It is
// windowed, as the program is, so a console child gets no console of ours.
#include "core/app_state.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Children still running when the test program ends go with it.
    const HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(job, GetCurrentProcess());
    InitCommonControls();
    const HMODULE richEdit = LoadLibraryA("riched32.dll");
    AppState.instance = GetModuleHandleA(nullptr);
    const int result = RUN_ALL_TESTS();
    FreeLibrary(richEdit);
    CloseHandle(job);
    return result;
}
