// A test of the real program: each test gets a fresh folder named after it
// and ends whatever the program still has running when it is over.
#pragma once

#include "e2e/driver.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

// Paths as the program and the stand-in see them compare without regard
// to case, as the file system does.
inline bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

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
        RETURN_IF_FAILED(e2e::StartProgram(folder_, standinActions, &program_));
        return e2e::WaitForDialog(program_, e2e::kProgramCaption, IDC_HELP_FILE, &main_,
                                  e2e::kStartWaitMs);
    }

    // Starts the program with no settings file and waits for the
    // decompiler path dialog.
    testing::AssertionResult StartAtPathDialog(HWND* pathDialog)
    {
        RETURN_IF_FAILED(e2e::StartProgram(folder_, "", &program_));
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
        RETURN_IF_FAILED(e2e::SetItemText(main_, IDC_HELP_FILE, helpFile));
        return e2e::SetItemText(main_, IDC_DEST_DIR, destination);
    }

    // Presses BUTTON of the main window ("S T A R T" or the usage button)
    // and waits for the log window and the end of its run: the progress
    // box gone and both buttons enabled.
    testing::AssertionResult RunToEnd(int button, HWND* log, DWORD timeoutMs = e2e::kWaitMs)
    {
        DeleteFileA(record_.c_str());
        RETURN_IF_FAILED(e2e::Click(main_, button));
        RETURN_IF_FAILED(e2e::WaitForDialog(program_, e2e::kLogCaption, IDC_LOG_TEXT, log));
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

    testing::AssertionResult CloseLog(HWND log)
    {
        RETURN_IF_FAILED(e2e::Click(log, IDOK));
        return e2e::WaitForGone(log, "the log window");
    }

    // A help file path in the test folder of exactly the given length
    // (nothing is created there).
    std::string PathOfLength(size_t length) const
    {
        const std::string start = e2e::JoinPath(folder_, "");
        return start + std::string(length - start.size() - 4, 'h') + ".hlp";
    }

    // A chain of new folders under BASE whose full path has exactly LENGTH
    // characters; no step may leave room for a backslash alone.
    std::string MakeFolderOfLength(const std::string& base, size_t length)
    {
        std::string folder = base;
        while (folder.size() < length) {
            const size_t remaining = length - folder.size();
            size_t name = remaining - 1 < 60 ? remaining - 1 : 60;
            if (remaining - 1 - name == 1)
                --name;
            folder = e2e::MakeSubfolder(folder, std::string(name, 'd'));
        }
        return folder;
    }

    // Presses "S T A R T" and expects the main window's warning TEXT
    // instead of a run: no log, no child, the fields as typed.
    testing::AssertionResult ExpectRefused(const std::string& text)
    {
        const std::string helpFile = e2e::ItemText(main_, IDC_HELP_FILE);
        const std::string destination = e2e::ItemText(main_, IDC_DEST_DIR);
        DeleteFileA(record_.c_str());
        RETURN_IF_FAILED(e2e::Click(main_, IDC_START));
        e2e::MessageBoxSeen box;
        RETURN_IF_FAILED(e2e::WaitForMessageBox(program_, e2e::kProgramCaption, &box));
        RETURN_IF_FAILED(e2e::AnswerMessageBox(box));
        if (box.text != text || box.owner != main_ || box.icon != e2e::BoxIcon::Warning ||
            box.buttonCount != 1)
            return testing::AssertionFailure()
                   << "expected the warning '" << text << "' owned by the main window with the "
                   << "warning icon and one button; seen '" << box.text << "' owned by "
                   << (box.owner == main_ ? "the main window" : "another window") << " with "
                   << e2e::BoxIconName(box.icon) << " and " << box.buttonCount << " buttons";
        RETURN_IF_FAILED(e2e::NoDialogAppears(program_, e2e::kLogCaption, IDC_LOG_TEXT));
        if (e2e::FileExists(record_))
            return testing::AssertionFailure() << "the decompiler ran after the warning";
        if (e2e::ItemText(main_, IDC_HELP_FILE) != helpFile ||
            e2e::ItemText(main_, IDC_DEST_DIR) != destination)
            return testing::AssertionFailure() << "the warning changed the fields";
        return testing::AssertionSuccess();
    }

    // What the stand-in recorded matches COMMAND_LINE (empty: not checked)
    // and ran in DIRECTORY (empty: not checked).
    testing::AssertionResult Recorded(const std::string& commandLine,
                                      const std::string& directory = std::string()) const
    {
        const e2e::StandinRecord record = e2e::ReadStandinRecord(record_);
        if (!record.present)
            return testing::AssertionFailure() << "the stand-in did not run";
        if (!commandLine.empty() && record.commandLine != commandLine)
            return testing::AssertionFailure()
                   << "expected the command line [" << commandLine << "], the stand-in got ["
                   << record.commandLine << "]";
        if (!directory.empty() && !SamePath(directory, record.workingDirectory))
            return testing::AssertionFailure() << "expected the working directory " << directory
                                               << ", the stand-in ran in "
                                               << record.workingDirectory;
        return testing::AssertionSuccess();
    }

    std::string folder_;
    std::string record_;
    e2e::Program program_ = {};
    HWND main_ = nullptr;
};
