// The end-to-end test of the real program, with the few steps the
// reliability tests take again and again.
#pragma once

#include "e2e/fixture.h"
#include "reliability/resources.h"

#include <string>

class ReliabilityTest : public ProgramTest
{
protected:
    // Sets the decompiler path through "Reset ...", as a user would.
    testing::AssertionResult ResetDecompiler(const std::string& path)
    {
        RETURN_IF_FAILED(e2e::Click(main_, IDC_RESET_DECOMPILER));
        HWND pathDialog = nullptr;
        RETURN_IF_FAILED(
            e2e::WaitForDialog(program_, e2e::kProgramCaption, IDC_PATH_FIELD, &pathDialog));
        RETURN_IF_FAILED(e2e::SetItemText(pathDialog, IDC_PATH_FIELD, path));
        RETURN_IF_FAILED(e2e::Click(pathDialog, IDOK));
        RETURN_IF_FAILED(e2e::WaitForGone(pathDialog, "the path dialog"));
        const std::string shown = e2e::ItemText(main_, IDC_DECOMPILER_PATH);
        if (shown != path)
            return testing::AssertionFailure()
                   << "field 1008 shows '" << shown << "' after a reset to '" << path << "'";
        return testing::AssertionSuccess();
    }

    // Copies the log to the clipboard and answers the confirmation.
    testing::AssertionResult CopyLog(HWND log)
    {
        RETURN_IF_FAILED(e2e::Click(log, IDC_COPY_TO_CLIPBOARD));
        e2e::MessageBoxSeen box;
        RETURN_IF_FAILED(e2e::WaitForMessageBox(program_, e2e::kProgramCaption, &box));
        return e2e::AnswerMessageBox(box);
    }

    // The counts once the program is idle at its main window again.
    testing::AssertionResult CountIdle(ResourceCounts* counts, std::string* how = nullptr)
    {
        if (!e2e::WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }))
            return testing::AssertionFailure() << "the main window stays disabled";
        Sleep(300);  // the closed windows' last messages
        std::string ignored;
        return CountResources(program_.processId, counts, how ? how : &ignored);
    }

    // Wine keeps the device contexts of windows in a cache that grows by
    // one (a DC, its region and its surface: 3 GDI objects) the first time
    // more of them are in use at once than ever before, which depends on how
    // paints happen to overlap; the GDI count may grow by that much.
    static const DWORD kDcCacheGrowth = 3;

    void ExpectNoGrowth(const ResourceCounts& before, const ResourceCounts& after)
    {
        const std::string counts = "before: " + Describe(before) + "; after: " + Describe(after);
        EXPECT_LE(after.handles, before.handles) << counts;
        EXPECT_LE(after.gdiObjects, before.gdiObjects + kDcCacheGrowth) << counts;
        EXPECT_LE(after.userObjects, before.userObjects) << counts;
    }
};
