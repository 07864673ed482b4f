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
        testing::AssertionResult pressed = e2e::Click(main_, IDC_RESET_DECOMPILER);
        if (!pressed)
            return pressed;
        HWND pathDialog = nullptr;
        testing::AssertionResult opened =
            e2e::WaitForDialog(program_, e2e::kProgramCaption, IDC_PATH_FIELD, &pathDialog);
        if (!opened)
            return opened;
        testing::AssertionResult typed = e2e::SetItemText(pathDialog, IDC_PATH_FIELD, path);
        if (!typed)
            return typed;
        testing::AssertionResult accepted = e2e::Click(pathDialog, IDOK);
        if (!accepted)
            return accepted;
        testing::AssertionResult closed = e2e::WaitForGone(pathDialog, "the path dialog");
        if (!closed)
            return closed;
        const std::string shown = e2e::ItemText(main_, IDC_DECOMPILER_PATH);
        if (shown != path)
            return testing::AssertionFailure()
                   << "field 1008 shows '" << shown << "' after a reset to '" << path << "'";
        return testing::AssertionSuccess();
    }

    // Presses "S T A R T" and expects the warning TEXT instead of a run;
    // the fields keep what was typed.
    testing::AssertionResult ExpectRefused(const char* text)
    {
        const std::string helpFile = e2e::ItemText(main_, IDC_HELP_FILE);
        const std::string destination = e2e::ItemText(main_, IDC_DEST_DIR);
        DeleteFileA(record_.c_str());
        testing::AssertionResult pressed = e2e::Click(main_, IDC_START);
        if (!pressed)
            return pressed;
        e2e::MessageBoxSeen box;
        testing::AssertionResult shown =
            e2e::WaitForMessageBox(program_, e2e::kProgramCaption, &box);
        if (!shown)
            return shown;
        testing::AssertionResult answered = e2e::AnswerMessageBox(box);
        if (!answered)
            return answered;
        if (box.text != text)
            return testing::AssertionFailure()
                   << "expected the warning '" << text << "', seen '" << box.text << "'";
        testing::AssertionResult noLog =
            e2e::NoDialogAppears(program_, e2e::kLogCaption, IDC_LOG_TEXT);
        if (!noLog)
            return noLog;
        if (e2e::FileExists(record_))
            return testing::AssertionFailure() << "the decompiler ran after the warning";
        if (e2e::ItemText(main_, IDC_HELP_FILE) != helpFile ||
            e2e::ItemText(main_, IDC_DEST_DIR) != destination)
            return testing::AssertionFailure() << "the warning changed the fields";
        return testing::AssertionSuccess();
    }

    // Copies the log to the clipboard and answers the confirmation.
    testing::AssertionResult CopyLog(HWND log)
    {
        testing::AssertionResult pressed = e2e::Click(log, IDC_COPY_TO_CLIPBOARD);
        if (!pressed)
            return pressed;
        e2e::MessageBoxSeen box;
        testing::AssertionResult shown =
            e2e::WaitForMessageBox(program_, e2e::kProgramCaption, &box);
        if (!shown)
            return shown;
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

    // A chain of new folders under BASE whose full path has exactly LENGTH
    // characters.
    std::string MakeFolderOfLength(const std::string& base, size_t length)
    {
        std::string folder = base;
        while (folder.size() < length) {
            // Each step adds a backslash and a name; none may leave room
            // for a backslash alone.
            const size_t remaining = length - folder.size();
            size_t name = remaining - 1 < 60 ? remaining - 1 : 60;
            if (remaining - 1 - name == 1)
                --name;
            folder = e2e::MakeSubfolder(folder, std::string(name, 'd'));
        }
        return folder;
    }
};
