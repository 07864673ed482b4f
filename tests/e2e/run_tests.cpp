// The main window, the log window and the progress box: one decompile from
// the fields to the log, the usage run, the warnings, the clipboard and
// closing.
#include "e2e/fixture.h"
#include "standin/known_text.h"

#include <richedit.h>

#include <algorithm>

using namespace e2e;

namespace {

const char kEmptyFieldWarning[] =
    "Please Specify WinHelp File And Destination Folder\nBefore Begining.";
const char kTooLongWarning[] = "The command line is too long.\nPlease choose shorter paths.";
const char kPathTooLongWarning[] = "The path is too long.\nA path may have at most 259 characters.";

// Something like what a decompiler prints, on both of its outputs.
const char kDecompilerOutput[] = "Decompiling manual.hlp ...\r\n";
const char kDecompilerWarning[] = "Warning: topic 12 has no title\r\n";

}  // namespace

TEST_F(ProgramTest, DecompileShowsLogThenProgressThenOutput)
{
    const std::string actions = RecordThen(std::string("sleep=500;stdout=") + kDecompilerOutput +
                                           ";stderr=" + kDecompilerWarning + ";lines=4");
    ASSERT_TRUE(StartAtMainWindow(actions));
    EXPECT_EQ(" /y", ItemText(main_, IDC_SWITCHES));
    EXPECT_EQ(StandinPath(), ItemText(main_, IDC_DECOMPILER_PATH));
    const std::string helpFile = JoinPath(folder_, "manual.hlp");
    const std::string destination = MakeSubfolder(folder_, "out");
    ASSERT_TRUE(FillFields(helpFile, destination));
    ASSERT_TRUE(Click(main_, IDC_START));

    HWND log = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kLogCaption, IDC_LOG_TEXT, &log));
    EXPECT_EQ(main_, GetWindow(log, GW_OWNER)) << "the log window belongs to the main window";
    EXPECT_FALSE(IsItemEnabled(log, IDOK)) << "\"Close\" is usable before the run has ended";
    EXPECT_FALSE(IsItemEnabled(log, IDC_COPY_TO_CLIPBOARD))
        << "\"Copy To Clipboard\" is usable before the run has ended";

    HWND progress = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, "", IDC_PROGRESS_BAR, &progress));
    EXPECT_EQ(log, GetWindow(progress, GW_OWNER)) << "the progress box belongs to the log window";
    EXPECT_FALSE(IsItemEnabled(log, IDOK)) << "\"Close\" is usable while the progress box is up";
    EXPECT_FALSE(IsItemEnabled(log, IDC_COPY_TO_CLIPBOARD))
        << "\"Copy To Clipboard\" is usable while the progress box is up";

    ASSERT_TRUE(WaitForGone(progress, "the progress box"));
    EXPECT_TRUE(IsItemEnabled(log, IDOK)) << "\"Close\" is still disabled after the run";
    EXPECT_TRUE(IsItemEnabled(log, IDC_COPY_TO_CLIPBOARD))
        << "\"Copy To Clipboard\" is still disabled after the run";
    EXPECT_EQ(std::string(kDecompilerOutput) + kDecompilerWarning +
                  "out 1\r\nerr 2\r\nout 3\r\nerr 4\r\n",
              ItemText(log, IDC_LOG_TEXT));

    const StandinRecord record = ReadStandinRecord(record_);
    ASSERT_TRUE(record.present) << "the stand-in did not run";
    EXPECT_EQ(StandinPath() + " \"" + helpFile + "\" /y", record.commandLine);
    EXPECT_TRUE(SamePath(destination, record.workingDirectory))
        << "expected the working directory " << destination << ", the stand-in ran in "
        << record.workingDirectory;

    ASSERT_TRUE(CloseLog(log));
    EXPECT_TRUE(IsWindowEnabled(main_)) << "the main window stays disabled after the log closed";
    EXPECT_EQ(helpFile, ItemText(main_, IDC_HELP_FILE)) << "the fields keep what the user typed";
    EXPECT_EQ(destination, ItemText(main_, IDC_DEST_DIR));
}

// The fields reach the stand-in as typed: a relative help file unchanged,
// and "NONE" (only in capitals) as the program's own folder.
TEST_F(ProgramTest, DecompilePassesFieldsAsTyped)
{
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const std::string destination = MakeSubfolder(folder_, "out");
    const std::string lowerCaseNone = MakeSubfolder(folder_, "none");
    struct Row
    {
        const char* label;
        std::string helpFile;
        std::string destination;
        std::string expectedDirectory;
    };
    const Row rows[] = {
        {"relative help file", "docs\\manual.hlp", destination, destination},
        {"help file with blanks", "C:\\My Help\\the manual.hlp", destination, destination},
        {"destination NONE", "manual.hlp", "NONE", folder_},
        {"destination none in lower case", "manual.hlp", "none", lowerCaseNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(FillFields(row.helpFile, row.destination));
        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(IDC_START, &log));
        const StandinRecord record = ReadStandinRecord(record_);
        EXPECT_TRUE(record.present) << "the stand-in did not run";
        EXPECT_EQ(StandinPath() + " \"" + row.helpFile + "\" /y", record.commandLine);
        EXPECT_TRUE(SamePath(row.expectedDirectory, record.workingDirectory))
            << "expected the working directory " << row.expectedDirectory
            << ", the stand-in ran in " << record.workingDirectory;
        ASSERT_TRUE(CloseLog(log));
    }
}

// A decompiler in a folder with blanks in its name still runs, with the
// help file and the switches as its arguments.
TEST_F(ProgramTest, DecompilerPathWithBlanksRuns)
{
    const std::string decompiler = JoinPath(MakeSubfolder(folder_, "help tools"), "help deco.exe");
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), decompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen(""), decompiler));
    EXPECT_EQ(decompiler, ItemText(main_, IDC_DECOMPILER_PATH));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    const StandinRecord record = ReadStandinRecord(record_);
    ASSERT_TRUE(record.present) << "the decompiler in a folder with blanks did not run";
    const std::string arguments = " \"manual.hlp\" /y";
    ASSERT_GE(record.commandLine.size(), arguments.size());
    EXPECT_EQ(arguments, record.commandLine.substr(record.commandLine.size() - arguments.size()))
        << "the command line was " << record.commandLine;
}

TEST_F(ProgramTest, EmptyFieldWarnsAndRunsNothing)
{
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const std::string destination = MakeSubfolder(folder_, "out");
    struct Row
    {
        const char* label;
        std::string helpFile;
        std::string destination;
    };
    const Row rows[] = {
        {"both empty", "", ""},
        {"help file empty", "", destination},
        {"destination empty", "manual.hlp", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(FillFields(row.helpFile, row.destination));
        ASSERT_TRUE(Click(main_, IDC_START));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
        EXPECT_EQ(kEmptyFieldWarning, box.text);
        EXPECT_EQ(main_, box.owner) << "the warning belongs to the main window";
        EXPECT_EQ(BoxIcon::Warning, box.icon) << "seen " << BoxIconName(box.icon);
        EXPECT_EQ(1, box.buttonCount);
        ASSERT_TRUE(AnswerMessageBox(box));
        EXPECT_TRUE(NoDialogAppears(program_, kLogCaption, IDC_LOG_TEXT));
        EXPECT_FALSE(FileExists(record_)) << "the stand-in ran after the warning";
    }

    // Blanks are text: the run goes ahead. The destination of blanks is no
    // folder, so the stand-in cannot start and the log stays empty.
    ASSERT_TRUE(FillFields("   ", "  "));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_EQ("", ItemText(log, IDC_LOG_TEXT));
    ASSERT_TRUE(CloseLog(log));
}

// The usage button runs the decompiler alone in the program's own folder
// and leaves the destination field alone for the next "S T A R T".
TEST_F(ProgramTest, UsageRunsDecompilerAloneInProgramFolder)
{
    ASSERT_TRUE(StartAtMainWindow(RecordThen(std::string("stdout=") + kDecompilerOutput)));
    const std::string destination = MakeSubfolder(folder_, "out");
    ASSERT_TRUE(FillFields("manual.hlp", destination));

    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_USAGE, &log));
    StandinRecord record = ReadStandinRecord(record_);
    ASSERT_TRUE(record.present) << "the usage button did not run the stand-in";
    EXPECT_EQ(StandinPath(), record.commandLine);
    EXPECT_TRUE(SamePath(folder_, record.workingDirectory))
        << "expected the program's folder " << folder_ << ", the stand-in ran in "
        << record.workingDirectory;
    EXPECT_EQ(kDecompilerOutput, ItemText(log, IDC_LOG_TEXT));
    ASSERT_TRUE(CloseLog(log));
    EXPECT_EQ(destination, ItemText(main_, IDC_DEST_DIR)) << "the usage run changed the field";

    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    record = ReadStandinRecord(record_);
    ASSERT_TRUE(record.present) << "the stand-in did not run";
    EXPECT_TRUE(SamePath(destination, record.workingDirectory))
        << "after the usage run, expected the destination " << destination
        << ", the stand-in ran in " << record.workingDirectory;
    ASSERT_TRUE(CloseLog(log));
}

TEST_F(ProgramTest, LargeOutputArrivesWholeAndInOrder)
{
    const size_t size = 1024 * 1024;
    // Writes of 4000 bytes, so reads of 1024 end everywhere in a line.
    ASSERT_TRUE(StartAtMainWindow("text=" + std::to_string(size) + "/4000"));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log, 60000));

    DWORD_PTR limit = 0;
    ASSERT_TRUE(SendBounded(GetDlgItem(log, IDC_LOG_TEXT), EM_GETLIMITTEXT, 0, 0, &limit));
    EXPECT_EQ(4194304u, limit) << "the log's text limit";
    const std::string text = ItemText(log, IDC_LOG_TEXT);
    const std::string expected = KnownText(size);
    ASSERT_EQ(expected.size(), text.size()) << "the log lost or doubled some of the output";
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), text.begin());
    EXPECT_TRUE(mismatch.first == expected.end())
        << "the log differs from the output at byte " << (mismatch.first - expected.begin());
    ASSERT_TRUE(CloseLog(log));
}

// The longest command that fits (499 characters) runs whole; one more
// character is refused with a warning. The stand-in is copied deep into
// the test folder so that its own path makes the command long, and the
// help file has the longest path there is (259 characters).
TEST_F(ProgramTest, LongestCommandRunsAndLongerIsRefused)
{
    const size_t kFieldLimit = 259;
    const size_t kLongest = 499;
    // decompiler, blank, quote, help file, quote, " /y"
    const size_t decompilerLength = kLongest - kFieldLimit - 2 - 1 - 3;
    const size_t folderLength = decompilerLength - std::string("\\standin.exe").size();
    std::string folder = folder_;
    while (folder.size() < folderLength) {
        // Each step adds a backslash and a name; no step may leave room for
        // a backslash alone.
        const size_t remaining = folderLength - folder.size();
        size_t name = remaining - 1 < 60 ? remaining - 1 : 60;
        if (remaining - 1 - name == 1)
            --name;
        folder = MakeSubfolder(folder, std::string(name, 'd'));
    }
    const std::string decompiler = JoinPath(folder, "standin.exe");
    ASSERT_EQ(decompilerLength, decompiler.size()) << decompiler;
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), decompiler.c_str(), FALSE));

    const std::string helpFile = PathOfLength(kFieldLimit);
    ASSERT_TRUE(StartAtMainWindow(RecordThen(""), decompiler));
    ASSERT_TRUE(FillFields(helpFile, folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    const StandinRecord record = ReadStandinRecord(record_);
    ASSERT_TRUE(record.present) << "the command of 499 characters did not run";
    EXPECT_EQ(decompiler + " \"" + helpFile + "\" /y", record.commandLine);
    EXPECT_EQ(kLongest, record.commandLine.size());
    ASSERT_TRUE(CloseLog(log));

    // One switch more makes 502 characters.
    ASSERT_TRUE(Click(main_, IDC_CHANGE_OPTIONS));
    HWND options = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kOptionsCaption, IDC_OPTION_CNT, &options));
    ASSERT_TRUE(Click(options, IDC_OPTION_CNT));
    ASSERT_TRUE(WaitUntil([&] { return IsItemChecked(options, IDC_OPTION_CNT); }));
    ASSERT_TRUE(Click(options, IDOK));
    ASSERT_TRUE(WaitForGone(options, "the options dialog"));
    DeleteFileA(record_.c_str());
    ASSERT_TRUE(Click(main_, IDC_START));
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
    EXPECT_EQ(kTooLongWarning, box.text);
    EXPECT_EQ(main_, box.owner) << "the warning belongs to the main window";
    EXPECT_EQ(BoxIcon::Warning, box.icon) << "seen " << BoxIconName(box.icon);
    ASSERT_TRUE(AnswerMessageBox(box));
    EXPECT_TRUE(NoDialogAppears(program_, kLogCaption, IDC_LOG_TEXT));
    EXPECT_FALSE(FileExists(record_)) << "the over-long command ran";
}

// A path longer than a path can be is refused, never cut short: a cut path
// would run the decompiler on another file or in another folder.
TEST_F(ProgramTest, PathLongerThanAPathIsRefused)
{
    const std::string tooLong = PathOfLength(260);
    struct Case { const char* name; std::string helpFile; std::string destination; };
    const Case cases[] = {
        {"help file", tooLong, folder_},
        {"destination", "manual.hlp", tooLong},
        {"both, far too long", tooLong + std::string(740, 'x'), tooLong + std::string(740, 'y')},
    };
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(FillFields(c.helpFile, c.destination));
        ASSERT_TRUE(Click(main_, IDC_START));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
        EXPECT_EQ(kPathTooLongWarning, box.text);
        EXPECT_EQ(main_, box.owner) << "the warning belongs to the main window";
        EXPECT_EQ(BoxIcon::Warning, box.icon) << "seen " << BoxIconName(box.icon);
        ASSERT_TRUE(AnswerMessageBox(box));
        EXPECT_TRUE(NoDialogAppears(program_, kLogCaption, IDC_LOG_TEXT));
        EXPECT_FALSE(FileExists(record_)) << "a cut path ran";
        EXPECT_EQ(c.helpFile, ItemText(main_, IDC_HELP_FILE)) << "the field was changed";
    }
}

TEST_F(ProgramTest, CopyPutsWholeLogOnClipboardEachTime)
{
    ASSERT_TRUE(StartAtMainWindow("lines=40;text=3000"));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    const std::string text = ItemText(log, IDC_LOG_TEXT);
    ASSERT_GT(text.size(), 3000u) << "the log holds too little to be worth copying";

    for (int copy = 1; copy <= 2; ++copy) {
        SCOPED_TRACE("copy " + std::to_string(copy));
        EmptyClipboardNow();
        ASSERT_TRUE(Click(log, IDC_COPY_TO_CLIPBOARD));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
        EXPECT_EQ("Text Copied to Clipboard Successfuly", box.text);
        EXPECT_EQ(log, box.owner) << "the confirmation belongs to the log window";
        EXPECT_EQ(BoxIcon::None, box.icon) << "seen " << BoxIconName(box.icon);
        EXPECT_EQ(1, box.buttonCount);
        EXPECT_EQ(text, ClipboardText());
        ASSERT_TRUE(AnswerMessageBox(box));
    }
    ASSERT_TRUE(CloseLog(log));
}

// "Close" and the close box both end the log window; every run gets a
// fresh, empty log.
TEST_F(ProgramTest, LogClosesWithCloseButtonAndCloseBox)
{
    ASSERT_TRUE(StartAtMainWindow(std::string("stdout=") + kDecompilerOutput));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "\"Close\" button");
        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(IDC_START, &log));
        EXPECT_EQ(kDecompilerOutput, ItemText(log, IDC_LOG_TEXT));
        if (closeBox)
            PostClose(log);
        else
            ASSERT_TRUE(Click(log, IDOK));
        ASSERT_TRUE(WaitForGone(log, "the log window"));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }))
            << "the main window stays disabled after the log closed";
    }
}

TEST_F(ProgramTest, MainWindowIgnoresEscapeAndClosesWithCloseBox)
{
    ASSERT_TRUE(StartAtMainWindow(""));
    PostCommand(main_, IDCANCEL);
    DWORD exitCode = 0;
    EXPECT_FALSE(WaitForExit(program_, &exitCode, 500)) << "Escape ended the program";
    EXPECT_TRUE(IsWindowVisible(main_)) << "Escape closed the main window";

    PostClose(main_);
    ASSERT_TRUE(WaitForExit(program_, &exitCode));
    EXPECT_EQ(0u, exitCode);
}
