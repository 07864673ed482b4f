// The main window, the log window and the progress box: one decompile from
// the fields to the log, the usage run, the warnings, the clipboard and
// closing.
#include "common/compare.h"
#include "e2e/fixture.h"
#include "standin/known_text.h"

#include <richedit.h>


using namespace e2e;

namespace {

const char kEmptyFieldWarning[] =
    "Please Specify WinHelp File And Destination Folder\nBefore Begining.";

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

    EXPECT_TRUE(Recorded(StandinPath() + " \"" + helpFile + "\" /y", destination));

    ASSERT_TRUE(CloseLog(log));
    EXPECT_TRUE(IsWindowEnabled(main_)) << "the main window stays disabled after the log closed";
    EXPECT_EQ(helpFile, ItemText(main_, IDC_HELP_FILE)) << "the fields keep what the user typed";
    EXPECT_EQ(destination, ItemText(main_, IDC_DEST_DIR));
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
        EXPECT_TRUE(ExpectRefused(kEmptyFieldWarning));
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
    EXPECT_TRUE(Recorded(StandinPath(), folder_)) << "the usage run";
    EXPECT_EQ(kDecompilerOutput, ItemText(log, IDC_LOG_TEXT));
    ASSERT_TRUE(CloseLog(log));
    EXPECT_EQ(destination, ItemText(main_, IDC_DEST_DIR)) << "the usage run changed the field";

    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded("", destination)) << "the run after the usage run";
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
    EXPECT_TRUE(expected == text) << "the log is not the output: " << DescribeDifference(expected, text);
    ASSERT_TRUE(CloseLog(log));
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
