// A test of the real program: each test gets a fresh folder named after it
// and ends whatever the program still has running when it is over.
#pragma once

#include "e2e/driver.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

class ProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = e2e::MakeFreshFolder(std::string(test->test_suite_name()) + "." + test->name());
        record_ = e2e::JoinPath(folder_, "record.txt");
    }

    void TearDown() override { e2e::EndProgram(&program_); }

    // Starts the program with DECOMPILER (the stand-in unless given) as its
    // stored path and waits for the main window.
    testing::AssertionResult StartAtMainWindow(const std::string& standinActions,
                                               const std::string& decompiler = std::string())
    {
        e2e::WriteSettings(folder_, decompiler.empty() ? e2e::StandinPath() : decompiler);
        testing::AssertionResult started = e2e::StartProgram(folder_, standinActions, &program_);
        if (!started)
            return started;
        return e2e::WaitForDialog(program_, e2e::kProgramCaption, IDC_HELP_FILE, &main_,
                                  e2e::kStartWaitMs);
    }

    // Starts the program with no settings file and waits for the
    // decompiler path dialog.
    testing::AssertionResult StartAtPathDialog(HWND* pathDialog)
    {
        testing::AssertionResult started = e2e::StartProgram(folder_, "", &program_);
        if (!started)
            return started;
        return e2e::WaitForDialog(program_, e2e::kProgramCaption, IDC_PATH_FIELD, pathDialog,
                                  e2e::kStartWaitMs);
    }

    // The stand-in records its command line and working directory, then
    // does EXTRA.
    std::string RecordThen(const std::string& extra) const
    {
        return "record=" + record_ + (extra.empty() ? "" : ";" + extra);
    }

    testing::AssertionResult FillFields(const std::string& helpFile, const std::string& destination)
    {
        testing::AssertionResult typed = e2e::SetItemText(main_, IDC_HELP_FILE, helpFile);
        if (!typed)
            return typed;
        return e2e::SetItemText(main_, IDC_DEST_DIR, destination);
    }

    // Presses BUTTON of the main window ("S T A R T" or the usage button)
    // and waits for the log window and the end of its run: the progress
    // box gone and both buttons enabled.
    testing::AssertionResult RunToEnd(int button, HWND* log, DWORD timeoutMs = e2e::kWaitMs)
    {
        DeleteFileA(record_.c_str());
        testing::AssertionResult pressed = e2e::Click(main_, button);
        if (!pressed)
            return pressed;
        testing::AssertionResult opened =
            e2e::WaitForDialog(program_, e2e::kLogCaption, IDC_LOG_TEXT, log);
        if (!opened)
            return opened;
        return WaitForRunEnd(*log, timeoutMs);
    }

    testing::AssertionResult WaitForRunEnd(HWND log, DWORD timeoutMs = e2e::kWaitMs)
    {
        const bool ended = e2e::WaitUntil(
            [&] {
                HWND progress = nullptr;
                return e2e::IsItemEnabled(log, IDOK) &&
                       e2e::IsItemEnabled(log, IDC_COPY_TO_CLIPBOARD) &&
                       !e2e::WaitForDialog(program_, "", IDC_PROGRESS_BAR, &progress, 0);
            },
            timeoutMs);
        if (ended)
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "expected the run to end (progress box gone, log buttons enabled) within "
               << timeoutMs << " ms; seen: " << e2e::DescribeWindows(program_.processId);
    }

    // Closes the log window with its "Close" button.
    testing::AssertionResult CloseLog(HWND log)
    {
        testing::AssertionResult pressed = e2e::Click(log, IDOK);
        if (!pressed)
            return pressed;
        return e2e::WaitForGone(log, "the log window");
    }

    // A help file path in the test folder of exactly the given length
    // (nothing is created there).
    std::string PathOfLength(size_t length) const
    {
        const std::string start = e2e::JoinPath(folder_, "");
        return start + std::string(length - start.size() - 4, 'h') + ".hlp";
    }

    std::string folder_;
    std::string record_;
    e2e::Program program_ = {};
    HWND main_ = nullptr;
};

// Paths as the program and the stand-in see them compare without regard
// to case, as the file system does.
inline bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}
